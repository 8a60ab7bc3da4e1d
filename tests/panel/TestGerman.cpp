#include "PanelFixture.h"

#include "panel/AutoTidySection.h"
#include "widgets/Translations.h"

#include <QComboBox>

// The panel in German: the translation is found, counts take their German forms, and the
// date in the status line is written in the same language.
class TestGerman : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(!widgets::installTranslations(QLocale(QLocale::French))); // none: English stays
        QCOMPARE(widgets::interfaceLocale().language(), QLocale::English);
        QVERIFY(widgets::installTranslations(QLocale(QLocale::German, QLocale::Germany)));
        QCOMPARE(widgets::interfaceLocale().language(), QLocale::German);
    }

    void panelAndSettingsTexts() {
        PanelFixture f;
        f.writeLastClean(1);
        f.touch({"a.png", "b.pdf", "README"});
        f.open();
        CleanView* view = f.panel->cleanView();
        QCOMPARE(f.find<QLabel>("countLabel")->text(), "2 Dateien zum Wegräumen");
        QCOMPARE(f.find<QLabel>("otherLabel")->text(), "1 andere Datei bleibt, wo sie ist.");
        QCOMPARE(view->cleanButton()->text(), "Schreibtisch aufräumen");
        QCOMPARE(view->statusLine()->text(), "Zuletzt gestern aufgeräumt: 1 Datei");
        // Opened again two days later, the date has moved on with the clock.
        f.panel->hide();
        f.clock.advance(2 * 24 * 3600 * 1000LL);
        f.panel->show();
        QCOMPARE(view->statusLine()->text(), "Zuletzt vor 3 Tagen aufgeräumt: 1 Datei");

        view->cleanButton()->click();
        f.finishWork();
        QCOMPARE(view->statusLine()->text(), "2 Dateien verschoben");
        QCOMPARE(f.find<QLabel>("emptySubtitle")->text(),
                 "Keine Datei passt zu deinen Regeln. 1 andere Datei bleibt unberührt.");
        // The rules' own note, which the rules window shows.
        QCOMPARE(f.store->addExtensions("png", f.store->rules().at(1).id),
                 ".png aus Images hierher verschoben.");
        // A new rule is the user's own, named in the user's language; the defaults keep
        // theirs, which name folders.
        f.store->addRule();
        f.store->addRule();
        QCOMPARE(f.store->rules().constLast().name, "Neue Regel 2");

        // The settings page and its history of cleans.
        HistoryList* list = f.showHistory({{"b", f.clock.now().addSecs(-120), 1, true, false}});
        QCOMPARE(f.panel->settingsView()->autoTidySection()->quietChoice()->currentText(),
                 "nach 10 Minuten");
        QCOMPARE(shownTexts(list),
                 QStringList({"1 Datei verschoben", "vor 2 Minuten · automatisch"}));
    }
};

VANTOR_WIDGET_TEST_MAIN(TestGerman)
#include "TestGerman.moc"
