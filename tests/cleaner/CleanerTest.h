#pragma once

#include "TestSupport.h"

#include "cleaner/CleanJournal.h"
#include "cleaner/Cleaner.h"
#include "platform/FileSystem.h"
#include "rules/RuleStore.h"
#include "rules/TidiedFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include <memory>

using Status = Cleaner::Status;

// A journal begun in `state` as a clean or put-back killed before it could finish leaves it.
inline std::unique_ptr<CleanJournal> beginJournal(const QString& state, CleanJournal::Kind kind) {
    if (!platform::makePath(state))
        return {};
    return CleanJournal::begin(CleanJournal::fileIn(state, kind), kind,
                               QDateTime::currentDateTimeUtc());
}

// A fresh home for each case whose Desktop has the default rules (Images, Documents and
// Installers inside it), and a cleaner on the test clock. Test classes call setUp() and
// tearDown() from their init() and cleanup().
class CleanerTest : public QObject {
  protected:
    std::unique_ptr<TempHome> m_home;
    std::unique_ptr<TestClock> m_clock;
    std::unique_ptr<TidiedFolders> m_folders;
    RuleStore* m_store = nullptr;
    std::unique_ptr<Cleaner> m_cleaner;
    QString m_desktop, m_state;

    void setUp(const QDateTime& start = TestClock().now()) {
        m_home = std::make_unique<TempHome>();
        m_clock = std::make_unique<TestClock>(start);
        m_desktop = m_home->desktop();
        m_state = m_home->stateFolder();
        m_folders = std::make_unique<TidiedFolders>(m_home->configFolder(), m_desktop);
        m_store = m_folders->desktopRules();
        m_store->restoreDefaults(); // rule folders under this home
        restart();
    }
    void tearDown() {
        m_cleaner.reset();
        m_folders.reset();
        m_clock.reset();
        m_home.reset();
    }
    // A new cleaner in place of the running one, as a restart makes it.
    Cleaner& restart() {
        m_cleaner.reset();
        m_cleaner = anotherCleaner();
        return *m_cleaner;
    }
    // A second cleaner beside the running one, as another Vantor or a command would be.
    std::unique_ptr<Cleaner> anotherCleaner() const {
        return std::make_unique<Cleaner>(m_folders.get(), m_state, nullptr, *m_clock);
    }

    QString desktop(const QString& name) const { return m_desktop + "/" + name; }
    bool onDesktop(const QString& name) const { return QFileInfo::exists(desktop(name)); }
    QByteArray read(const QString& name) const { return testsupport::readFile(desktop(name)); }
    void touch(const QStringList& names, const QByteArray& content = "x") const {
        for (const QString& name : names)
            QVERIFY2(testsupport::touch(QDir(m_desktop).absoluteFilePath(name), content),
                     qPrintable(name));
    }
    QUuid ruleAt(int i) const { return m_store->rules().at(i).id; }

    // ~/Downloads tidied beside the Desktop, with the default rules of its own.
    QString addDownloads() const {
        const QString downloads = m_home->path() + "/Downloads";
        if (!QDir().mkpath(downloads) || m_folders->add(downloads) != TidiedFolders::Refusal::None)
            qFatal("cannot tidy Downloads");
        return downloads;
    }
};
