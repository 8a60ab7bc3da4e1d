#include "../PlatformTest.h"
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
// What lstat() tells of `path`: mode (in octal) and owner; empty when there is nothing.
QString statOf(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return QString::number(st.st_mode, 8) + ' ' + QString::number(st.st_uid);
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
        QVERIFY(::chmod(QFile::encodeName(m_shared->path()), 01777) == 0);
    }

    // The usual folder is used only when it is our own private folder, or made here; else a
    // private stand-in beside it, and what stands in the usual place is left alone. A note is
    // believed only when it is the user's own private file naming a private stand-in of this
    // very folder.
    void onlyAPrivateFolderOfOursIsUsed_data() {
        QTest::addColumn<QString>("what"); // in the usual place
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("noted"); // the stand-in a note names, after the usual path
        QTest::addColumn<int>("noteMode");
        QTest::addColumn<int>("notedMode");
        const auto row = [](const char* name, const char* what, int mode, const char* noted = "",
                            int noteMode = 0, int notedMode = 0) {
            QTest::newRow(name) << QString(what) << mode << QString(noted) << noteMode << notedMode;
        };
        row("nothing: made private", "", -1);
        row("another user's open folder", "another's folder", 0777);
        row("another user's private folder", "another's folder", 0700);
        row("our folder, open to all", "folder", 0777);
        row("our folder, read by the group", "folder", 0750);
        row("our folder, read by others", "folder", 0705);
        row("a plain file", "file", 0600);
        row("a link to a folder of ours", "link to a folder", 0755);
        row("a link to a private folder of ours", "link to a folder", 0700);
        row("a note others may write", "file", 0600, "-abcdef", 0622, 0700);
        row("a note to an open stand-in", "file", 0600, "-abcdef", 0600, 0755);
        row("a note to a folder elsewhere", "file", 0600, "/../elsewhere", 0600, 0700);
        row("a note to a folder in the stand-in", "file", 0600, "-abcdef/inner", 0600, 0700);
        row("a note to a longer name", "file", 0600, "-abcdefgh", 0600, 0700);
    }
    void onlyAPrivateFolderOfOursIsUsed() {
        QFETCH(QString, what);
        QFETCH(int, mode);
        QFETCH(QString, noted);
        QFETCH(int, noteMode);
        QFETCH(int, notedMode);
        if (what == "another's folder" && ::getuid() != 0)
            QSKIP("needs root, to give a folder to another user");
        QVERIFY(what.isEmpty() || makeEntry(what, usual(), mode));
        const QString named = QDir::cleanPath(usual() + noted);
        if (!noted.isEmpty()) {
            QVERIFY(QDir().mkpath(named) && ::chmod(QFile::encodeName(named), notedMode) == 0);
            QVERIFY(testsupport::touch(note(), QFile::encodeName(named) + "\n"));
            QVERIFY(::chmod(QFile::encodeName(note()), noteMode) == 0);
        }
        const QString target = usual() + "-target"; // a link's
        const QString before = statOf(usual()), targetBefore = statOf(target);

        const InstanceFolder folder(usual(), note());
        QString problem;
        QCOMPARE(folder.find(&problem), QString()); // no instance of ours can be there yet
        QCOMPARE(problem.contains("not Vantor's own"), !what.isEmpty());
        const QString made = folder.make();
        QVERIFY(InstanceFolder::isPrivate(made));
        QCOMPARE(folder.find(), made); // announced to launches that ask
        QCOMPARE(folder.make(), made); // and taken again by the next instance
        if (what.isEmpty()) {
            QCOMPARE(made, usual());
            QVERIFY(!QFile::exists(note())); // nothing to announce
            return;
        }
        QVERIFY(made.startsWith(usual() + "-") && made != named && made != target);
        QCOMPARE(statOf(note()), "100600 " + QString::number(::getuid()));
        // Nothing was changed, nor put, where the usual folder should be.
        QCOMPARE(statOf(usual()), before);
        QCOMPARE(statOf(target), targetBefore);
        QVERIFY(what == "file" || QDir(usual()).isEmpty(QDir::AllEntries | QDir::System |
                                                        QDir::Hidden | QDir::NoDotAndDotDot));
    }

    void aRuntimeFolderTooDeepForASocketIsNotUsed() {
        QTemporaryDir dir;
        const QString deep = dir.path() + "/" + QString(90, 'r');
        QVERIFY(QDir().mkpath(deep) && ::chmod(QFile::encodeName(deep), 0700) == 0);
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
