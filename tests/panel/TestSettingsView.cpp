#include "PanelFixture.h"

#include "panel/AutoTidySection.h"
#include "panel/FolderList.h"
#include "widgets/ElidedLabel.h"
#include "widgets/ToggleSwitch.h"

#include <QComboBox>
#include <QFile>
#include <QLayout>
#include <QScopeGuard>
#include <QSettings>

namespace {

QStringList itemTexts(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out.append(box->itemText(i));
    return out;
}

// The folder list's rows as "name path".
QStringList folderRows(const FolderList* list) {
    QStringList out;
    for (const QWidget* row : list->findChildren<QWidget*>("folderRow"))
        if (row->isVisibleTo(list))
            out.append(row->findChild<ElidedLabel*>("folderName")->fullText() + ' ' +
                       row->findChild<ElidedLabel*>("folderPath")->fullText());
    return out;
}

QString setting(const PanelFixture& f, const QString& key) {
    return QSettings(f.settingsFile(), QSettings::IniFormat).value(key).toString();
}

} // namespace

// The settings page: opening at login through the autostart folder, tidying automatically,
// the rules and the history of cleans.
class TestSettingsView : public QObject {
    Q_OBJECT

  private slots:
    // The entry itself is the platform's: here, the switch, the message and the read-back.
    void loginSwitch() {
        PanelFixture f;
        const QString autostart = f.home.path() + "/.config/autostart";
        QVERIFY(testsupport::touch(autostart)); // a file, not a folder
        SettingsView& view = f.openSettings();
        view.loginSwitch()->click();
        QCOMPARE(view.loginError(), "Couldn't change this. Check that ~/.config/autostart can be "
                                    "written and try again.");
        QVERIFY(!view.loginSwitch()->isChecked()); // back to what really holds

        QVERIFY(QFile::remove(autostart));
        view.loginSwitch()->click();
        QCOMPARE(view.loginError(), QString());
        QVERIFY(f.openSettings().loginSwitch()->isChecked()); // read back on opening
    }

    void ruleRows() {
        PanelFixture f;
        QDir().mkpath(f.desktop("Images"));
        SettingsView& view = f.openSettings();

        // Which can be shown, and what they are read out as, the panel's tab order tells.
        QPushButton* show = view.showButtons().first();
        show->click();
        QCOMPARE(f.services.revealed, QStringList{f.desktop("Images")});

        // Nothing could show it: the page says so.
        f.services.fileManagerFound = false;
        show->click();
        QCOMPARE(view.fileManagerError(), "No file manager found to show ~/Desktop/Images.");

        view.editRulesButton()->click();
        QCOMPARE(f.services.rulesShown, QStringList{QString()}); // the Desktop's

        // The rows follow the store through the rescan that every change brings.
        QDir().mkpath(f.desktop("Documents"));
        f.store->remove(f.store->rules().last().id);
        QTRY_COMPARE(view.showButtons().size(), 2);
        QVERIFY(view.showButtons()[1]->isEnabled());
    }

    // Folders come with one click on Add Downloads or through the folder dialog, and go with
    // Remove; one that cannot be tidied is refused with the reason TidiedFolders gives.
    void addingAndRemovingFolders_data() {
        using Refusal = TidiedFolders::Refusal;
        QTest::addColumn<QString>("press");  // "downloads", "folder" or "remove"
        QTest::addColumn<QString>("chosen"); // in the home folder, for "folder"
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<Refusal>("refusal");
        const QStringList desktop{"Desktop ~/Desktop"};
        QTest::newRow("Add Downloads")
            << "downloads" << QString() << desktop + QStringList{"Downloads ~/Downloads"}
            << Refusal::None;
        QTest::newRow("Add Folder")
            << "folder"
            << "Projects" << desktop + QStringList{"Projects ~/Projects"} << Refusal::None;
        QTest::newRow("Remove") << "remove" << QString() << desktop << Refusal::None;
        QTest::newRow("the home folder") << "folder"
                                         << "" << desktop << Refusal::HomeOrRoot;
    }
    void addingAndRemovingFolders() {
        QFETCH(QString, press);
        QFETCH(QString, chosen);
        QFETCH(QStringList, rows);
        QFETCH(TidiedFolders::Refusal, refusal);
        PanelFixture f;
        QDir().mkpath(f.home.path() + "/Downloads");
        QDir().mkpath(f.home.path() + "/Projects");
        const QString chosenPath = QDir::cleanPath(f.home.path() + '/' + chosen);
        f.services.chosenFolder = chosenPath;
        if (press == "remove")
            f.addFolder("Projects");
        SettingsView& view = f.openSettings();
        FolderList* list = view.folderList();
        QCOMPARE(list->removeButtons().first(), nullptr); // the Desktop stays
        const QString lastId = f.folders->folders().last().id;
        if (press == "remove") {
            list->autoTidySwitches().last()->click();
            QVERIFY(f.autoTidy->isEnabled(lastId));
            list->removeButtons().last()->click();
        } else if (press == "downloads") {
            list->addDownloadsButton()->click();
        } else {
            list->addFolderButton()->click();
            QCOMPARE(f.services.folderRequests,
                     (QList<std::pair<QString, QString>>{
                         {"Choose a folder for Vantor to tidy", f.home.path()}}));
        }
        testsupport::settle(); // rows made anew replace the old ones through the event loop
        QCOMPARE(folderRows(list), rows);
        const bool refused = refusal != TidiedFolders::Refusal::None;
        QCOMPARE(list->errorText(),
                 refused ? TidiedFolders::refusalText(refusal, chosenPath) : QString());
        // Downloads is offered while it is no tidied folder.
        QCOMPARE(list->addDownloadsButton()->isVisibleTo(list), press != "downloads");
        // The rules follow, under each folder's name.
        QCOMPARE(view.findChild<QLabel*>("ruleFolderHeader") != nullptr, rows.size() > 1);
        if (press == "remove") // its switch leaves nothing behind
            QVERIFY(!testsupport::readFile(f.settingsFile()).contains(lastId.toUtf8()));
    }

    void theSwitchAndTheQuietTimeWriteTheSettingsFile() {
        PanelFixture f;
        SettingsView& view = f.openSettings();
        ToggleSwitch* on = view.folderList()->autoTidySwitches().first(); // the Desktop's
        QComboBox* quiet = view.autoTidySection()->quietChoice();
        QVERIFY(!on->isChecked());
        QVERIFY(!quiet->isEnabled()); // nothing to choose while it is off
        QCOMPARE(itemTexts(quiet),
                 QStringList({"after 1 minute", "after 10 minutes", "after 1 hour"}));
        QCOMPARE(quiet->currentText(), "after 10 minutes");
        QVERIFY(!QFile::exists(f.settingsFile())); // showing writes nothing

        on->click();
        QVERIFY(quiet->isEnabled());
        // By keyboard: Down picks the next quiet time, and the pick is written at once.
        quiet->setFocus();
        QTest::keyClick(quiet, Qt::Key_Down);
        QCOMPARE(setting(f, "autoTidy/enabled"), "true");
        QCOMPARE(setting(f, "autoTidy/quietSeconds"), "3600");

        on->click();
        QVERIFY(!quiet->isEnabled());
        QCOMPARE(setting(f, "autoTidy/enabled"), "false");
        QCOMPARE(f.openSettings().autoTidySection()->quietChoice()->currentText(), "after 1 hour");
    }

    void aQuietTimeOutsideTheChoicesShowsAsItselfAndIsNotRewritten() {
        PanelFixture f;
        const QByteArray written = "[autoTidy]\nenabled=true\nquietSeconds=90\n";
        QVERIFY(testsupport::touch(f.settingsFile(), written));
        SettingsView& view = f.openSettings();
        QComboBox* quiet = view.autoTidySection()->quietChoice();
        QCOMPARE(itemTexts(quiet), QStringList({"after 1 minute", "after 90 seconds",
                                                "after 10 minutes", "after 1 hour"}));
        QCOMPARE(quiet->currentText(), "after 90 seconds");
        QVERIFY(quiet->isEnabled());
        QCOMPARE(testsupport::readFile(f.settingsFile()), written);

        // Other values in the largest whole unit they fill.
        QCOMPARE(AutoTidySection::quietText(5400), "after 90 minutes");
        QCOMPARE(AutoTidySection::quietText(7200), "after 2 hours");

        // Turning it off keeps the user's own quiet time.
        view.folderList()->autoTidySwitches().first()->click();
        QCOMPARE(setting(f, "autoTidy/quietSeconds"), "90");
    }

    // Each row says what its clean moved and when, worked out again when the page shows again
    // and kept up while shown. One put back has no button, and says when it was put back by
    // the clock, with the day when not today, where that was kept. The others put back their
    // own clean.
    void historyRowsSayWhenAndPutBackTheirOwnClean() {
        PanelFixture f;
        // The user's own time format, which the tests' C locale would give with seconds.
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        const QDateTime now = f.clock.now();
        const QDate today = now.toLocalTime().date();
        HistoryList* list = f.showHistory(
            {{"c4", now.addSecs(-5), 3, true, false},
             {"c3", now.addDays(-1), 12, false, true},
             {"c2", now.addDays(-3), 2, false, true, QDateTime(today, QTime(14, 2))},
             {"c1", now.addDays(-3), 1, false, false},
             {"c0", now.addDays(-3), 2, true, true, QDateTime(today.addDays(-1), QTime(14, 2))}});
        QCOMPARE(shownTexts(list, "historyMoved"),
                 QStringList({"Moved 3 files", "Moved 12 files", "Moved 2 files", "Moved 1 file",
                              "Moved 2 files"}));
        QCOMPARE(shownTexts(list, "historyDetail"),
                 QStringList({"5 seconds ago · automatic", "yesterday · put back", "Put back 14:02",
                              "3 days ago", "Put back yesterday, 14:02 · automatic"}));
        const QList<QPushButton*> buttons = list->putBackButtons();
        QVERIFY(buttons.size() == 5 && buttons[0] && !buttons[1] && !buttons[2] && buttons[3] &&
                !buttons[4]);
        f.panel->hide();
        f.clock.advance(55'000);
        f.panel->show();
        QCOMPARE(shownTexts(list, "historyDetail").first(), "1 minute ago · automatic");
        f.clock.advance(110'000);
        QCOMPARE(shownTexts(list, "historyDetail").first(), "2 minutes ago · automatic");
        buttons[3]->click();
        QCOMPARE(f.history.putBackIds, QStringList{"c1"});

        // While a clean or undo runs, nothing can be put back.
        f.history.setBusy(true);
        QVERIFY(!buttons[0]->isEnabled() && !buttons[3]->isEnabled());
        f.history.setBusy(false);
        QVERIFY(buttons[0]->isEnabled() && buttons[3]->isEnabled());

        // The rows follow the history; made while busy, they start disabled.
        f.history.busy = true;
        f.history.setList({{"c5", now, 2, false, false}});
        testsupport::settle(); // new rows show, and old ones go, through the event loop
        QCOMPARE(shownTexts(list, "historyMoved"), QStringList{"Moved 2 files"});
        QVERIFY(!list->putBackButtons()[0]->isEnabled());
        f.history.setList({});
        QCOMPARE(list->emptyText(), "No cleans yet");
        QVERIFY(list->putBackButtons().isEmpty());
    }

    // On the cleaner's own history: an older clean's row puts back that clean's files only.
    void olderCleanPutBackFromItsRow() {
        PanelFixture f;
        f.open({"a.png"});
        f.cleaner->clean();
        f.touch({"b.pdf"});
        f.cleaner->clean();
        SettingsView& view = f.openSettings();
        HistoryList* list = view.historyList();
        QCOMPARE(list->rowCount(), 2);
        list->putBackButtons().at(1)->click();
        f.finishWork();
        // Confirmed on the page, as Undo is in the status line.
        QCOMPARE(view.putBackResult(), "Put back 1 file.");
        QVERIFY(!list->putBackButtons().at(1)); // the row follows the history
        // A clean started next leaves it behind.
        f.touch({"c.png"});
        f.cleaner->clean();
        QCOMPARE(view.putBackResult(), QString());
    }

    void twentyCleansScrollInsteadOfGrowingThePanel() {
        PanelFixture f;
        const auto cleans = [&](int count) {
            QList<CleanSummary> list;
            for (int i = 0; i < count; ++i)
                list.append(
                    {QString::number(i), f.clock.now().addDays(-i), i + 1, i % 2 == 1, false});
            return list;
        };
        HistoryList* list = f.showHistory(cleans(HistoryList::kRowsShown + 1));
        testsupport::settle();
        const int fewHeight = f.panel->height();
        f.history.setList(cleans(Cleaner::kHistoryLength));
        testsupport::settle();
        QCOMPARE(list->rowCount(), 20);
        QCOMPARE(f.panel->height(), fewHeight);
        QVERIFY(list->widget()->height() > 3 * list->viewport()->height());

        // A short screen: the rules and then the history give up room, Done stays in view
        // and at least one clean still shows. Nothing is squeezed: the page gets all the
        // height its layout asks for.
        SettingsView* view = f.panel->settingsView();
        f.panel->setAvailableHeight(fewHeight - 150);
        f.settleLayouts();
        QVERIFY(f.panel->height() <= fewHeight - 150);
        f.checkReachable({view->doneButton()});
        QVERIFY(list->height() >= list->smallestHeight());
    }
};

VANTOR_WIDGET_TEST_MAIN(TestSettingsView)
#include "TestSettingsView.moc"
