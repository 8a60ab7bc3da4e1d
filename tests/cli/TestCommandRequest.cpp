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
        QTest::newRow("folders") << CommandRequest{.command = Command::Folders, .json = true} << 3;
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
        const auto row = [](const char* name, const char* line, bool read) {
            QTest::newRow(name) << QByteArray(line) << read;
        };
        row("an old command in a newer line", R"({"v":3,"command":"clean"})", true);
        row("a version after this one", R"({"v":4,"command":"clean"})", false);
        row("folders without action", R"({"v":3,"command":"folders"})", false);
        row("unknown action", R"({"v":3,"command":"folders","action":"move","path":"/d"})", false);
        row("add without path", R"({"v":3,"command":"folders","action":"add"})", false);
        row("add of a relative path", R"({"v":3,"command":"folders","action":"add","path":"d"})",
            false);
        row("add of a number", R"({"v":3,"command":"folders","action":"add","path":1})", false);
        row("list with a path", R"({"v":3,"command":"folders","action":"list","path":"/d"})",
            false);
        row("remove with automatic",
            R"({"v":3,"command":"folders","action":"remove","path":"/d","automatic":true})", false);
        row("automatic that is no flag",
            R"({"v":3,"command":"folders","action":"add","path":"/d","automatic":"yes"})", false);
        row("add with json",
            R"({"v":3,"command":"folders","action":"add","path":"/d","json":true})", false);
        row("scan with an action", R"({"v":3,"command":"scan","action":"list"})", false);
        row("clean with a path", R"({"v":3,"command":"clean","path":"/d"})", false);
        row("history with automatic", R"({"v":3,"command":"history","automatic":true})", false);
    }
    void lines() {
        QFETCH(QByteArray, line);
        QFETCH(bool, read);
        QCOMPARE(CommandRequest::fromLine(line).has_value(), read);
    }
};

VANTOR_TEST_MAIN(TestCommandRequest)
#include "TestCommandRequest.moc"
