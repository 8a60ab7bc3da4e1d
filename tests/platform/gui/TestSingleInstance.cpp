#include "TestSupport.h"

#include "platform/gui/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
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
    }

    void aRuntimeFolderTooDeepForASocketIsNotUsed() {
        QTemporaryDir dir;
        const QString deep = dir.path() + "/" + QString(90, 'r');
        QVERIFY(QDir().mkpath(deep));
        QVERIFY(
            QFile::setPermissions(deep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", deep.toUtf8());
        const QString folder = SingleInstance::defaultFolder();
        qputenv("XDG_RUNTIME_DIR", before);

        // Elsewhere, where the socket's path fits the kernel's address (108 bytes).
        QVERIFY(!folder.startsWith(deep));
        QVERIFY(QFile::encodeName(folder + "/instance.socket").size() < 108);
    }
};

VANTOR_TEST_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
