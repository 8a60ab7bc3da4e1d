#include "PanelFixture.h"

#include "panel/NoAccessView.h"
#include "widgets/FittingScrollArea.h"

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

    // The gear, Done and Escape close the settings, which go over the no-access page and come
    // back to it, not to the clean page. Quit works on every page.
    void pageFollowsCleanerAndSettings() {
        PanelFixture f;
        QVERIFY(QDir(f.desktop()).removeRecursively());
        f.open();
        QSignalSpy quit(f.panel.get(), &PanelView::quitRequested);
        QCOMPARE(shownPage(f), Page::NoAccess);
        f.panel->settingsButton()->click();
        QCOMPARE(shownPage(f), Page::Settings);
        f.panel->quitButton()->click();
        f.panel->settingsButton()->click();
        QCOMPARE(shownPage(f), Page::NoAccess);
        f.panel->settingsButton()->click();
        f.panel->settingsView()->doneButton()->click();
        QCOMPARE(shownPage(f), Page::NoAccess);
        testsupport::settle();
        QVERIFY(f.panel->findChildren<SettingsView*>().isEmpty()); // made afresh each time
        f.panel->settingsButton()->click();
        QTest::keyClick(f.panel.get(), Qt::Key_Escape);
        QCOMPARE(shownPage(f), Page::NoAccess);

        QCOMPARE(f.find<QLabel>("noAccessText")->text(),
                 "Vantor can't read ~/Desktop. Check that the folder exists and that you may "
                 "open it.");
        // The Desktop is missing: its parent folder is shown, where it can be made again.
        f.panel->noAccessView()->openSettingsButton()->click();
        QCOMPARE(f.services.openedFolders, QStringList{f.home.path()});

        f.panel->noAccessView()->tryAgainButton()->click(); // still missing
        QCOMPARE(shownPage(f), Page::NoAccess);
        f.touch({"a.png"});
        f.panel->noAccessView()->tryAgainButton()->click();
        QCOMPARE(shownPage(f), Page::Clean);
        f.panel->quitButton()->click();
        QCOMPARE(quit.size(), 2);

        // A clean keeps the clean page; losing the Desktop again brings the notice back live.
        f.clean();
        QCOMPARE(shownPage(f), Page::Clean);
        QVERIFY(QDir(f.desktop()).removeRecursively());
        f.cleaner->rescan();
        QCOMPARE(shownPage(f), Page::NoAccess);
    }

    // Tab goes through the panel as it is read, header first, and every button without words
    // has a name to be read out by.
    void readableByKeyboardAndScreenReader() {
        PanelFixture f;
        QDir().mkpath(f.desktop("Images"));
        f.open({"a.png", "b.png"});
        f.clean();
        f.showSettings(true); // the page's scroll area sizes it a layout pass later
        QCOMPARE(
            f.tabOrder(),
            (QStringList{"Close settings", "Quit Vantor", "loginSwitch", "addFolderButton",
                         "Show Desktop folder", "Tidy Desktop automatically", "editRulesButton",
                         "Show Images folder", "Put back 2 files moved now", "doneButton"}));
        for (QAbstractButton* button : f.panel->findChildren<QAbstractButton*>())
            if (button->text().isEmpty() && button->isVisibleTo(f.panel.get()))
                QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
    }

    // 30 rules on a 1280x800 screen (768 px below a top bar): the panel stays on the screen,
    // the rows scroll, and every button is on screen and clickable. With room again, the list
    // shows whole.
    void manyRowsScrollAndEveryButtonStaysOnScreen() {
        PanelFixture f;
        QStringList files{"a.png", "b.pdf", "c.iso"};
        for (int i = 1; i <= 27; ++i) {
            f.store->addExtensions(QString("t%1").arg(i), f.store->addRule());
            files << QString("file %1.t%1").arg(i);
        }
        f.open(files);
        constexpr int kAvailable = 768;
        f.panel->setAvailableHeight(kAvailable);
        f.clean();
        f.rescanWith(files); // the same again, with the first clean still to undo
        f.settleLayouts();
        QCOMPARE(f.panel->cleanView()->rows().size(), 30);
        QVERIFY(f.panel->height() <= kAvailable);
        f.checkReachable({f.panel->settingsButton(), f.panel->quitButton(),
                          f.panel->cleanView()->cleanButton(),
                          f.panel->cleanView()->statusLine()->undoButton()});
        FittingScrollArea* list = f.panel->cleanView()->groupScroll();
        QVERIFY(list->verticalScrollBar()->maximum() > 0);

        f.panel->setAvailableHeight(5000);
        f.settleLayouts();
        QCOMPARE(list->verticalScrollBar()->maximum(), 0);
    }
};

VANTOR_WIDGET_TEST_MAIN(TestPanelView)
#include "TestPanelView.moc"
