#include "cli/CommandLine.h"

#include "platform/FileSystem.h"

#include <QCommandLineParser>

CommandLine CommandLine::parse(const QStringList& arguments) {
    using Command = CommandRequest::Command;
    using FolderAction = CommandRequest::FolderAction;
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption automatic(QStringLiteral("automatic"));
    const QCommandLineOption autostart(QStringLiteral("autostart"));
    parser.addOptions({help, version, json, automatic, autostart});

    CommandLine line;
    const auto fail = [&line](const QString& message) {
        line.action = Action::Error;
        line.error = message;
        return line;
    };
    if (!parser.parse(arguments.isEmpty() ? QStringList{QStringLiteral("vantor")} : arguments))
        return fail(parser.errorText());
    if (parser.isSet(help) || parser.isSet(version)) {
        line.action = parser.isSet(help) ? Action::Help : Action::Version;
        return line;
    }

    const QStringList words = parser.positionalArguments();
    line.autostart = parser.isSet(autostart);
    line.request.json = parser.isSet(json);
    line.request.automatic = parser.isSet(automatic);
    const QString jsonMisplaced = tr("--json goes with scan, clean, undo, history or folders.");
    const QString automaticMisplaced = tr("--automatic goes with folders add.");
    if (words.isEmpty()) {
        if (line.request.json)
            return fail(jsonMisplaced);
        if (line.request.automatic)
            return fail(automaticMisplaced);
        return line;
    }
    const auto command = CommandRequest::commandNamed(words.first());
    if (!command || *command == Command::Open)
        return fail(tr("Unknown command '%1'.").arg(words.first()));
    line.request.command = *command;
    // Arguments: undo takes the id of the clean to put back; folders add and remove a path.
    qsizetype allowed = *command == Command::Undo ? 2 : 1;
    if (*command == Command::Folders && words.size() > 1) {
        const auto action = CommandRequest::folderActionNamed(words.at(1));
        if (!action || *action == FolderAction::List)
            return fail(tr("Unknown folders command '%1'.").arg(words.at(1)));
        if (words.size() == 2)
            return fail(tr("folders %1 needs a folder.").arg(words.at(1)));
        line.request.folderAction = *action;
        allowed = 3;
    }
    if (words.size() > allowed)
        return fail(tr("Unexpected argument '%1'.").arg(words.at(allowed)));
    const bool changesList = line.request.folderAction != FolderAction::List;
    if (line.request.automatic && line.request.folderAction != FolderAction::Add)
        return fail(automaticMisplaced);
    if (line.request.json && changesList)
        return fail(tr("--json goes with folders, not with folders %1.").arg(words.at(1)));
    if (*command == Command::Undo && words.size() == 2) {
        if (words.at(1).isEmpty())
            return fail(tr("An empty ID names no clean."));
        line.request.id = words.at(1);
    }
    if (changesList) {
        if (words.at(2).isEmpty())
            return fail(tr("An empty path names no folder."));
        // A running Vantor has a working folder of its own: the path goes as an absolute one.
        line.request.path = platform::standardize(words.at(2));
    }
    line.action = Action::Run;
    return line;
}

QString CommandLine::helpText() {
    return tr(
        "Usage: vantor [command] [argument] [--json]\n"
        "\n"
        "Vantor tidies the loose files of your Desktop, and of the folders you add (such\n"
        "as Downloads), into folders by type. Each folder has rules of its own.\n"
        "\n"
        "Commands:\n"
        "  (none)          start Vantor; if it already runs, open its panel\n"
        "  scan [--json]   show what a clean would move now in each tidied folder;\n"
        "                  changes nothing\n"
        "  clean [--json]  clean every tidied folder now, as the panel's Clean button does\n"
        "  undo [--json]   put the last clean back, as Undo does\n"
        "  undo ID [--json]\n"
        "                  put back that clean from the history\n"
        "  history [--json]\n"
        "                  list the last 20 cleans, newest first, with their IDs\n"
        "  folders [--json]\n"
        "                  list the tidied folders, the Desktop first, and which of them\n"
        "                  are tidied automatically\n"
        "  folders add PATH [--automatic]\n"
        "                  tidy that folder too, with the default rules in folders inside it\n"
        "  folders remove PATH\n"
        "                  stop tidying that folder; its files stay as they are\n"
        "\n"
        "Options:\n"
        "  -h, --help      show this help\n"
        "  -v, --version   show the version\n"
        "  --json          print the result as one JSON document\n"
        "  --automatic     with folders add: also tidy the folder automatically, once a\n"
        "                  new file there has stayed untouched for a while\n"
        "\n"
        "When Vantor is running, it carries out the command itself.\n"
        "Exit status: 0 done (also when there was nothing to move), 1 not done in full\n"
        "(items that failed, a tidied folder that can't be read, nothing to undo, no clean\n"
        "with that ID, a folder that can't be added or removed, busy), 2 bad usage.\n");
}

QString CommandLine::versionText() {
    return QStringLiteral("Vantor " VANTOR_VERSION "\n");
}
