#include "PanelFixture.h"

#include "app/Accent.h"
#include "app/PrimaryButton.h"
#include "panel/CleanView.h"
#include "panel/RelativeDate.h"
#include "panel/RuleRow.h"
#include "panel/StatusLine.h"

#include <QFile>
#include <QLabel>

// The clean page and its status line, driven by a real cleaner on a real Desktop.
class TestCleanView : public QObject {
    Q_OBJECT

    static QString labelText(const PanelFixture& f, const char* name) {
        const QLabel* label = f.find<QLabel>(name);
        return label && label->isVisibleTo(f.panel.get()) ? label->text() : QString();
    }
    static QStringList rowNames(CleanView* view) {
        QStringList names;
        for (const RuleRow* row : view->rows())
            names << row->group().rule.name;
        return names;
    }
    static QString statusText(const PanelFixture& f) {
        return f.panel->cleanView()->statusLine()->text();
    }
    static bool undoShown(const PanelFixture& f) {
        return f.panel->cleanView()->statusLine()->undoButton()->isVisibleTo(f.panel.get());
    }

  private slots:
    void filesToPutAway_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("others");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("previews");

        QTest::newRow("one file, seven others")
            << QStringList{"a.png", "1", "2", "3", "4", "5", "6", "7"} << "1 file to put away"
            << "7 other files stay where they are." << QStringList{"Images"}
            << QStringList{"a.png"};
        QTest::newRow("first and third rule, one other")
            << QStringList{"b.png", "a.png", "disc.iso", "notes"} << "3 files to put away"
            << "1 other file stays where it is." << QStringList{"Images", "Installers"}
            << QStringList{"a.png, b.png", "disc.iso"};
        QTest::newRow("overflowing preview, no others")
            << QStringList{"e.png", "c.png", "a.png", "d.png", "b.png", "x.pdf", "y.pdf", "z.pdf"}
            << "8 files to put away" << QString() << QStringList{"Images", "Documents"}
            << QStringList{"a.png, b.png +3", "x.pdf, y.pdf +1"};
    }
    void filesToPutAway() {
        QFETCH(QStringList, files);
        QFETCH(QString, count);
        QFETCH(QString, others);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, previews);
        PanelFixture f;
        f.touch(files);
        f.open();
        CleanView* view = f.panel->cleanView();

        QVERIFY(!view->isShowingEmptyState());
        QCOMPARE(labelText(f, "countLabel"), count);
        QCOMPARE(labelText(f, "otherLabel"), others);
        QCOMPARE(rowNames(view), rows);
        QCOMPARE(view->dividerCount(), view->rows().size() - 1);
        QStringList shown;
        for (const RuleRow* row : view->rows()) {
            shown << RuleRow::previewText(row->group());
            QCOMPARE(row->toolTip(), "Moves to " + row->group().rule.destination);
            QCOMPARE(row->findChild<QLabel*>("fileCount")->text(),
                     QString::number(row->group().files.size()));
        }
        QCOMPARE(shown, previews);
        QCOMPARE(view->rows().first()->toolTip(), "Moves to ~/Desktop/Images");
        QVERIFY(view->cleanButton()->isEnabled());
        QCOMPARE(statusText(f), QString()); // nothing done, nothing to undo: no line at all
        QVERIFY(view->statusLine()->isHidden());
    }

    void emptyState_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("subtitle");
        QTest::newRow("empty") << QStringList{} << "Nothing to sort right now.";
        QTest::newRow("one unmatched")
            << QStringList{"README"} << "No files match your rules. 1 other file left alone.";
        QTest::newRow("three unmatched") << QStringList{"a", "b.zzz", "c.sh"}
                                         << "No files match your rules. 3 other files left alone.";
    }
    void emptyState() {
        QFETCH(QStringList, files);
        QFETCH(QString, subtitle);
        PanelFixture f;
        f.touch(files);
        QDir().mkpath(f.desktop("Images")); // a folder counts as nothing
        f.open();
        CleanView* view = f.panel->cleanView();

        QVERIFY(view->isShowingEmptyState());
        QCOMPARE(labelText(f, "emptyTitle"), "Your desktop is clean");
        QCOMPARE(labelText(f, "emptySubtitle"), subtitle);
        QCOMPARE(labelText(f, "countLabel"), QString());
        QVERIFY(view->rows().isEmpty());
        QVERIFY(!view->cleanButton()->isEnabled());

        // Return does nothing while there is nothing to move.
        QTest::keyClick(f.panel.get(), Qt::Key_Return);
        QCOMPARE(f.cleaner->status(), DesktopCleaner::Status::idle());
        QVERIFY(!f.cleaner->lastClean());
    }

    void returnCleansAndCtrlZUndoes() {
        PanelFixture f;
        f.touch({"a.png", "b.pdf"});
        f.open();
        CleanView* view = f.panel->cleanView();

        QTest::keyClick(f.panel.get(), Qt::Key_Z, Qt::ControlModifier); // no Undo: nothing
        QCOMPARE(f.cleaner->status(), DesktopCleaner::Status::idle());

        QTest::keyClick(f.panel.get(), Qt::Key_Return);
        QVERIFY(QFile::exists(f.desktop("Images/a.png")));
        QVERIFY(view->isShowingEmptyState());
        QCOMPARE(statusText(f), "Moved 2 files");
        QCOMPARE(view->statusLine()->failureText(), QString());
        QVERIFY(undoShown(f));

        // Ctrl+Z is only Undo while the page shows it: not under the settings page.
        f.panel->setShowingSettings(true);
        QTest::keyClick(f.panel.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(f.cleaner->lastClean());
        f.panel->setShowingSettings(false);

        QTest::keyClick(f.panel.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(QFile::exists(f.desktop("a.png")));
        QCOMPARE(statusText(f), "Put back 2 files.");
        QVERIFY(!undoShown(f));
        QCOMPARE(rowNames(view), (QStringList{"Images", "Documents"}));

        // Once more: the button is gone, so the key does nothing.
        QTest::keyClick(f.panel.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.cleaner->status(), DesktopCleaner::Status::undone(2, 0));
    }

    void failedMoveShowsOrangePart() {
        PanelFixture f;
        f.touch({"a.png", "b.png", "disc.iso", "Installers"}); // a file where a folder must go
        f.open();
        f.panel->cleanView()->cleanButton()->click();

        StatusLine* line = f.panel->cleanView()->statusLine();
        QCOMPARE(line->text(), "Moved 2 files \u00b7 1 couldn't be moved");
        QCOMPARE(line->failureText(), " \u00b7 1 couldn't be moved");
        const QString html = f.find<QLabel>("statusText")->text();
        QVERIFY2(html.contains(ui::warningOrange().name()), qPrintable(html));
        QVERIFY(undoShown(f));
        // The file that stayed keeps its row.
        QCOMPARE(rowNames(f.panel->cleanView()), QStringList{"Installers"});
        QCOMPARE(labelText(f, "countLabel"), "1 file to put away");
    }

    void nothingMovedWithoutRecord() {
        PanelFixture f;
        f.touch({"disc.iso", "Installers"});
        f.open();
        f.panel->cleanView()->cleanButton()->click();
        QCOMPARE(statusText(f), "Nothing was moved \u00b7 1 couldn't be moved");
        QVERIFY(!undoShown(f));
    }

    void undoWithMissingFile() {
        PanelFixture f;
        f.touch({"a.png", "b.png", "c.png"});
        f.open();
        f.panel->cleanView()->cleanButton()->click();
        QVERIFY(QFile::remove(f.desktop("Images/b.png")));
        f.panel->cleanView()->statusLine()->undoButton()->click();
        QCOMPARE(statusText(f), "Put back 2 files. 1 were missing.");
        QVERIFY(!undoShown(f));
    }

    void lastCleanFromDisk() {
        PanelFixture f;
        f.now = QDateTime(QDate(2024, 1, 17), QTime(12, 0), Qt::UTC);
        DesktopCleaner::CleanRecord record{
            f.now.addDays(-1), {{f.desktop("a.png"), "/x/a.png"}}, {}};
        QVERIFY(testsupport::writeFile(f.stateFolder() + "/last-clean.json",
                                       DesktopCleaner::encodeRecord(record)));
        f.open();
        QCOMPARE(statusText(f), "Last clean moved 1 file yesterday");
        QVERIFY(undoShown(f));

        // Opened again two days later, the line has moved on with the clock.
        f.panel->hide();
        f.now = f.now.addDays(2);
        f.panel->show();
        QCOMPARE(statusText(f), "Last clean moved 1 file 3 days ago");
    }

    void relativeDates_data() {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        const qint64 minute = 60, hour = 3600, day = 86400;
        QTest::newRow("same moment") << qint64(0) << "now";
        QTest::newRow("seconds") << qint64(-30) << "30 seconds ago";
        QTest::newRow("minutes") << -2 * minute - 10 << "2 minutes ago";
        QTest::newRow("an hour") << -hour - 59 * minute << "1 hour ago";
        QTest::newRow("a day and some") << -day - 5 * hour << "yesterday";
        QTest::newRow("days") << -3 * day << "3 days ago";
        QTest::newRow("a week") << -8 * day << "last week";
        QTest::newRow("weeks") << -20 * day << "2 weeks ago";
        QTest::newRow("a month") << -40 * day << "last month";
        QTest::newRow("years") << -800 * day << "2 years ago";
        QTest::newRow("future hours") << 3 * hour << "in 3 hours";
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
