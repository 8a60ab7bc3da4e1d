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

    std::unique_ptr<QTemporaryDir> m_dir;
    TestClock m_clock;
    QString folder() const { return m_dir->path(); }

    // The running instance, on the test clock, answering with `handler`.
    std::unique_ptr<SingleInstance>
    claimed(const std::function<void(const QByteArray&, const SingleInstance::Reply&)>& handler) {
        auto instance = std::make_unique<SingleInstance>(folder(), nullptr, m_clock);
        if (!instance->claim())
            return nullptr;
        instance->setRequestHandler(handler);
        return instance;
    }

  private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // A second launch only finds the first and is answered by it, past askers that send
    // nothing or half a line; an oversized request is dropped unhandled. What stands in the
    // way of listening is overcome: the lock and the socket of a process that no longer runs
    // at once; at the next check, a closed server (Qt closes it and removes the socket when
    // accept() fails, as when no file descriptor is left) or a socket a cleaner of temporary
    // files removed.
    void requestsReachTheFirstInstance_data() {
        QTest::addColumn<bool>("atOnce");
        QTest::newRow("nothing in the way") << true;
        QTest::newRow("left by a process gone") << true;
        QTest::newRow("the server closed") << false;
        QTest::newRow("the socket removed") << false;
    }
    void requestsReachTheFirstInstance() {
        QFETCH(bool, atOnce);
        const QString loss = QTest::currentDataTag();
        const QString socket = SingleInstance::socketIn(folder());
        if (loss == "left by a process gone") {
            QVERIFY(testsupport::touch(folder() + "/instance.lock",
                                       "999999999\nvantor\n" +
                                           QSysInfo::machineHostName().toUtf8() + "\n"));
            QVERIFY(testsupport::touch(socket, "left over"));
        }
        QList<QByteArray> requests;
        const auto instance =
            claimed([&](const QByteArray& request, const SingleInstance::Reply& r) {
                requests.append(request);
                r("answer to " + request);
            });
        QVERIFY(instance);
        QVERIFY(!SingleInstance(folder()).claim());
        if (loss == "the server closed")
            testsupport::find<QLocalServer>(instance.get())->close();
        else if (loss == "the socket removed")
            QVERIFY(QFile::remove(socket));
        QByteArray answer;
        if (!atOnce) {
            QCOMPARE(SingleInstance::ask(folder(), "open", &answer, 1000),
                     SingleInstance::Answer::NotRunning);
            m_clock.advance(SingleInstance::kListenCheckMs);
        }
        QLocalSocket silent, partial;
        silent.connectToServer(socket);
        partial.connectToServer(socket);
        QVERIFY(silent.waitForConnected(1000) && partial.waitForConnected(1000));
        partial.write("{\"v\":1,");
        QVERIFY(partial.waitForBytesWritten(1000));
        QCOMPARE(askAside(folder(), "clean\n", &answer), SingleInstance::Answer::Answered);
        QCOMPARE(answer, QByteArray("answer to clean\n"));
        const QByteArray huge(SingleInstance::kMaxRequestBytes + 10, 'x');
        QCOMPARE(askAside(folder(), huge, &answer), SingleInstance::Answer::NoAnswer);
        QCOMPARE(requests, QList<QByteArray>{"clean"});
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
        SingleInstance::Reply pending; // the answer of a long clean, not given yet
        const auto instance =
            claimed([&](const QByteArray&, const SingleInstance::Reply& r) { pending = r; });
        QVERIFY(instance);
        QLocalSocket asker;
        asker.connectToServer(SingleInstance::socketIn(folder()));
        QVERIFY(asker.waitForConnected(1000));
        QTRY_VERIFY(testsupport::find<QLocalSocket>(instance.get())); // accepted
        QVERIFY(sent.isEmpty() || (asker.write(sent) && asker.waitForBytesWritten(1000)));
        QTRY_COMPARE(bool(pending), !dropped);

        m_clock.advance(SingleInstance::kIdleAskerMs - 1);
        QVERIFY(!asker.waitForDisconnected(0));
        m_clock.advance(1);
        QCOMPARE(asker.waitForDisconnected(dropped ? 5000 : 0), dropped);
    }
};

VANTOR_TEST_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
