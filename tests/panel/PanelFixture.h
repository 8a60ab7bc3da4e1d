#pragma once

#include "RecordingServices.h"
#include "TestSupport.h"

#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "panel/PanelView.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"

#include <QApplication>
#include <QTest>

#include <memory>

// A home folder of its own for each test case, with a real Desktop, the default rules, a
// cleaner and a panel whose outside actions are only recorded, on a test clock.
// Members go in reverse order: the panel first, the home folder last.
struct PanelFixture {
    TempHome home;
    TestClock clock;
    RecordingServices services;
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

    // Makes the cleaner (reading any record already written), the settings of automatic
    // tidying (reading settings.ini) and the panel, and shows it.
    PanelView& open() {
        autoTidy = std::make_unique<AutoTidySettings>(settingsFile());
        cleaner = std::make_unique<Cleaner>(folders.get(), home.stateFolder(), nullptr, clock);
        panel = std::make_unique<PanelView>(*cleaner, *autoTidy, services);
        panel->show();
        panel->activateWindow();
        if (!QTest::qWaitForWindowActive(panel.get()))
            qWarning("panel did not become the active window");
        return *panel;
    }

    // The panel's clean and undo run on a worker: waits until the one started is done and
    // its results are on screen.
    void finishWork() const {
        QVERIFY(QTest::qWaitFor([this] { return !cleaner->isBusy(); }, 10000));
        testsupport::settle();
    }

    template <typename T> T* find(const char* name) const {
        return testsupport::find<T>(panel.get(), QString::fromLatin1(name));
    }
};
