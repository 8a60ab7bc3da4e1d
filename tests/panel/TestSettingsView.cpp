#include "PanelFixture.h"

#include "app/ElidedLabel.h"
#include "panel/SettingsView.h"
#include "panel/ToggleSwitch.h"
#include "platform/Autostart.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

// The settings page: opening at login through the autostart folder, the rules and the
// version line.
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
        return f.home() + "/.config/autostart/" VANTOR_APP_ID ".desktop";
    }
    static QStringList texts(const SettingsView& view, const char* name) {
        QStringList out;
        for (const QLabel* label : view.findChildren<QLabel*>(name))
            if (label->isVisibleTo(&view))
                out << label->text();
        return out;
    }

  private slots:
    void loginSwitchWritesAndRemovesEntry() {
        PanelFixture f;
        SettingsView* view = &openSettings(f);
        ToggleSwitch* toggle = view->loginSwitch();
        QCOMPARE(toggle->text(), "Open Vantor at login");
        QVERIFY(!toggle->isChecked());

        toggle->click();
        QVERIFY(toggle->isChecked());
        const QByteArray entry = testsupport::readFile(entryPath(f));
        QVERIFY(entry.contains("Exec=" + QCoreApplication::applicationFilePath().toUtf8()));
        QVERIFY(entry.contains("X-GNOME-Autostart-enabled=true"));
        QCOMPARE(view->loginError(), QString());

        view = &openSettings(f); // read back on opening
        QVERIFY(view->loginSwitch()->isChecked());
        view->loginSwitch()->click();
        QVERIFY(!view->loginSwitch()->isChecked());
        QVERIFY(!QFile::exists(entryPath(f)));
    }

    void loginSwitchMasksSystemEntry() {
        PanelFixture f;
        QVERIFY(testsupport::writeFile(f.home() + "/xdg/autostart/" VANTOR_APP_ID ".desktop",
                                       "[Desktop Entry]\nType=Application\nExec=vantor\n"));
        SettingsView* view = &openSettings(f);
        QVERIFY(view->loginSwitch()->isChecked()); // the system's entry starts it

        view->loginSwitch()->click();
        QVERIFY(!view->loginSwitch()->isChecked());
        QVERIFY(testsupport::readFile(entryPath(f)).contains("Hidden=true"));
        QVERIFY(!openSettings(f).loginSwitch()->isChecked());
    }

    void loginSwitchFailureShowsMessage() {
        PanelFixture f;
        QVERIFY(testsupport::writeFile(f.home() + "/.config/autostart")); // a file, not a folder
        SettingsView* view = &openSettings(f);

        view->loginSwitch()->click();
        QCOMPARE(view->loginError(),
                 "Couldn't change this. Move Vantor to Applications and try again.");
        QVERIFY(!view->loginSwitch()->isChecked()); // back to what really holds

        QVERIFY(QFile::remove(f.home() + "/.config/autostart"));
        view->loginSwitch()->click();
        QCOMPARE(view->loginError(), QString());
        QVERIFY(view->loginSwitch()->isChecked());

        QVERIFY(QDir(f.home() + "/.config/autostart").removeRecursively());
        QVERIFY(testsupport::writeFile(f.home() + "/.config/autostart")); // fails again...
        openSettings(f).loginSwitch()->click();
        QVERIFY(!f.panel->settingsView()->loginError().isEmpty());
        QCOMPARE(openSettings(f).loginError(), QString()); // ...but a reopened page starts clean
    }

    void ruleRows() {
        PanelFixture f;
        QDir().mkpath(f.desktop("Images"));
        SettingsView& view = openSettings(f);

        QCOMPARE(texts(view, "ruleName"), (QStringList{"Images", "Documents", "Installers"}));
        QStringList destinations;
        for (const ElidedLabel* label : view.findChildren<ElidedLabel*>("ruleDestination"))
            destinations << label->fullText();
        QCOMPARE(destinations,
                 (QStringList{"~/Desktop/Images", "~/Desktop/Documents", "~/Desktop/Installers"}));

        const QList<QPushButton*> show = view.showButtons();
        QCOMPARE(show.size(), 3);
        QVERIFY(show[0]->isEnabled());
        QVERIFY(!show[1]->isEnabled()); // no Documents folder yet
        show[0]->click();
        QCOMPARE(f.revealed, QStringList{f.desktop("Images")});

        view.editRulesButton()->click();
        QCOMPARE(f.rulesShown, QList<RuleStore*>{f.store.get()});

        // The rows follow the store through the rescan that every change brings.
        QDir().mkpath(f.desktop("Documents"));
        f.store->remove(f.store->rules().last().id);
        QTRY_COMPARE(view.showButtons().size(), 2);
        QVERIFY(view.showButtons()[1]->isEnabled());
        for (const SortRule& rule : f.store->rules())
            f.store->remove(rule.id);
        QTRY_VERIFY(view.showButtons().isEmpty());
        QVERIFY(view.editRulesButton()->isVisible());
    }

    void versionLine() {
        QCoreApplication::setApplicationVersion("1.2");
        QCOMPARE(SettingsView::versionLine(), "Vantor 1.2 by Quillon");
        QCoreApplication::setApplicationVersion(QString());
        QCOMPARE(SettingsView::versionLine(), "Vantor by Quillon");
    }
};

VANTOR_WIDGET_TEST_MAIN(TestSettingsView)
#include "TestSettingsView.moc"
