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
        QCOMPARE(platform::writersOf(file), Writers::None);
        QVERIFY(QFile::link(file, link));
        for (const QString& other : {m_tmp.path(), file + ".missing", link})
            QCOMPARE(platform::writersOf(other), Writers::Unknown);
    }
};

VANTOR_TEST_MAIN(TestFileActivity)
#include "TestFileActivity.moc"
