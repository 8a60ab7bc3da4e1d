#pragma once

#include "RecordingServices.h"
#include "TestSupport.h"

#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "panel/CleanView.h"
#include "panel/HistoryList.h"
#include "panel/HistorySource.h"
#include "panel/PanelView.h"
#include "panel/RuleGroupRow.h"
#include "panel/SettingsView.h"
#include "panel/StatusLine.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"
#include "widgets/PrimaryButton.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

// A history a test writes, which records what it was asked to put back.
class FakeHistory : public HistorySource {
  public:
    QList<CleanSummary> list;
    bool busy = false;
    QStringList putBackIds;

    QList<CleanSummary> entries() const override { return list; }
    bool isBusy() const override { return busy; }
    void putBack(const QString& id) override { putBackIds.append(id); }

    void setBusy(bool on) {
        busy = on;
        emit busyChanged(on);
    }
    void setList(QList<CleanSummary> entries) {
        list = std::move(entries);
        emit entriesChanged();
    }
};

// Rows as "rule: preview".
inline QStringList rowTexts(const QList<RuleGroupRow*>& rows) {
    QStringList out;
    for (const RuleGroupRow* row : rows)
        out << row->group().rule.name + ": " + RuleGroupRow::previewText(row->group());
    return out;
}

// The texts of the labels of that name (any when empty) that show under `root`.
inline QStringList shownTexts(const QWidget* root, const QString& name = {}) {
    QStringList out;
    for (const QLabel* label : root->findChildren<QLabel*>(name))
        if (label->isVisibleTo(root) && !label->text().isEmpty())
            out << label->text();
    return out;
}

// A home folder of its own for each test case, with a real Desktop, the default rules, a
// cleaner and a panel whose outside actions are only recorded, on a test clock.
// Members go in reverse order: the panel first, the home folder last.
struct PanelFixture {
    TempHome home;
    TestClock clock;
    RecordingServices services;
    FakeHistory history;
    std::unique_ptr<TidiedFolders> folders =
        std::make_unique<TidiedFolders>(home.configFolder(), home.desktop());
    RuleStore* store = folders->desktopRules();
    std::unique_ptr<AutoTidySettings> autoTidy;
    std::unique_ptr<Cleaner> cleaner;
    std::unique_ptr<PanelView> panel;

    PanelFixture() { services.testClock = &clock; }

    QString desktop(const QString& name = {}) const { return home.desktop(name); }
    QString settingsFile() const { return home.configFolder() + "/settings.ini"; }
    void touch(const QStringList& names) const {
        for (const QString& name : names)
            QVERIFY(testsupport::touch(desktop(name)));
    }
    // Makes a folder in the home folder with these files and has it tidied; its path.
    QString addFolder(const QString& name, const QStringList& files = {}) const {
        const QString folder = home.path() + u'/' + name;
        QDir().mkpath(folder);
        for (const QString& file : files)
            [&] { QVERIFY(testsupport::touch(folder + u'/' + file)); }();
        [&] { QCOMPARE(folders->add(folder), TidiedFolders::Refusal::None); }();
        return folder;
    }
    // The record of a clean that moved one file from the Desktop, `days` days ago.
    void writeLastClean(int days) const {
        const CleanRecord record{clock.now().addDays(-days), {{desktop("a.png"), "/x/a.png"}}, {}};
        QVERIFY(testsupport::touch(home.stateFolder() + "/last-clean.json", record.encode()));
    }

    // Puts these files on the Desktop, then makes the cleaner (reading any record already
    // written), the settings of automatic tidying (reading settings.ini) and the panel, and
    // shows it.
    PanelView& open(const QStringList& files = {}) {
        touch(files);
        panel.reset(); // an earlier one goes before what it refers to
        autoTidy = std::make_unique<AutoTidySettings>(settingsFile());
        cleaner = std::make_unique<Cleaner>(folders.get(), home.stateFolder(), nullptr, clock);
        panel = std::make_unique<PanelView>(*cleaner, *autoTidy, services);
        panel->show();
        panel->activateWindow();
        if (!QTest::qWaitForWindowActive(panel.get()))
            qWarning("panel did not become the active window");
        return *panel;
    }
    // The settings page made afresh, the panel opened first if need be.
    SettingsView& openSettings() {
        if (!panel)
            open();
        panel->setShowingSettings(false);
        panel->setShowingSettings(true);
        return *panel->settingsView();
    }
    // The settings page's history, showing these cleans.
    HistoryList* showHistory(QList<CleanSummary> cleans) {
        history.list = std::move(cleans);
        open();
        panel->useHistory(history);
        return openSettings().historyList();
    }

    // The panel's clean and undo run on a worker: waits until the one started is done and
    // its results are on screen.
    void finishWork() const {
        QVERIFY(QTest::qWaitFor([this] { return !cleaner->isBusy(); }, 10000));
        testsupport::settle();
    }
    // Puts these files on the Desktop and has the cleaner look again, as its watch would.
    void rescanWith(const QStringList& files) const {
        touch(files);
        cleaner->rescan();
    }
    // Cleans what the page shows, as its button does.
    void clean() const {
        panel->cleanView()->cleanButton()->click();
        finishWork();
    }
    // Layouts settle one level of nesting per pass of the event loop: the panel's height
    // follows its rows a few passes after they change.
    static void settleLayouts() {
        for (int i = 0; i < 5; ++i)
            testsupport::settle();
    }

    template <typename T> T* find(const char* name) const {
        return testsupport::find<T>(panel.get(), QString::fromLatin1(name));
    }
    // The text of the panel's label of that name while it shows; empty while it does not.
    QString labelText(const char* name) const {
        const QLabel* label = find<QLabel>(name);
        return label && label->isVisibleTo(panel.get()) ? label->text() : QString();
    }
    QString statusText() const { return panel->cleanView()->statusLine()->text(); }
    bool undoShown() const {
        return panel->cleanView()->statusLine()->undoButton()->isVisibleTo(panel.get());
    }
    // The page that shows, or the settings over it, once the layouts have followed.
    void showSettings(bool on) const {
        panel->setShowingSettings(on);
        settleLayouts();
    }
    // Fails unless each of these is whole inside the panel and not covered.
    void checkReachable(std::initializer_list<const QWidget*> widgets) const {
        for (const QWidget* w : widgets) {
            const QRect inPanel(w->mapTo(panel.get(), QPoint()), w->size());
            QVERIFY2(w->isVisibleTo(panel.get()) && panel->rect().contains(inPanel) &&
                         w->visibleRegion().boundingRect() == w->rect(),
                     qPrintable(w->objectName()));
        }
    }
    // What Tab goes through, from the header's first button round: each by its name for
    // screen readers, or its object name.
    QStringList tabOrder() const {
        QStringList order;
        QWidget* start = panel->settingsButton();
        QWidget* w = start;
        do {
            if (w->isVisibleTo(panel.get()) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
                order << (w->accessibleName().isEmpty() ? w->objectName() : w->accessibleName());
            w = w->nextInFocusChain();
        } while (w != start);
        return order;
    }
};
