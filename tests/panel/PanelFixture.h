#pragma once

#include "TestSupport.h"

#include "cleaner/DesktopCleaner.h"
#include "panel/PanelView.h"
#include "rules/RuleStore.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A home folder of its own for each test case, with a real Desktop, the default rules, a
// cleaner and a panel whose outside actions are only recorded.
// Members go in reverse order: the panel first, the home folder last.
struct PanelFixture {
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<RuleStore> store;
    std::unique_ptr<DesktopCleaner> cleaner;
    std::unique_ptr<PanelView> panel;
    QList<QUrl> opened;
    QStringList revealed;
    QList<RuleStore*> rulesShown;
    QDateTime now = QDateTime::currentDateTimeUtc();

    PanelFixture() {
        // Inside the home folder CTest made for this test program, whatever an earlier case
        // set HOME to.
        static const QString testHome = QDir::homePath();
        tmp = std::make_unique<QTemporaryDir>(testHome + "/case-XXXXXX");
        if (!tmp->isValid())
            qFatal("cannot make a home folder for the case");
        const QByteArray home = tmp->path().toUtf8();
        qputenv("HOME", home);
        qputenv("XDG_CONFIG_HOME", home + "/.config");
        qputenv("XDG_STATE_HOME", home + "/.local/state");
        qputenv("XDG_CONFIG_DIRS", home + "/xdg");
        QDir().mkpath(desktop());
        store = std::make_unique<RuleStore>(home + "/.config/Vantor");
    }

    QString home() const { return tmp->path(); }
    QString desktop(const QString& name = {}) const {
        return name.isEmpty() ? home() + "/Desktop" : home() + "/Desktop/" + name;
    }
    QString stateFolder() const { return home() + "/.local/state/Vantor"; }
    void touch(const QStringList& names) const {
        for (const QString& name : names)
            QVERIFY(testsupport::writeFile(desktop(name), "x"));
    }

    // Makes the cleaner (reading any record already written) and the panel, and shows it.
    PanelView& open() {
        cleaner = std::make_unique<DesktopCleaner>(store.get(), desktop(), stateFolder());
        PanelServices services{[this](const QUrl& url) { opened.append(url); },
                               [this](const QString& path) { revealed.append(path); },
                               [this](RuleStore& s) { rulesShown.append(&s); },
                               [this] { return now; }};
        panel = std::make_unique<PanelView>(*cleaner, services);
        panel->show();
        panel->activateWindow();
        if (!QTest::qWaitForWindowActive(panel.get()))
            qWarning("panel did not become the active window");
        return *panel;
    }

    template <typename T> T* find(const char* name) const {
        return panel->findChild<T*>(QString::fromLatin1(name));
    }
};
