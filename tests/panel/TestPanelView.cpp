#include "PanelFixture.h"

#include "panel/FolderList.h"
#include "panel/NoAccessView.h"
#include "widgets/FittingScrollArea.h"
#include "widgets/PrimaryButton.h"
#include "widgets/ToggleSwitch.h"

#include <QScrollBar>
#include <QSignalSpy>

using Page = PanelView::Page;

// The panel's header, its choice of page and its life on and off screen.
class TestPanelView : public QObject {
    Q_OBJECT

    // The page on screen; exactly one is.
    static Page shownPage(const PanelFixture& f) {
        PanelView& panel = *f.panel;
        const bool settings = panel.settingsView() && panel.settingsView()->isVisible();
        const bool noAccess = panel.noAccessView()->isVisible();
        const bool clean = panel.cleanView()->isVisible();
        if (int(settings) + int(noAccess) + int(clean) != 1)
            qWarning("not exactly one page on screen");
        return settings ? Page::Settings : noAccess ? Page::NoAccess : Page::Clean;
    }

  private slots:
    void rescansOncePerShowing() {
        PanelFixture f;
        f.cleaner = std::make_unique<Cleaner>(f.folders.get(), f.home.stateFolder());
        QSignalSpy scans(f.cleaner.get(), &Cleaner::scanChanged);
        AutoTidySettings autoTidy(f.settingsFile());
        PanelView panel(*f.cleaner, autoTidy, f.services);
        QCOMPARE(scans.size(), 0); // made, not shown: no scan yet

        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        testsupport::settle();
        QCOMPARE(scans.size(), 1);
        QVERIFY(f.cleaner->isWatching());

        panel.setShowingSettings(true);
        panel.hide();
        panel.show();
        testsupport::settle();
        QCOMPARE(scans.size(), 2);
        QVERIFY(panel.showingSettings()); // closing the panel keeps settings open
    }

    void pageFollowsCleanerAndSettings() {
        PanelFixture f;
        QVERIFY(QDir(f.desktop()).removeRecursively());
        f.open();
        QSignalSpy quit(f.panel.get(), &PanelView::quitRequested); // Quit works on every page
        QCOMPARE(shownPage(f), Page::NoAccess);
        f.panel->quitButton()->click();

        // Settings go over the no-access page and come back to it, not to the clean page.
        f.panel->settingsButton()->click();
        QCOMPARE(shownPage(f), Page::Settings);
        f.panel->quitButton()->click();
        f.panel->settingsButton()->click();
        QCOMPARE(shownPage(f), Page::NoAccess);

        QCOMPARE(f.find<QLabel>("noAccessText")->text(),
                 "Vantor can't read ~/Desktop. Check that the folder exists and that you may "
                 "open it.");
        QCOMPARE(f.panel->noAccessView()->openSettingsButton()->text(), "Show in File Manager");
        // The Desktop is missing: its parent folder is shown, where it can be made again.
        f.panel->noAccessView()->openSettingsButton()->click();
        QCOMPARE(f.services.openedFolders, QStringList{f.home.path()});
        QCOMPARE(shownPage(f), Page::NoAccess);
        f.services.fileManagerFound = false;
        f.panel->noAccessView()->openSettingsButton()->click();
        QCOMPARE(f.panel->noAccessView()->fileManagerError(), "No file manager found to show ~.");
        f.services.fileManagerFound = true;

        f.panel->noAccessView()->tryAgainButton()->click(); // still missing
        QCOMPARE(shownPage(f), Page::NoAccess);
        f.touch({"a.png"});
        f.panel->noAccessView()->tryAgainButton()->click();
        QCOMPARE(shownPage(f), Page::Clean);
        QCOMPARE(f.panel->cleanView()->rows().size(), 1);
        f.panel->quitButton()->click();
        QCOMPARE(quit.size(), 3);

        // A clean keeps the clean page; losing the Desktop again brings the notice back live.
        f.panel->cleanView()->cleanButton()->click();
        f.finishWork();
        QCOMPARE(shownPage(f), Page::Clean);
        QVERIFY(QDir(f.desktop()).removeRecursively());
        f.cleaner->rescan();
        QCOMPARE(shownPage(f), Page::NoAccess);
    }

    void settingsCloseWithDoneEscapeAndXmark() {
        PanelFixture f;
        f.open();
        f.panel->settingsButton()->click();
        QCOMPARE(shownPage(f), Page::Settings);
        QTest::keyClick(f.panel.get(), Qt::Key_Escape);
        QCOMPARE(shownPage(f), Page::Clean);

        f.panel->settingsButton()->click();
        f.panel->settingsView()->doneButton()->click();
        QCOMPARE(shownPage(f), Page::Clean);
        testsupport::settle();
        QVERIFY(f.panel->findChildren<SettingsView*>().isEmpty()); // made afresh each time

        // Escape without settings open is not the page's to take.
        QTest::keyClick(f.panel.get(), Qt::Key_Escape);
        QCOMPARE(shownPage(f), Page::Clean);
    }

    // Tab goes through the panel as it is read, header first, every control reached shows
    // that it has the focus, and every button without words has a name to be read out by.
    void readableByKeyboardAndScreenReader() {
        PanelFixture f;
        QDir().mkpath(f.desktop("Images"));
        f.touch({"a.png", "b.png"});
        f.open();
        f.panel->cleanView()->cleanButton()->click();
        f.finishWork();
        f.touch({"c.png"});
        f.cleaner->rescan();
        const auto focusShows = [&] {
            f.panel->setFocus(Qt::OtherFocusReason);
            QMap<QWidget*, QImage> unfocused;
            for (QWidget* w : f.panel->findChildren<QWidget*>())
                if (w->isVisibleTo(f.panel.get()) && w->isEnabled() &&
                    (w->focusPolicy() & Qt::TabFocus))
                    unfocused.insert(w, w->grab().toImage());
            QVERIFY(unfocused.size() >= 4);
            for (qsizetype i = 0; i < unfocused.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QWidget* w = QApplication::focusWidget();
                QVERIFY(unfocused.contains(w));
                QVERIFY2(w->grab().toImage() != unfocused.value(w), qPrintable(w->objectName()));
            }
        };
        QCOMPARE(f.tabOrder(),
                 (QStringList{"Settings", "Quit Vantor", "cleanButton", "undoButton"}));
        focusShows();

        f.panel->setShowingSettings(true);
        f.settleLayouts(); // the page's scroll area sizes it a layout pass later
        QCOMPARE(
            f.tabOrder(),
            (QStringList{"Close settings", "Quit Vantor", "loginSwitch", "addFolderButton",
                         "Show Desktop folder", "Tidy Desktop automatically", "editRulesButton",
                         "Show Images folder", "Put back 2 files moved now", "doneButton"}));
        focusShows();
        // The quiet time joins in once tidying is on.
        f.panel->settingsView()->folderList()->autoTidySwitches().first()->click();
        QCOMPARE(f.tabOrder().mid(5, 2),
                 (QStringList{"Tidy Desktop automatically", "quietChoice"}));
        for (QAbstractButton* button : f.panel->findChildren<QAbstractButton*>())
            if (button->text().isEmpty() && button->isVisibleTo(f.panel.get()))
                QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
    }

    // The panel's height follows its page, and everything on the page fits. 30 rules on a
    // 1280x800 screen (768 px below a top bar): the panel stays on the screen, the rows
    // scroll, and every button is on screen and clickable.
    void heightFollowsPageAndFitsTheScreen() {
        PanelFixture f;
        QStringList files{"a.png", "b.pdf", "c.iso"};
        for (int i = 1; i <= 27; ++i) {
            f.store->addExtensions(QString("t%1").arg(i), f.store->addRule());
            files << QString("file %1.t%1").arg(i);
        }
        f.open();
        constexpr int kAvailable = 768;
        f.panel->setAvailableHeight(kAvailable);
        QSignalSpy resized(f.panel.get(), &PanelView::sizeChanged);
        f.settleLayouts();
        const int empty = f.panel->height();
        f.touch(files.mid(0, 3) << "a name long enough to wrap and then some more.png");
        f.cleaner->rescan();
        f.settleLayouts();
        const int threeRows = f.panel->height();
        QVERIFY(threeRows > empty + 80 && !resized.isEmpty());
        QVERIFY(f.reachable(f.panel->cleanView()->cleanButton()));
        f.panel->setShowingSettings(true);
        f.settleLayouts();
        QVERIFY(f.reachable(f.panel->settingsView()->doneButton()));
        f.panel->setShowingSettings(false);
        f.settleLayouts();
        QCOMPARE(f.panel->height(), threeRows);

        f.touch(files);
        f.cleaner->rescan();
        f.panel->cleanView()->cleanButton()->click();
        f.finishWork();
        f.touch(files); // the same again, with the first clean still to undo
        f.cleaner->rescan();
        f.settleLayouts();
        QCOMPARE(f.panel->cleanView()->rows().size(), 30);
        QVERIFY(f.panel->height() <= kAvailable);
        QVERIFY(f.reachable(f.panel->settingsButton()));
        QVERIFY(f.reachable(f.panel->quitButton()));
        QVERIFY(f.reachable(f.panel->cleanView()->cleanButton()));
        QVERIFY(f.reachable(f.panel->cleanView()->statusLine()->undoButton()));

        // The last row is there to scroll to.
        FittingScrollArea* list = f.panel->cleanView()->groupScroll();
        QVERIFY(list->verticalScrollBar()->maximum() > 0);
        RuleGroupRow* last = f.panel->cleanView()->rows().last();
        QVERIFY(last->visibleRegion().isEmpty());
        list->ensureWidgetVisible(last);
        QVERIFY(!last->visibleRegion().isEmpty());

        f.panel->setShowingSettings(true);
        f.settleLayouts();
        QVERIFY(f.panel->height() <= kAvailable);
        QVERIFY(f.reachable(f.panel->settingsView()->doneButton()));
        QVERIFY(f.reachable(f.panel->settingsView()->editRulesButton()));

        // Room again: the list shows whole and nothing scrolls.
        f.panel->setShowingSettings(false);
        f.panel->setAvailableHeight(5000);
        f.settleLayouts();
        QCOMPARE(list->verticalScrollBar()->maximum(), 0);
    }
};

VANTOR_WIDGET_TEST_MAIN(TestPanelView)
#include "TestPanelView.moc"
