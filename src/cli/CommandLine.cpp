#include "cli/CommandLine.h"

#include <QCommandLineParser>

CommandLine CommandLine::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption autostart(QStringLiteral("autostart"));
    parser.addOptions({help, version, json, autostart});

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
    if (words.isEmpty()) {
        if (line.request.json)
            return fail(QStringLiteral("--json goes with scan, clean, undo or history."));
        return line;
    }
    const auto command = CommandRequest::commandNamed(words.first());
    if (!command || *command == CommandRequest::Command::Open)
        return fail(QStringLiteral("Unknown command '%1'.").arg(words.first()));
    // Only undo takes an argument: the id of the clean to put back.
    const qsizetype allowed = *command == CommandRequest::Command::Undo ? 2 : 1;
    if (words.size() > allowed)
        return fail(QStringLiteral("Unexpected argument '%1'.").arg(words.at(allowed)));
    line.action = Action::Run;
    line.request.command = *command;
    if (words.size() == 2) {
        if (words.at(1).isEmpty())
            return fail(QStringLiteral("An empty ID names no clean."));
        line.request.id = words.at(1);
    }
    return line;
}

QString CommandLine::helpText() {
    return QStringLiteral(
        "Usage: vantor [command] [ID] [--json]\n"
        "\n"
        "Vantor tidies the loose files on your Desktop into folders by type.\n"
        "\n"
        "Commands:\n"
        "  (none)          start Vantor; if it already runs, open its panel\n"
        "  scan [--json]   show what a clean would move now; changes nothing\n"
        "  clean [--json]  clean the Desktop now, as Clean Desktop does\n"
        "  undo [--json]   put the last clean back, as Undo does\n"
        "  undo ID [--json]\n"
        "                  put back that clean from the history\n"
        "  history [--json]\n"
        "                  list the last 20 cleans, newest first, with their IDs\n"
        "\n"
        "Options:\n"
        "  -h, --help      show this help\n"
        "  -v, --version   show the version\n"
        "  --json          print the result as one JSON document\n"
        "\n"
        "When Vantor is running, it carries out the command itself.\n"
        "Exit status: 0 done (also when there was nothing to move), 1 not done in full\n"
        "(items that failed, no access to the Desktop, nothing to undo, no clean with that\n"
        "ID, busy), 2 bad usage.\n");
}

QString CommandLine::versionText() {
    return QStringLiteral("Vantor " VANTOR_VERSION "\n");
}
