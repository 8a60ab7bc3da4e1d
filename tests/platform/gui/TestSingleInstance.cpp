#include "TestSupport.h"

#include "platform/gui/SingleInstance.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>

using platform::SingleInstance;

class TestSingleInstance : public QObject {
    Q_OBJECT

  private slots:
    void reopenRequestsReachTheFirstInstance() {
        QTemporaryDir dir;
        SingleInstance first(dir.path()), second(dir.path());
        QVERIFY(first.claim());
        QSignalSpy reopened(&first, &SingleInstance::reopenRequested);
        QVERIFY(!second.claim());
        QVERIFY(reopened.wait(5000));
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
};

VANTOR_TEST_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
