#include "PanelFixture.h"

#include "panel/CleanView.h"
#include "panel/NoAccessView.h"
#include "panel/SettingsView.h"
#include "widgets/PrimaryButton.h"

#include <QSignalSpy>
#include <QToolButton>

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
        f.cleaner =
            std::make_unique<DesktopCleaner>(f.store.get(), f.desktop(), f.home.stateFolder());
        QSignalSpy scans(f.cleaner.get(), &DesktopCleaner::scanChanged);
        PanelView panel(*f.cleaner, f.services);
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

        f.panel->noAccessView()->openSettingsButton()->click();
        QCOMPARE(f.services.openedFolders, QStringList{f.home.path()});
        QCOMPARE(shownPage(f), Page::NoAccess);

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

    // Everything on the page fits: its last button ends inside the panel.
    void heightFollowsPage() {
        PanelFixture f;
        f.open();
        QSignalSpy resized(f.panel.get(), &PanelView::sizeChanged);
        testsupport::settle();
        const int empty = f.panel->height();
        const auto fits = [&](const QWidget* w) {
            return w->mapTo(f.panel.get(), QPoint(0, w->height())).y() <= f.panel->height();
        };
        f.touch({"a.png", "b.pdf", "c.iso", "a name long enough to wrap and then some more.png"});
        f.cleaner->rescan();
        testsupport::settle();
        const int threeRows = f.panel->height();
        QVERIFY(threeRows > empty + 80 && !resized.isEmpty());
        QVERIFY(fits(f.panel->cleanView()->cleanButton()));

        f.panel->setShowingSettings(true);
        testsupport::settle();
        QVERIFY(fits(f.panel->settingsView()->doneButton()));
        f.panel->setShowingSettings(false);
        testsupport::settle();
        QCOMPARE(f.panel->height(), threeRows);
    }
};

VANTOR_WIDGET_TEST_MAIN(TestPanelView)
#include "TestPanelView.moc"
