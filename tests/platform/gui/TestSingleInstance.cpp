#include "TestSupport.h"

#include "platform/gui/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>

using platform::SingleInstance;

class TestSingleInstance : public QObject {
    Q_OBJECT

    // Asks from another thread, as another process would, while this one serves.
    static SingleInstance::Answer askAside(const QString& folder, const QByteArray& request,
                                           QByteArray* answer) {
        SingleInstance::Answer result = SingleInstance::Answer::NoAnswer;
        QThread* asker =
            QThread::create([&] { result = SingleInstance::ask(folder, request, answer, 5000); });
        asker->start();
        while (!asker->wait(QDeadlineTimer(10))) // ask() gives up after its own timeout
            QCoreApplication::processEvents();
        delete asker;
        return result;
    }

  private slots:
    void requestsReachTheFirstInstanceAndAreAnswered() {
        QTemporaryDir dir;
        SingleInstance first(dir.path()), second(dir.path());
        QByteArray answer;
        QCOMPARE(SingleInstance::ask(dir.path(), "open", &answer, 1000),
                 SingleInstance::Answer::NotRunning);
        QVERIFY(first.claim());
        QList<QByteArray> requests;
        first.setRequestHandler([&](const QByteArray& request, const SingleInstance::Reply& r) {
            requests.append(request);
            r("answer to " + request);
        });
        QVERIFY(!second.claim()); // a second launch only finds the first

        // A silent asker and one that sends half a line hold up nobody.
        QLocalSocket silent, partial;
        silent.connectToServer(dir.path() + "/instance.socket");
        partial.connectToServer(dir.path() + "/instance.socket");
        QVERIFY(silent.waitForConnected(1000) && partial.waitForConnected(1000));
        partial.write("{\"v\":1,");
        QVERIFY(partial.waitForBytesWritten(1000));

        QCOMPARE(askAside(dir.path(), "clean\n", &answer), SingleInstance::Answer::Answered);
        QCOMPARE(answer, QByteArray("answer to clean\n"));
        QCOMPARE(requests, QList<QByteArray>{"clean"});

        // An oversized request is dropped unhandled.
        const QByteArray huge(SingleInstance::kMaxRequestBytes + 10, 'x');
        QCOMPARE(askAside(dir.path(), huge, &answer), SingleInstance::Answer::NoAnswer);
        QCOMPARE(requests.size(), 1);
    }

    void aStaleLockIsTakenOver() {
        QTemporaryDir dir;
        // The lock of a process that no longer runs.
        QVERIFY(testsupport::touch(dir.path() + "/instance.lock",
                                   "999999999\nvantor\n" + QSysInfo::machineHostName().toUtf8() +
                                       "\n"));
        QVERIFY(testsupport::touch(dir.path() + "/instance.socket", "left over"));
        SingleInstance instance(dir.path());
        QVERIFY(instance.claim());
        instance.setRequestHandler(
            [](const QByteArray&, const SingleInstance::Reply& r) { r({}); });
        QByteArray answer;
        QCOMPARE(askAside(dir.path(), "open", &answer), SingleInstance::Answer::Answered);
    }

    // Qt closes the server and removes the socket when accept() fails, as when no file
    // descriptor is left; a cleaner of temporary files may remove the socket too.
    void theSocketComesBack_data() {
        QTest::addColumn<bool>("closed");
        QTest::newRow("the server closed") << true;
        QTest::newRow("the socket removed") << false;
    }
    void theSocketComesBack() {
        QFETCH(bool, closed);
        QTemporaryDir dir;
        TestClock clock;
        SingleInstance instance(dir.path(), nullptr, clock);
        QVERIFY(instance.claim());
        instance.setRequestHandler(
            [](const QByteArray& request, const SingleInstance::Reply& r) { r(request); });
        if (closed)
            testsupport::find<QLocalServer>(&instance)->close();
        else
            QVERIFY(QFile::remove(SingleInstance::socketIn(dir.path())));
        QByteArray answer;
        QCOMPARE(SingleInstance::ask(dir.path(), "open", &answer, 1000),
                 SingleInstance::Answer::NotRunning);

        clock.advance(SingleInstance::kListenCheckMs);
        QCOMPARE(askAside(dir.path(), "open", &answer), SingleInstance::Answer::Answered);
        QCOMPARE(answer, QByteArray("open\n"));
    }

    // Each connection holds a file descriptor; ones that never ask must not pile up.
    void anAskerWithoutARequestIsDropped_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<bool>("dropped");
        QTest::newRow("nothing") << QByteArray() << true;
        QTest::newRow("half a request") << QByteArray("{\"v\":1,") << true;
        QTest::newRow("a request still at work") << QByteArray("clean\n") << false;
    }
    void anAskerWithoutARequestIsDropped() {
        QFETCH(QByteArray, sent);
        QFETCH(bool, dropped);
        QTemporaryDir dir;
        TestClock clock;
        SingleInstance instance(dir.path(), nullptr, clock);
        QVERIFY(instance.claim());
        SingleInstance::Reply pending; // the answer of a long clean, not given yet
        instance.setRequestHandler(
            [&](const QByteArray&, const SingleInstance::Reply& r) { pending = r; });

        QLocalSocket asker;
        asker.connectToServer(SingleInstance::socketIn(dir.path()));
        QVERIFY(asker.waitForConnected(1000));
        QTRY_VERIFY(testsupport::find<QLocalSocket>(&instance)); // accepted
        if (!sent.isEmpty()) {
            asker.write(sent);
            QVERIFY(asker.waitForBytesWritten(1000));
        }
        QTRY_COMPARE(bool(pending), !dropped);

        clock.advance(SingleInstance::kIdleAskerMs - 1);
        QVERIFY(!asker.waitForDisconnected(0));
        clock.advance(1);
        QCOMPARE(asker.waitForDisconnected(dropped ? 5000 : 0), dropped);
    }
};

VANTOR_TEST_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
