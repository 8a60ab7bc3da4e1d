#include "TestSupport.h"

#include "cli/CommandRequest.h"

#include <QJsonDocument>
#include <QJsonObject>

using Command = CommandRequest::Command;
using FolderAction = CommandRequest::FolderAction;
Q_DECLARE_METATYPE(CommandRequest)

// The line that carries a command to the running Vantor: what goes as which version, and the
// lines a running Vantor refuses instead of carrying out as some other request.
class TestCommandRequest : public QObject {
    Q_OBJECT

  private slots:
    void roundTrip_data() {
        QTest::addColumn<CommandRequest>("request");
        QTest::addColumn<int>("version"); // the oldest that carries it
        QTest::newRow("clean") << CommandRequest{.command = Command::Clean, .json = true} << 1;
        QTest::newRow("undo by ID") << CommandRequest{.command = Command::Undo, .id = "a1"} << 2;
        QTest::newRow("history") << CommandRequest{.command = Command::History} << 2;
        QTest::newRow("folders add") << CommandRequest{.command = Command::Folders,
                                                       .folderAction = FolderAction::Add,
                                                       .path = "/d/x y",
                                                       .automatic = true}
                                     << 3;
        QTest::newRow("folders remove") << CommandRequest{.command = Command::Folders,
                                                          .folderAction = FolderAction::Remove,
                                                          .path = "/d"}
                                        << 3;
    }
    void roundTrip() {
        QFETCH(CommandRequest, request);
        QFETCH(int, version);
        const QByteArray line = request.toLine();
        QCOMPARE(QJsonDocument::fromJson(line).object().value("v").toInt(), version);
        QCOMPARE(CommandRequest::fromLine(line), std::optional(request));
        // A Vantor of the version before reads no line above its own, and a line that
        // claims that version is refused too.
        QJsonObject older = QJsonDocument::fromJson(line).object();
        older.insert("v", version - 1);
        QCOMPARE(CommandRequest::fromLine(QJsonDocument(older).toJson()), std::nullopt);
    }

    void lines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("read");
        QTest::newRow("an old command in a newer line")
            << QByteArray(R"({"v":3,"command":"clean"})") << true;
        // A version after this one, folders without an action, a relative path, a path or
        // switch where the command takes none, JSON with folders add, an action elsewhere.
        for (const char* line :
             {R"({"v":4,"command":"clean"})", R"({"v":3,"command":"folders"})",
              R"({"v":3,"command":"folders","action":"add","path":"d"})",
              R"({"v":3,"command":"folders","action":"list","path":"/d"})",
              R"({"v":3,"command":"folders","action":"remove","path":"/d","automatic":true})",
              R"({"v":3,"command":"folders","action":"add","path":"/d","json":true})",
              R"({"v":3,"command":"scan","action":"list"})"})
            QTest::newRow(line) << QByteArray(line) << false;
    }
    void lines() {
        QFETCH(QByteArray, line);
        QFETCH(bool, read);
        QCOMPARE(CommandRequest::fromLine(line).has_value(), read);
    }
};

VANTOR_TEST_MAIN(TestCommandRequest)
#include "TestCommandRequest.moc"
