#pragma once

#include <QByteArray>
#include <QString>
#include <QtTest>

namespace testsupport {

// Creates the folders that HOME and the XDG variables name (CTest points them into the
// build tree) and refuses to run if HOME still is the real home folder.
void prepareEnvironment();

// Writes a file, creating its parent folders; false on error.
bool writeFile(const QString& path, const QByteArray& bytes = {});
QByteArray readFile(const QString& path);

} // namespace testsupport

// Test entry points that prepare the throw-away home first.
#define VANTOR_TEST_MAIN_WITH(Application, TestObject)                                             \
    int main(int argc, char** argv) {                                                              \
        testsupport::prepareEnvironment();                                                         \
        Application app(argc, argv);                                                               \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
#define VANTOR_TEST_MAIN(TestObject) VANTOR_TEST_MAIN_WITH(QCoreApplication, TestObject)
#define VANTOR_WIDGET_TEST_MAIN(TestObject) VANTOR_TEST_MAIN_WITH(QApplication, TestObject)
