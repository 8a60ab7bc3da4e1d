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
            return fail(QStringLiteral("--json goes with scan, clean or undo."));
        return line;
    }
    const auto command = CommandRequest::commandNamed(words.first());
    if (!command || *command == CommandRequest::Command::Open)
        return fail(QStringLiteral("Unknown command '%1'.").arg(words.first()));
    if (words.size() > 1)
        return fail(QStringLiteral("Unexpected argument '%1'.").arg(words.at(1)));
    line.action = Action::Run;
    line.request.command = *command;
    return line;
}

QString CommandLine::helpText() {
    return QStringLiteral(
        "Usage: vantor [command] [--json]\n"
        "\n"
        "Vantor tidies the loose files on your Desktop into folders by type.\n"
        "\n"
        "Commands:\n"
        "  (none)          start Vantor; if it already runs, open its panel\n"
        "  scan [--json]   show what a clean would move now; changes nothing\n"
        "  clean [--json]  clean the Desktop now, as Clean Desktop does\n"
        "  undo [--json]   put the last clean back, as Undo does\n"
        "\n"
        "Options:\n"
        "  -h, --help      show this help\n"
        "  -v, --version   show the version\n"
        "  --json          print the result as one JSON document\n"
        "\n"
        "When Vantor is running, it carries out the command itself.\n"
        "Exit status: 0 done (also when there was nothing to move), 1 not done in full\n"
        "(items that failed, no access to the Desktop, nothing to undo, busy), 2 bad usage.\n");
}

QString CommandLine::versionText() {
    return QStringLiteral("Vantor " VANTOR_VERSION "\n");
}
