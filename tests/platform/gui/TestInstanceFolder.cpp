#include "TestSupport.h"

#include "platform/gui/InstanceFolder.h"
#include "platform/gui/SingleInstance.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using platform::InstanceFolder;
using platform::SingleInstance;

namespace {
// Another user's id, for a folder someone else made first: only root can give one away.
constexpr uid_t kNobody = 65534;

struct Entry {
    bool exists = false;
    mode_t mode = 0;
    uid_t owner = 0;
    bool operator==(const Entry&) const = default;
};

Entry entryAt(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, st.st_mode, st.st_uid};
}

bool setMode(const QString& path, int mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}
} // namespace

// Where the instance keeps its lock and socket, when another user got to the shared
// temporary folder first.
class TestInstanceFolder : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_shared; // stands for the shared temporary folder
    QString shared(const QString& name) const { return m_shared->path() + "/" + name; }
    QString usual() const { return shared("app-1000"); }
    QString note() const { return shared("state/instance-folder"); }

  private slots:
    void init() {
        m_shared = std::make_unique<QTemporaryDir>();
        // Open to all, as /tmp is: nothing in it is ours by being there.
        QVERIFY(setMode(m_shared->path(), 01777));
    }

    void anAbsentFolderIsMadePrivate() {
        const InstanceFolder folder(usual(), note());
        QString problem;
        QCOMPARE(folder.make(&problem), usual());
        QCOMPARE(problem, QString());
        QCOMPARE(entryAt(usual()).mode & 07777, mode_t(0700));
        QCOMPARE(folder.find(), usual());
        QVERIFY(!QFile::exists(note())); // nothing to announce
    }

    void whatStandsInTheUsualPlaceIsLeftAlone_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("another");
        QTest::newRow("another user's open folder") << "folder" << 0777 << true;
        QTest::newRow("another user's private folder") << "folder" << 0700 << true;
        QTest::newRow("our folder, open to all") << "folder" << 0777 << false;
        QTest::newRow("our folder, read by the group") << "folder" << 0750 << false;
        QTest::newRow("a plain file") << "file" << 0600 << false;
        QTest::newRow("a link to a folder of ours") << "link" << 0755 << false;
        QTest::newRow("a link to a private folder of ours") << "link" << 0700 << false;
    }
    void whatStandsInTheUsualPlaceIsLeftAlone() {
        QFETCH(QString, what);
        QFETCH(int, mode);
        QFETCH(bool, another);
        if (another && ::getuid() != 0)
            QSKIP("needs root, to give a folder to another user");
        const QString target = shared("victim"); // a folder of the user's own
        if (what == "folder") {
            QVERIFY(QDir().mkdir(usual()));
            QVERIFY(!another ||
                    ::chown(QFile::encodeName(usual()).constData(), kNobody, kNobody) == 0);
        } else if (what == "file") {
            QVERIFY(testsupport::touch(usual()));
        } else {
            QVERIFY(QDir().mkdir(target) && QFile::link(target, usual()));
        }
        QVERIFY(setMode(usual(), mode)); // a link's target
        const Entry before = entryAt(usual()), targetBefore = entryAt(target);

        const InstanceFolder folder(usual(), note());
        QString problem;
        QCOMPARE(folder.find(&problem), QString()); // no instance of ours can be there
        QVERIFY2(problem.contains("not Vantor's own"), qPrintable(problem));
        const QString made = folder.make();
        QVERIFY(made.startsWith(usual() + "-"));
        QVERIFY(InstanceFolder::isPrivate(made));
        QCOMPARE(folder.find(), made); // announced to launches that ask
        QCOMPARE(folder.make(), made); // and taken again by the next instance
        QCOMPARE(entryAt(note()).mode & 07777, mode_t(0600));

        // One instance in the stand-in; a second launch finds it there.
        SingleInstance first(made), second(folder.make());
        QVERIFY(first.claim() && !second.claim());

        // Nothing was changed, nor put, where the usual folder should be.
        QCOMPARE(entryAt(usual()), before);
        QCOMPARE(entryAt(target), targetBefore);
        QVERIFY(what == "file" || QDir(usual()).isEmpty(QDir::AllEntries | QDir::System |
                                                        QDir::Hidden | QDir::NoDotAndDotDot));
    }

    // A note is believed only when it is the user's own private file naming a private
    // stand-in of this very folder.
    void aNoteLeadsOnlyToAPrivateStandIn_data() {
        QTest::addColumn<QString>("standIn");
        QTest::addColumn<int>("noteMode");
        QTest::addColumn<int>("standInMode");
        QTest::newRow("a note others may write") << "-abcdef" << 0622 << 0700;
        QTest::newRow("an open stand-in") << "-abcdef" << 0600 << 0755;
        QTest::newRow("a folder elsewhere") << "/../elsewhere" << 0600 << 0700;
        QTest::newRow("a folder in the stand-in") << "-abcdef/inner" << 0600 << 0700;
        QTest::newRow("a folder of a longer name") << "-abcdefgh" << 0600 << 0700;
    }
    void aNoteLeadsOnlyToAPrivateStandIn() {
        QFETCH(QString, standIn);
        QFETCH(int, noteMode);
        QFETCH(int, standInMode);
        QVERIFY(testsupport::touch(usual())); // the usual place is taken
        const QString named = QDir::cleanPath(usual() + standIn);
        QVERIFY(QDir().mkpath(named) && setMode(named, standInMode));
        QVERIFY(testsupport::touch(note(), QFile::encodeName(named) + "\n"));
        QVERIFY(setMode(note(), noteMode));

        const InstanceFolder folder(usual(), note());
        QCOMPARE(folder.find(), QString());
        const QString made = folder.make();
        QVERIFY(made.startsWith(usual() + "-") && made != named);
        QCOMPARE(folder.find(), made);
    }

    void aRuntimeFolderTooDeepForASocketIsNotUsed() {
        QTemporaryDir dir;
        const QString deep = dir.path() + "/" + QString(90, 'r');
        QVERIFY(QDir().mkpath(deep) && setMode(deep, 0700));
        const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", deep.toUtf8());
        const QString folder = InstanceFolder::forThisUser().usual();
        qunsetenv("XDG_RUNTIME_DIR"); // as under cron: the session's usual folder
        QCOMPARE(InstanceFolder::forThisUser(deep).usual(), deep + "/" VANTOR_APP_ID);
        qputenv("XDG_RUNTIME_DIR", before);

        // Elsewhere, where the socket's path fits the kernel's address (108 bytes), also
        // in a stand-in's longer name.
        QVERIFY(!folder.startsWith(deep));
        QVERIFY(QFile::encodeName(SingleInstance::socketIn(folder)).size() +
                    InstanceFolder::kStandInSuffix <
                108);
    }
};

VANTOR_TEST_MAIN(TestInstanceFolder)
#include "TestInstanceFolder.moc"
