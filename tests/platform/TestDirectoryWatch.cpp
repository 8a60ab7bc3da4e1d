#include "platform/DirectoryWatch.h"

#include "TestSupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

using platform::DirectoryWatch;

namespace {

// Every signal of a watch, in the order they come, as "signal" or "signal:name".
class Recorder : public QObject {
  public:
    explicit Recorder(DirectoryWatch* watch) {
        connect(watch, &DirectoryWatch::changed, this, [this] { seen << "changed"; });
        connect(watch, &DirectoryWatch::folderGone, this, [this] { seen << "gone"; });
        connect(watch, &DirectoryWatch::eventsLost, this, [this] { seen << "lost"; });
        connect(watch, &DirectoryWatch::modified, this,
                [this](const QString& name) { seen << "modified:" + name; });
        connect(watch, &DirectoryWatch::closedAfterWrite, this,
                [this](const QString& name) { seen << "closed:" + name; });
    }
    QStringList take() {
        testsupport::settle();
        return std::exchange(seen, {});
    }
    QStringList seen;
};

} // namespace

class TestDirectoryWatch : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString path(const QString& name) const { return m_tmp.path() + "/" + name; }

  private slots:
    // Writes come per name and never as changed(), which would rescan on every write; of a
    // batch of writes only the last word per name is passed on. The cleaner's watch, without
    // writes, stays silent while a file is written.
    void writesComePerNameNotAsChanges() {
        DirectoryWatch watch(m_tmp.path(), nullptr, DirectoryWatch::Events::EntriesAndWrites);
        DirectoryWatch entries(m_tmp.path());
        QVERIFY(watch.isValid() && entries.isValid());
        Recorder rec(&watch), entriesRec(&entries);
        const auto expect = [&](const QStringList& seen) {
            QCOMPARE(rec.take(), seen);
            QCOMPARE(entriesRec.take(), seen.filter("changed"));
        };

        QVERIFY(testsupport::touch(path("a.zip")));
        expect({"closed:a.zip", "changed"});
        QFile download(path("a.zip"));
        QVERIFY(download.open(QIODevice::Append));
        for (int i = 0; i < 50; ++i)
            QVERIFY(download.write("chunk") == 5 && download.flush());
        QVERIFY(testsupport::touch(path("b.png")));
        expect({"modified:a.zip", "closed:b.png", "changed"});
        QVERIFY(download.write("more") == 4 && download.flush());
        expect({"modified:a.zip"});
        download.close();
        expect({"closed:a.zip"});
        // Written and closed within one batch: closed.
        QVERIFY(testsupport::touch(path("a.zip"), "again"));
        expect({"closed:a.zip"});
        QVERIFY(QFile::rename(path("a.zip"), path("c.zip")));
        expect({"changed"});
        QVERIFY(QFile::remove(path("c.zip")));
        expect({"changed"});
    }

    // When the kernel drops events, close events may be among them: the owner is told.
    void overflowIsReported() {
        DirectoryWatch watch(m_tmp.path(), nullptr, DirectoryWatch::Events::EntriesAndWrites);
        Recorder rec(&watch);
        QFile a(path("x.bin")), b(path("y.bin"));
        QVERIFY(a.open(QIODevice::WriteOnly) && b.open(QIODevice::WriteOnly));
        testsupport::settle();
        rec.seen.clear();
        // Alternating, so the kernel cannot merge them, past its queue's length.
        bool ok = true;
        for (int i = 0; i < 20000 && ok; ++i)
            ok = a.write("1") == 1 && a.flush() && b.write("2") == 1 && b.flush();
        QVERIFY(ok);
        const QStringList seen = rec.take();
        QVERIFY2(seen.contains("lost") && seen.endsWith("changed"), qPrintable(seen.join(' ')));
    }

    void folderGoneIsReported() {
        QTemporaryDir dir;
        DirectoryWatch watch(dir.path(), nullptr, DirectoryWatch::Events::EntriesAndWrites);
        Recorder rec(&watch);
        QVERIFY(dir.remove());
        QCOMPARE(rec.take(), QStringList({"gone"}));
        QVERIFY(!DirectoryWatch(dir.path()).isValid());
    }
};

VANTOR_TEST_MAIN(TestDirectoryWatch)
#include "TestDirectoryWatch.moc"
