#include "PanelFixture.h"

#include "panel/FolderSection.h"
#include "panel/RelativeDate.h"
#include "platform/FileLock.h"
#include "widgets/Colors.h"

#include <QFile>

// The clean page and its status line, driven by a real cleaner on a real Desktop.
class TestCleanView : public QObject {
    Q_OBJECT

  private slots:
    // A rule that sends its files to the Trash says so on its row, to a screen reader too; a
    // rule that moves keeps its number.
    void rowsSayWhatTheyDo_data() {
        QTest::addColumn<bool>("trash");
        QTest::addColumn<QString>("count");
        QTest::newRow("move") << false << "3";
        QTest::newRow("trash") << true << "3 files to the Trash";
    }
    void rowsSayWhatTheyDo() {
        QFETCH(bool, trash);
        QFETCH(QString, count);
        Scan::Group group{SortRule::defaults().first(), {"/d/a.png", "/d/b.png", "/d/c.png"}};
        group.rule.action = trash ? SortRule::Action::Trash : SortRule::Action::Move;
        const RuleGroupRow row(group);
        QCOMPARE(row.findChild<QLabel*>("fileCount")->text(), count);
        QCOMPARE(row.accessibleName(), "Images, " + (trash ? count : "3 files"));
    }

    // The Desktop alone shows its rows without a header. With Downloads tidied too, each
    // folder with something to say has a section under its name: its rows and its others, or
    // that it cannot be read. One button cleans them all.
    void whatThePageShows_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("downloads"); // none: not tidied; "-": cannot be read
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("note"); // about the others, or the empty state's subtitle
        // "rule: preview" for the Desktop alone, else "folder: rows | others" or no access
        QTest::addColumn<QStringList>("shown");
        const QStringList none, downloads{"b.png", "c.pdf", "d.pdf"};
        const QString downloadsRows = "Downloads: Images: b.png, Documents: c.pdf, d.pdf | ";
        const QString desktopSection = "Desktop: Images: a.png | 1 other file stays where it is.";

        QTest::newRow("first and third rule, one other")
            << QStringList{"b.png", "a.png", "disc.iso", "notes"} << none << "3 files to put away"
            << "1 other file stays where it is."
            << QStringList{"Images: a.png, b.png", "Installers: disc.iso"};
        QTest::newRow("overflowing preview, no others")
            << QStringList{"e.png", "c.png", "a.png", "d.png", "b.png", "x.pdf", "y.pdf", "z.pdf"}
            << none << "8 files to put away" << QString()
            << QStringList{"Images: a.png, b.png +3", "Documents: x.pdf, y.pdf +1"};
        QTest::newRow("empty") << QStringList{} << none << QString() << "Nothing to sort right now."
                               << QStringList{};
        QTest::newRow("one unmatched")
            << QStringList{"README"} << none << QString()
            << "No files match your rules. 1 other file left alone." << QStringList{};
        QTest::newRow("both folders")
            << QStringList{"a.png", "notes"} << downloads << "4 files to put away" << QString()
            << QStringList{desktopSection, downloadsRows};
        QTest::newRow("only downloads has files")
            << QStringList{"notes"} << downloads << "3 files to put away" << QString()
            << QStringList{downloadsRows};
        QTest::newRow("downloads cannot be read")
            << QStringList{"a.png", "notes"} << QStringList{"-"} << "1 file to put away"
            << QString()
            << QStringList{desktopSection, "Downloads: Vantor can't read ~/Downloads."};
    }
    void whatThePageShows() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, downloads);
        QFETCH(QString, count);
        QFETCH(QString, note);
        QFETCH(QStringList, shown);
        PanelFixture f;
        QDir().mkpath(f.desktop("Images")); // a folder counts as nothing
        const bool gone = downloads == QStringList{"-"};
        const bool several = !downloads.isEmpty();
        if (several) {
            const QString folder = f.addFolder("Downloads", downloads);
            QVERIFY(!gone || QDir(folder).removeRecursively());
        }
        f.open(files);
        CleanView* view = f.panel->cleanView();

        const bool empty = shown.isEmpty();
        QCOMPARE(view->isShowingEmptyState(), empty);
        QCOMPARE(f.labelText("countLabel"), count);
        QCOMPARE(f.labelText(empty ? "emptySubtitle" : "otherLabel"), note);
        QStringList sections;
        for (const FolderSection* section : view->sections()) {
            const auto* others = section->findChild<QLabel*>("folderOtherLabel");
            sections << section->name() + ": " +
                            (section->noAccessText().isEmpty()
                                 ? rowTexts(section->rows()).join(", ") + " | " +
                                       (others->isVisibleTo(section) ? others->text() : QString())
                                 : section->noAccessText());
        }
        QCOMPARE(several ? sections : rowTexts(view->rows()), shown);
        QCOMPARE(sections.isEmpty(), !several);
        QCOMPARE(view->cleanButton()->text(), several ? "Clean All" : "Clean Desktop");
        QCOMPARE(view->cleanButton()->isEnabled(), !empty);
        QVERIFY(view->statusLine()->isHidden()); // nothing done, nothing to undo

        if (gone) { // Show opens where it can be made again.
            view->sections().last()->showButton()->click();
            QCOMPARE(f.services.openedFolders, QStringList{f.home.path()});
            return;
        }
        // Return cleans every folder, and does nothing while there is nothing to move.
        QTest::keyClick(f.panel.get(), Qt::Key_Return);
        f.finishWork();
        QCOMPARE(f.cleaner->status() == Cleaner::Status::idle(), empty);
        QVERIFY(view->isShowingEmptyState());
        QVERIFY(view->sections().isEmpty());
        QCOMPARE(f.labelText("emptyTitle"),
                 several ? "Your folders are clean" : "Your desktop is clean");
    }

    // Return cleans and Ctrl+Z undoes, Ctrl+Z only while the page shows Undo. Return presses
    // the focused button: with Undo focused it puts the last clean back instead of starting a
    // new clean that would replace its record.
    void keyboardCleansAndUndoes() {
        PanelFixture f;
        f.open({"a.png", "b.pdf"});
        CleanView* view = f.panel->cleanView();
        QTest::keyClick(f.panel.get(), Qt::Key_Z, Qt::ControlModifier); // no Undo: nothing
        QCOMPARE(f.cleaner->status(), Cleaner::Status::idle());
        QTest::keyClick(f.panel.get(), Qt::Key_Return); // nothing focused: Clean Desktop
        f.finishWork();
        QCOMPARE(f.statusText(), "Moved 2 files");

        f.panel->setShowingSettings(true); // not under the settings page
        QTest::keyClick(f.panel.get(), Qt::Key_Z, Qt::ControlModifier);
        f.finishWork();
        QVERIFY(f.cleaner->lastClean());
        f.panel->setShowingSettings(false);
        QTest::keyClick(f.panel.get(), Qt::Key_Z, Qt::ControlModifier);
        f.finishWork();
        QCOMPARE(f.statusText(), "Put back 2 files.");
        QVERIFY(!f.undoShown());

        QTest::keyClick(f.panel.get(), Qt::Key_Return);
        f.finishWork();
        f.rescanWith({"new.png"});
        QPushButton* undo = view->statusLine()->undoButton();
        undo->setFocus();
        QTest::keyClick(undo, Qt::Key_Return);
        f.finishWork();
        QCOMPARE(f.statusText(), "Put back 2 files."); // no clean of new.png
        QVERIFY(QFile::exists(f.desktop("new.png")));
    }

    // While another cleaner holds the record folder, a clean waits: the page counts its
    // progress and offers no second clean; when the other cleaner does not let go, the line
    // says why nothing was moved.
    void longCleanShowsProgressAndBusyNoticeSaysWhy() {
        PanelFixture f;
        f.open({"a.png", "b.pdf"});
        CleanView* view = f.panel->cleanView();
        auto other = platform::FileLock::acquire(f.home.stateFolder() + "/lock", 0);
        QVERIFY(other);

        f.cleaner->setBusyWait(10000);
        view->cleanButton()->click();
        QVERIFY(f.cleaner->isBusy());
        emit f.cleaner->progress(1234, 10000); // as the worker reports
        QCOMPARE(f.statusText(), "Moving 1,234 of 10,000…");
        QVERIFY(!view->cleanButton()->isEnabled());
        QVERIFY(!f.undoShown());
        other.reset();
        f.finishWork();
        QCOMPARE(f.statusText(), "Moved 2 files");

        f.rescanWith({"c.png"});
        other = platform::FileLock::acquire(f.home.stateFolder() + "/lock", 0);
        f.cleaner->setBusyWait(0);
        f.clean();
        QVERIFY(QFile::exists(f.desktop("c.png")));
        QCOMPARE(f.statusText(), "Vantor is busy with another clean. Try again in a moment.");
        QVERIFY(f.find<QLabel>("statusText")->text().contains(widgets::warningOrange().name()));
        QVERIFY(f.undoShown()); // the earlier clean can still be put back
    }

    void statusAfterFailures_data() {
        QTest::addColumn<QStringList>("files"); // "Installers" is a file where a folder must go
        QTest::addColumn<bool>("undoAfter");
        QTest::addColumn<QString>("text");
        QTest::newRow("some moved") << QStringList{"a.png", "b.png", "disc.iso", "Installers"}
                                    << false << "Moved 2 files \u00b7 1 couldn't be moved";
        QTest::newRow("nothing moved: no record") << QStringList{"disc.iso", "Installers"} << false
                                                  << "Nothing was moved \u00b7 1 couldn't be moved";
        QTest::newRow("undo with a moved file gone") << QStringList{"a.png", "b.png", "c.png"}
                                                     << true << "Put back 2 files. 1 were missing.";
    }
    void statusAfterFailures() {
        QFETCH(QStringList, files);
        QFETCH(bool, undoAfter);
        QFETCH(QString, text);
        PanelFixture f;
        f.open(files);
        CleanView* view = f.panel->cleanView();
        f.clean();
        if (undoAfter) {
            QVERIFY(QFile::remove(f.desktop("Images/b.png")));
            view->statusLine()->undoButton()->click();
            f.finishWork();
        }
        QCOMPARE(f.statusText(), text);
        QCOMPARE(f.undoShown(), bool(f.cleaner->lastClean()));
        if (!text.contains("couldn't"))
            return;
        // The file that stayed keeps its row.
        QCOMPARE(rowTexts(view->rows()), QStringList{"Installers: disc.iso"});
    }

    // The largest unit that differs, whole; "now", "yesterday" and the minutes show in the
    // panel's own tests.
    void relativeDates_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        const qint64 minute = 60, hour = 3600, day = 86400;
        QTest::newRow("an hour") << -hour - 59 * minute << "1 hour ago";
        QTest::newRow("a week") << -8 * day << "last week";
        QTest::newRow("years") << -800 * day << "2 years ago";
        QTest::newRow("tomorrow") << day << "tomorrow";
    }
    void relativeDates() {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        const QDateTime now(QDate(2024, 1, 17), QTime(12, 0), Qt::UTC);
        QCOMPARE(panel::relativeDateText(now.addSecs(seconds), now), text);
    }
};

VANTOR_WIDGET_TEST_MAIN(TestCleanView)
#include "TestCleanView.moc"
