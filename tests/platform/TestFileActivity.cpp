#include "platform/FileActivity.h"

#include "TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

using platform::Writers;

class TestFileActivity : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString path(const QString& name) const { return m_tmp.path() + "/" + name; }

  private slots:
    // Held open for writing by anybody, this process too, until it is closed.
    void writersAreSeenUntilClosed() {
        const QString file = path("movie.mkv");
        QVERIFY(testsupport::touch(file));
        QCOMPARE(platform::writersOf(file), Writers::None);
        {
            QFile writer(file);
            QVERIFY(writer.open(QIODevice::Append));
            QCOMPARE(platform::writersOf(file), Writers::Some);
            QFile reader(file);
            QVERIFY(reader.open(QIODevice::ReadOnly));
            QCOMPARE(platform::writersOf(file), Writers::Some);
        }
        QCOMPARE(platform::writersOf(file), Writers::None);
        {
            QFile reader(file);
            QVERIFY(reader.open(QIODevice::ReadOnly));
            QCOMPARE(platform::writersOf(file), Writers::None);
        }
        // Nothing the kernel could answer for: the caller relies on what else it knows.
        QVERIFY(QFile::link(file, path("link.mkv")));
        for (const QString& other : {m_tmp.path(), path("missing"), path("link.mkv")})
            QCOMPARE(platform::writersOf(other), Writers::Unknown);
    }

    // A finished download may carry an old modification time; its status-change time is
    // when it got there. A link's own times count, not its target's.
    void timesAreTheEntrysOwn() {
        const QString file = path("old.pdf");
        QVERIFY(testsupport::touch(file));
        const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6, 789), Qt::UTC);
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
        }
        const auto times = platform::fileTimes(file).value();
        QCOMPARE(times.modified, old);
        QCOMPARE(times.modified.timeSpec(), Qt::UTC);
        QVERIFY(times.statusChanged > old.addYears(20));
        QVERIFY(QFile::link(file, path("link.pdf")));
        QVERIFY(platform::fileTimes(path("link.pdf")).value().modified > old.addYears(20));
        QCOMPARE(platform::fileTimes(path("missing")), std::nullopt);
    }
};

VANTOR_TEST_MAIN(TestFileActivity)
#include "TestFileActivity.moc"
