#include "PanelFixture.h"

#include "panel/SettingsView.h"
#include "widgets/ToggleSwitch.h"

#include <QFile>
#include <QPushButton>

// The settings page: opening at login through the autostart folder and the rules.
class TestSettingsView : public QObject {
    Q_OBJECT

    static SettingsView& openSettings(PanelFixture& f) {
        if (!f.panel)
            f.open();
        f.panel->setShowingSettings(false);
        f.panel->setShowingSettings(true);
        return *f.panel->settingsView();
    }
    static QString entryPath(const PanelFixture& f) {
        return f.home.path() + "/.config/autostart/" VANTOR_APP_ID ".desktop";
    }
  private slots:
    // The entry itself is the platform's: here, the switch and the message.
    void loginSwitch() {
        PanelFixture f;
        const QString autostart = f.home.path() + "/.config/autostart";
        QVERIFY(testsupport::touch(autostart)); // a file, not a folder
        SettingsView* view = &openSettings(f);
        view->loginSwitch()->click();
        QCOMPARE(view->loginError(), "Couldn't change this. Check that ~/.config/autostart can be "
                                     "written and try again.");
        QVERIFY(!view->loginSwitch()->isChecked()); // back to what really holds

        QVERIFY(QFile::remove(autostart));
        view->loginSwitch()->click();
        QCOMPARE(view->loginError(), QString());
        QVERIFY(view->loginSwitch()->isChecked());
        QVERIFY(testsupport::readFile(entryPath(f))
                    .contains("Exec=" + QCoreApplication::applicationFilePath().toUtf8()));

        view = &openSettings(f); // read back on opening
        QVERIFY(view->loginSwitch()->isChecked());
        view->loginSwitch()->click();
        QVERIFY(!view->loginSwitch()->isChecked());

        QVERIFY(QDir(autostart).removeRecursively());
        QVERIFY(testsupport::touch(autostart)); // fails again...
        openSettings(f).loginSwitch()->click();
        QVERIFY(!f.panel->settingsView()->loginError().isEmpty());
        QCOMPARE(openSettings(f).loginError(), QString()); // ...but a reopened page starts clean
    }

    void anEntryForAProgramThatIsGoneShowsOffAndIsRewritten() {
        PanelFixture f;
        QVERIFY(testsupport::touch(entryPath(f), "[Desktop Entry]\nType=Application\n"
                                                 "Exec=/nonexistent/build/vantor --autostart\n"));
        SettingsView& view = openSettings(f);
        QVERIFY(!view.loginSwitch()->isChecked());
        view.loginSwitch()->click();
        QVERIFY(view.loginSwitch()->isChecked());
        QCOMPARE(view.loginError(), QString());
        const QByteArray entry = testsupport::readFile(entryPath(f));
        QVERIFY(entry.contains("\nTryExec=" + QCoreApplication::applicationFilePath().toUtf8()));
        QVERIFY(!entry.contains("/nonexistent/"));
    }

    void ruleRows() {
        PanelFixture f;
        QDir().mkpath(f.desktop("Images"));
        SettingsView& view = openSettings(f);

        const QList<QPushButton*> show = view.showButtons();
        QVERIFY(show[0]->isEnabled());
        QVERIFY(!show[1]->isEnabled()); // no Documents folder yet
        // Read out with their folder, not three times "Show".
        QCOMPARE(show[0]->accessibleName(), "Show Images folder");
        QCOMPARE(show[2]->accessibleName(), "Show Installers folder");
        show[0]->click();
        QCOMPARE(f.services.revealed, QStringList{f.desktop("Images")});
        QCOMPARE(view.fileManagerError(), QString());

        // Nothing could show it: the page says so, and a later success clears that.
        f.services.fileManagerFound = false;
        show[0]->click();
        QCOMPARE(view.fileManagerError(), "No file manager found to show ~/Desktop/Images.");
        f.services.fileManagerFound = true;
        show[0]->click();
        QCOMPARE(view.fileManagerError(), QString());

        view.editRulesButton()->click();
        QCOMPARE(f.services.rulesShown, QList<RuleStore*>{f.store.get()});

        // The rows follow the store through the rescan that every change brings.
        QDir().mkpath(f.desktop("Documents"));
        f.store->remove(f.store->rules().last().id);
        QTRY_COMPARE(view.showButtons().size(), 2);
        QVERIFY(view.showButtons()[1]->isEnabled());
    }
};

VANTOR_WIDGET_TEST_MAIN(TestSettingsView)
#include "TestSettingsView.moc"
