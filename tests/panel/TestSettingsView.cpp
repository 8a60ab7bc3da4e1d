#include "FakeHistory.h"
#include "PanelFixture.h"

#include "panel/AutoTidySection.h"
#include "panel/FolderList.h"
#include "panel/HistoryList.h"
#include "panel/SettingsView.h"
#include "widgets/ElidedLabel.h"
#include "widgets/ToggleSwitch.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
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

QStringList rowTexts(const HistoryList* list, const char* name) {
    QStringList out;
    for (const QLabel* label : list->findChildren<QLabel*>(QString::fromLatin1(name)))
        if (label->isVisibleTo(list))
            out.append(label->text());
    return out;
}

} // namespace

// The settings page: opening at login through the autostart folder, tidying automatically,
// the rules and the history of cleans.
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
        QCOMPARE(f.services.rulesShown, QStringList{QString()}); // the Desktop's

        // The rows follow the store through the rescan that every change brings.
        QDir().mkpath(f.desktop("Documents"));
        f.store->remove(f.store->rules().last().id);
        QTRY_COMPARE(view.showButtons().size(), 2);
        QVERIFY(view.showButtons()[1]->isEnabled());
    }

    // Folders come with one click on Add Downloads or through the folder dialog, and go with
    // Remove; one that cannot be tidied is refused with the reason.
    void addingAndRemovingFolders_data() {
        QTest::addColumn<QString>("press");  // "downloads", "folder" or "remove"
        QTest::addColumn<QString>("chosen"); // in the home folder, for "folder"
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("refusal"); // a TidiedFolders::Refusal
        const int none = int(TidiedFolders::Refusal::None);
        QTest::newRow("Add Downloads")
            << "downloads" << QString() << QStringList{"Desktop ~/Desktop", "Downloads ~/Downloads"}
            << none;
        QTest::newRow("Add Folder")
            << "folder"
            << "Projects" << QStringList{"Desktop ~/Desktop", "Projects ~/Projects"} << none;
        QTest::newRow("Remove") << "remove" << QString() << QStringList{"Desktop ~/Desktop"}
                                << none;
        QTest::newRow("the home folder")
            << "folder"
            << "" << QStringList{"Desktop ~/Desktop"} << int(TidiedFolders::Refusal::HomeOrRoot);
        QTest::newRow("the Desktop again") << "folder"
                                           << "Desktop" << QStringList{"Desktop ~/Desktop"}
                                           << int(TidiedFolders::Refusal::AlreadyTidied);
    }
    void addingAndRemovingFolders() {
        QFETCH(QString, press);
        QFETCH(QString, chosen);
        QFETCH(QStringList, rows);
        QFETCH(int, refusal);
        PanelFixture f;
        QDir().mkpath(f.home.path() + "/Downloads");
        QDir().mkpath(f.home.path() + "/Projects");
        const QString chosenPath = QDir::cleanPath(f.home.path() + '/' + chosen);
        f.services.chosenFolder = chosenPath;
        if (press == "remove")
            f.addFolder("Projects");
        SettingsView& view = openSettings(f);
        FolderList* list = view.folderList();
        QVERIFY(list->addDownloadsButton()->isVisibleTo(list));
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
        const auto why = TidiedFolders::Refusal(refusal);
        QCOMPARE(list->errorText(), why == TidiedFolders::Refusal::None
                                        ? QString()
                                        : TidiedFolders::refusalText(why, chosenPath));
        QVERIFY(why == TidiedFolders::Refusal::None || !list->errorText().isEmpty());
        // Downloads is offered while it is no tidied folder.
        QCOMPARE(list->addDownloadsButton()->isVisibleTo(list), press != "downloads");
        // The rules follow, under each folder's name.
        QCOMPARE(view.findChild<QLabel*>("ruleFolderHeader") != nullptr, rows.size() > 1);
        if (press == "remove") // its switch leaves nothing behind
            QVERIFY(!testsupport::readFile(f.settingsFile()).contains(lastId.toUtf8()));
    }

    void theSwitchAndTheQuietTimeWriteTheSettingsFile() {
        PanelFixture f;
        SettingsView& view = openSettings(f);
        ToggleSwitch* on = view.folderList()->autoTidySwitches().first(); // the Desktop's
        QComboBox* quiet = view.autoTidySection()->quietChoice();
        QVERIFY(!on->isChecked());
        QVERIFY(!quiet->isEnabled()); // nothing to choose while it is off
        QCOMPARE(itemTexts(quiet),
                 QStringList({"after 1 minute", "after 10 minutes", "after 1 hour"}));
        QCOMPARE(quiet->currentText(), "after 10 minutes");
        QVERIFY(!QFile::exists(f.settingsFile())); // showing writes nothing

        on->click();
        QVERIFY(f.autoTidy->isEnabled());
        QVERIFY(quiet->isEnabled());
        // By keyboard: Down picks the next quiet time, and the pick is written at once.
        quiet->setFocus();
        QTest::keyClick(quiet, Qt::Key_Down);
        QCOMPARE(quiet->currentText(), "after 1 hour");
        // Escape on the open drop-down closes the drop-down, not the page.
        quiet->showPopup();
        QTRY_VERIFY(quiet->view()->isVisible());
        QTest::keyClick(quiet->view(), Qt::Key_Escape);
        QTRY_VERIFY(!quiet->view()->isVisible());
        QVERIFY(f.panel->showingSettings());
        // Read out by its label, with the choice as its value.
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(quiet);
        QCOMPARE(read->text(QAccessible::Name), "Put away files left alone");
        QCOMPARE(read->text(QAccessible::Value), "after 1 hour");
        {
            const QSettings file(f.settingsFile(), QSettings::IniFormat);
            QCOMPARE(file.value("autoTidy/enabled").toString(), "true");
            QCOMPARE(file.value("autoTidy/quietSeconds").toInt(), 3600);
        }

        on->click();
        QVERIFY(!quiet->isEnabled());
        const QSettings file(f.settingsFile(), QSettings::IniFormat);
        QCOMPARE(file.value("autoTidy/enabled").toString(), "false");
        QCOMPARE(openSettings(f).autoTidySection()->quietChoice()->currentText(), "after 1 hour");
    }

    void aQuietTimeOutsideTheChoicesShowsAsItselfAndIsNotRewritten() {
        PanelFixture f;
        const QByteArray written = "[autoTidy]\nenabled=true\nquietSeconds=90\n";
        QVERIFY(testsupport::touch(f.settingsFile(), written));
        SettingsView& view = openSettings(f);
        QComboBox* quiet = view.autoTidySection()->quietChoice();
        QCOMPARE(itemTexts(quiet), QStringList({"after 1 minute", "after 90 seconds",
                                                "after 10 minutes", "after 1 hour"}));
        QCOMPARE(quiet->currentText(), "after 90 seconds");
        QVERIFY(quiet->isEnabled());
        QCOMPARE(testsupport::readFile(f.settingsFile()), written);

        // Other values in the largest whole unit they fill.
        QCOMPARE(AutoTidySection::quietText(120), "after 2 minutes");
        QCOMPARE(AutoTidySection::quietText(5400), "after 90 minutes");
        QCOMPARE(AutoTidySection::quietText(7200), "after 2 hours");
        QCOMPARE(AutoTidySection::quietText(1), "after 1 second");

        // Turning it off keeps the user's own quiet time.
        view.folderList()->autoTidySwitches().first()->click();
        QCOMPARE(QSettings(f.settingsFile(), QSettings::IniFormat)
                     .value("autoTidy/quietSeconds")
                     .toInt(),
                 90);
    }

    void historyRowsPutBackTheirOwnClean() {
        PanelFixture f;
        FakeHistory history;
        const QDateTime now = f.clock.now();
        history.list = {{"c3", now.addSecs(-120), 3, true, false},
                        {"c2", now.addDays(-1), 12, false, true},
                        {"c1", now.addDays(-3), 1, false, false}};
        f.open();
        f.panel->useHistory(history);
        HistoryList* list = openSettings(f).historyList();

        QCOMPARE(rowTexts(list, "historyMoved"),
                 QStringList({"Moved 3 files", "Moved 12 files", "Moved 1 file"}));
        // The clean already put back says so beside its date and has no button.
        QCOMPARE(rowTexts(list, "historyDetail"),
                 QStringList({"2 minutes ago · automatic", "yesterday · put back", "3 days ago"}));
        QCOMPARE(list->emptyText(), QString());
        const QList<QPushButton*> buttons = list->putBackButtons();
        QCOMPARE(buttons.size(), 3);
        QVERIFY(buttons[0] && !buttons[1] && buttons[2]);
        for (const QLabel* label : list->findChildren<QLabel*>()) // no word beside the buttons
            QVERIFY(label->text() != "Put back");
        QCOMPARE(buttons[2]->accessibleName(), "Put back 1 file moved 3 days ago");
        // Tab reaches them as they are read: after the rules' buttons, before Done.
        QList<QWidget*> tabbed;
        SettingsView* view = f.panel->settingsView();
        for (QWidget* at = view->editRulesButton(); at != view->doneButton();
             at = at->nextInFocusChain())
            if (qobject_cast<QPushButton*>(at))
                tabbed.append(at);
        QCOMPARE(tabbed.mid(tabbed.size() - 2), QList<QWidget*>({buttons[0], buttons[2]}));
        QCOMPARE(tabbed.size(), 1 + view->showButtons().size() + 2);
        buttons[2]->click();
        QCOMPARE(history.putBackIds, QStringList{"c1"});

        // While a clean or undo runs, nothing can be put back.
        history.setBusy(true);
        QVERIFY(!buttons[0]->isEnabled() && !buttons[2]->isEnabled());
        history.setBusy(false);
        QVERIFY(buttons[0]->isEnabled() && buttons[2]->isEnabled());

        // The rows follow the history; made while busy, they start disabled.
        history.busy = true;
        history.setList({{"c4", now, 2, false, false}});
        testsupport::settle(); // new rows show, and old ones go, through the event loop
        QCOMPARE(rowTexts(list, "historyMoved"), QStringList{"Moved 2 files"});
        QVERIFY(!list->putBackButtons()[0]->isEnabled());
        history.setList({});
        QCOMPARE(list->emptyText(), "No cleans yet");
        QVERIFY(list->putBackButtons().isEmpty());
    }

    // A clean put back says when, by the clock; the day too when it was not today.
    void putBackRowsSayWhen() {
        PanelFixture f;
        FakeHistory history;
        // The user's own time format, which the tests' C locale would give with seconds.
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        const QDate today = f.clock.now().toLocalTime().date();
        CleanSummary atTwo{"c1", f.clock.now().addDays(-3), 2, false, true};
        atTwo.putBackAt = QDateTime(today, QTime(14, 2));
        CleanSummary yesterday = atTwo;
        yesterday.id = "c2";
        yesterday.automatic = true;
        yesterday.putBackAt = QDateTime(today.addDays(-1), QTime(14, 2));
        history.list = {atTwo, yesterday};
        f.open();
        f.panel->useHistory(history);
        QCOMPARE(rowTexts(openSettings(f).historyList(), "historyDetail"),
                 QStringList({"Put back 14:02", "Put back yesterday, 14:02 · automatic"}));
    }

    // "5 seconds ago" is worked out again when the page shows again, and keeps up while shown.
    void historyDatesStayCurrent() {
        PanelFixture f;
        FakeHistory history;
        history.list = {{"c1", f.clock.now().addSecs(-5), 2, false, false}};
        f.open();
        f.panel->useHistory(history);
        HistoryList* list = openSettings(f).historyList();
        QCOMPARE(rowTexts(list, "historyDetail"), QStringList{"5 seconds ago"});
        f.panel->hide();
        f.clock.advance(55'000);
        f.panel->show();
        QCOMPARE(rowTexts(list, "historyDetail"), QStringList{"1 minute ago"});
        f.clock.advance(110'000);
        QCOMPARE(rowTexts(list, "historyDetail"), QStringList{"2 minutes ago"});
        QCOMPARE(list->putBackButtons()[0]->accessibleName(),
                 "Put back 2 files moved 2 minutes ago");
    }

    // On the cleaner's own history: an older clean's row puts back that clean's files only.
    void olderCleanPutBackFromItsRow() {
        PanelFixture f;
        f.touch({"a.png"});
        f.open();
        f.cleaner->clean();
        f.touch({"b.pdf"});
        f.cleaner->clean();
        SettingsView& view = openSettings(f);
        HistoryList* list = view.historyList();
        QCOMPARE(rowTexts(list, "historyMoved"), QStringList({"Moved 1 file", "Moved 1 file"}));
        QCOMPARE(view.putBackResult(), QString());

        list->putBackButtons().at(1)->click();
        f.finishWork();
        // Confirmed on the page, as Undo is in the status line.
        QCOMPARE(view.putBackResult(), "Put back 1 file.");
        QVERIFY(QFile::exists(f.desktop("a.png")));
        QVERIFY(QFile::exists(f.desktop("Documents/b.pdf")));
        QVERIFY(!QFile::exists(f.desktop("b.pdf")));
        const QList<QPushButton*> buttons = list->putBackButtons();
        QVERIFY(buttons.size() == 2 && buttons[0] && !buttons[1]);
        QVERIFY(rowTexts(list, "historyDetail").at(1).startsWith("Put back "));
        // A clean started next leaves it behind.
        f.touch({"c.png"});
        f.cleaner->clean();
        QCOMPARE(view.putBackResult(), QString());
    }

    void twentyCleansScrollInsteadOfGrowingThePanel() {
        PanelFixture f;
        FakeHistory history;
        for (int i = 0; i < HistoryList::kRowsShown + 1; ++i)
            history.list.append(
                {QString::number(i), f.clock.now().addDays(-i), i + 1, i % 2 == 1, false});
        f.open();
        f.panel->useHistory(history);
        HistoryList* list = openSettings(f).historyList();
        testsupport::settle();
        const int fewHeight = f.panel->height();

        QList<CleanSummary> many;
        for (int i = 0; i < Cleaner::kHistoryLength; ++i)
            many.append({QString::number(i), f.clock.now().addDays(-i), i + 1, i % 2 == 1, false});
        history.setList(many);
        testsupport::settle();
        QCOMPARE(list->rowCount(), 20);
        QCOMPARE(f.panel->height(), fewHeight);
        QVERIFY(list->widget()->height() > 3 * list->viewport()->height());
        QCOMPARE(list->focusPolicy(), Qt::StrongFocus); // scrollable by keyboard

        // A short screen: the rules and then the history give up room, Done stays in view
        // and at least one clean still shows.
        const int available = fewHeight - 150;
        f.panel->setAvailableHeight(available);
        for (int i = 0; i < 5; ++i)
            testsupport::settle();
        QVERIFY(f.panel->height() <= available);
        SettingsView* view = f.panel->settingsView();
        QPushButton* done = view->doneButton();
        QVERIFY(
            f.panel->rect().contains(QRect(done->mapTo(f.panel.get(), QPoint()), done->size())));
        // Nothing is squeezed: the page gets all the height its layout asks for.
        QVERIFY(view->height() >= view->layout()->minimumSize().height());
        QVERIFY(list->height() >= list->smallestHeight());
        QVERIFY(list->height() < list->compactHeight());

        // Shorter than the page at its least (a large scale on a small screen): the page
        // scrolls as a whole, still unsqueezed.
        f.panel->setAvailableHeight(250);
        for (int i = 0; i < 5; ++i)
            testsupport::settle();
        QVERIFY(f.panel->height() <= 250);
        QVERIFY(view->height() >= view->layout()->minimumSize().height());
    }
};

VANTOR_WIDGET_TEST_MAIN(TestSettingsView)
#include "TestSettingsView.moc"
