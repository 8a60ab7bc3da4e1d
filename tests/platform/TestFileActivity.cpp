#include "platform/FileActivity.h"

#include "TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

using platform::Writers;

class TestFileActivity : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;

  private slots:
    // Held open for writing by anybody, this process too, until it is closed. Nothing the
    // kernel could answer for is unknown: the caller relies on what else it knows.
    void writersAreSeenUntilClosed() {
        const QString file = m_tmp.path() + "/movie.mkv", link = file + ".link";
        QVERIFY(testsupport::touch(file));
        QFile writer(file);
        QVERIFY(writer.open(QIODevice::Append));
        QCOMPARE(platform::writersOf(file), Writers::Some);
        writer.close();
        QFile reader(file); // reading is not writing
        QVERIFY(reader.open(QIODevice::ReadOnly));
        QCOMPARE(platform::writersOf(file), Writers::None);
        QVERIFY(QFile::link(file, link));
        for (const QString& other : {m_tmp.path(), file + ".missing", link})
            QCOMPARE(platform::writersOf(other), Writers::Unknown);
    }

    // A finished download may carry an old modification time; its status-change time is
    // when it got there. A link's own times count, not its target's.
    void timesAreTheEntrysOwn() {
        const QString file = m_tmp.path() + "/old.pdf", link = file + ".link";
        QVERIFY(testsupport::touch(file));
        const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6, 789), Qt::UTC);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite) &&
                f.setFileTime(old, QFileDevice::FileModificationTime));
        const auto times = platform::fileTimes(file).value();
        QCOMPARE(times.modified, old);
        QVERIFY(times.statusChanged > old.addYears(20));
        QVERIFY(QFile::link(file, link));
        QVERIFY(platform::fileTimes(link).value().modified > old.addYears(20));
    }
};

VANTOR_TEST_MAIN(TestFileActivity)
#include "TestFileActivity.moc"
