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

  private slots:
    // Writes come per name and never as changed(), which would rescan on every write; of a
    // batch of writes only the last word per name is passed on. A removed folder is reported
    // as gone.
    void writesComePerNameNotAsChanges() {
        QTemporaryDir dir;
        const QString zip = dir.path() + "/a.zip";
        DirectoryWatch watch(dir.path(), nullptr, DirectoryWatch::Events::EntriesAndWrites);
        Recorder rec(&watch);
        QVERIFY(testsupport::touch(zip));
        QCOMPARE(rec.take(), QStringList({"closed:a.zip", "changed"}));
        QFile download(zip);
        QVERIFY(download.open(QIODevice::Append));
        for (int i = 0; i < 50; ++i)
            QVERIFY(download.write("chunk") == 5 && download.flush());
        QVERIFY(testsupport::touch(dir.path() + "/b.png"));
        QCOMPARE(rec.take(), QStringList({"modified:a.zip", "closed:b.png", "changed"}));
        download.close();
        QCOMPARE(rec.take(), QStringList({"closed:a.zip"}));
        QVERIFY(QFile::remove(zip));
        QCOMPARE(rec.take(), QStringList({"changed"}));
        QVERIFY(dir.remove());
        QCOMPARE(rec.take(), QStringList({"gone"}));
        QVERIFY(!DirectoryWatch(dir.path()).isValid());
    }

    // When the kernel drops events, close events may be among them: the owner is told.
    void overflowIsReported() {
        QTemporaryDir dir;
        DirectoryWatch watch(dir.path(), nullptr, DirectoryWatch::Events::EntriesAndWrites);
        Recorder rec(&watch);
        QFile a(dir.path() + "/x.bin"), b(dir.path() + "/y.bin");
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
};

VANTOR_TEST_MAIN(TestDirectoryWatch)
#include "TestDirectoryWatch.moc"
