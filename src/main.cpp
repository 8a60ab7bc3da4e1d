#include "app/VantorApp.h"
#include "cleaner/AutoTidySettings.h"
#include "cleaner/Cleaner.h"
#include "cli/CommandLine.h"
#include "cli/CommandRunner.h"
#include "platform/Locations.h"
#include "platform/gui/InstanceFolder.h"
#include "platform/gui/SingleInstance.h"
#include "rules/TidiedFolders.h"
#include "widgets/Translations.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QRegularExpression>

#include <cstdio>

namespace {

// How to start this very binary again from a shell: the name it was found by on PATH, else
// its full path, quoted when it holds anything a shell would split or expand.
QString commandForThisBinary(const char* argv0) {
    const QString invoked = QString::fromLocal8Bit(argv0 ? argv0 : "vantor");
    if (!invoked.isEmpty() && !invoked.contains(QLatin1Char('/')))
        return invoked;
    QString path = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (path.isEmpty())
        path = QFileInfo(invoked).absoluteFilePath();
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+:@%=-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    return QLatin1Char('\'') + path.replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
           QLatin1Char('\'');
}

// Qt's Wayland platform plugin comes in a package of its own; without it Qt would abort.
bool hasWaylandPlugin() {
    QStringList dirs =
        qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    dirs.append(QLibraryInfo::path(QLibraryInfo::PluginsPath));
    for (const QString& dir : dirs) {
        if (!QDir(dir + QStringLiteral("/platforms"))
                 .entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files)
                 .isEmpty())
            return true;
    }
    return false;
}

// A command may move many files; a running Vantor answers when it is done.
constexpr int kCommandAnswerTimeoutMs = 10 * 60 * 1000;
constexpr int kOpenAnswerTimeoutMs = 5000;

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// Each line of `text` on stderr, as this program's.
void complain(const QString& text) {
    QString out;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
        out += QStringLiteral("vantor: ") + line + u'\n';
    print(stderr, out);
}

int report(const CommandResult& result) {
    print(stdout, result.out);
    complain(result.err);
    return result.exitCode;
}

// A command: by the running Vantor when there is one, so its panel, watch and
// record stay in step; else here, with no display, under the cleaner's lock.
int runCommand(const CommandRequest& request) {
    QString problem;
    const QString folder = platform::InstanceFolder::forThisUser().find(&problem);
    complain(problem);
    QByteArray answer;
    const auto asked = folder.isEmpty() // no folder of ours: no instance of ours listens
                           ? platform::SingleInstance::Answer::NotRunning
                           : platform::SingleInstance::ask(folder, request.toLine(), &answer,
                                                           kCommandAnswerTimeoutMs);
    switch (asked) {
    case platform::SingleInstance::Answer::Answered:
        if (const auto result = CommandResult::fromLine(answer))
            return report(*result);
        complain(QCoreApplication::translate(
            "CommandLine", "The running Vantor's answer can't be read; nothing was done here."));
        return CommandResult::kFailure;
    case platform::SingleInstance::Answer::TooLong:
        complain(QCoreApplication::translate(
                     "CommandLine", "The running Vantor's answer is longer than %1 MB and was not "
                                    "read; its panel shows what was done.")
                     .arg(platform::SingleInstance::kMaxAnswerBytes / (1024 * 1024)));
        return CommandResult::kFailure;
    case platform::SingleInstance::Answer::NoAnswer:
        complain(QCoreApplication::translate(
            "CommandLine", "The running Vantor did not answer; nothing was done here."));
        return CommandResult::kFailure;
    case platform::SingleInstance::Answer::NotRunning:
        break;
    }
    TidiedFolders folders(platform::configFolder(), platform::desktopFolder());
    Cleaner cleaner(&folders, platform::stateFolder());
    AutoTidySettings autoTidy(platform::configFolder() + QStringLiteral("/settings.ini"));
    CommandRunner runner(&cleaner, &autoTidy);
    return report(runner.runAndWait(request));
}

// Help, version and the commands need no display: a core application, in the language of
// the session as the panel's.
int runCommandLine(int argc, char** argv, const QStringList& arguments) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vantor"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTOR_VERSION));
    widgets::installTranslations(QLocale());
    // Parsed again: its messages are worded only now that the translation is in.
    const CommandLine line = CommandLine::parse(arguments);
    switch (line.action) {
    case CommandLine::Action::Help:
        print(stdout, CommandLine::helpText());
        return 0;
    case CommandLine::Action::Version:
        print(stdout, CommandLine::versionText());
        return 0;
    case CommandLine::Action::Error:
        complain(line.error + u' ' +
                 QCoreApplication::translate("CommandLine", "See 'vantor --help'."));
        return CommandResult::kUsage;
    case CommandLine::Action::Run:
        return runCommand(line.request);
    case CommandLine::Action::Start:
        break;
    }
    return CommandResult::kUsage; // parsed as a command a moment ago
}

// Says why Vantor can't start here, in the language of the session: with no display there
// is no application that shows windows, so a core one words it.
int refuseToStart(int argc, char** argv, const char* text, const QString& argument = {}) {
    QCoreApplication app(argc, argv);
    widgets::installTranslations(QLocale());
    const QString message = QCoreApplication::translate("CommandLine", text);
    complain(argument.isEmpty() ? message : message.arg(argument));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    // Read before anything needs a display: the commands work without one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine line = CommandLine::parse(arguments);
    if (line.action != CommandLine::Action::Start)
        return runCommandLine(argc, argv, arguments);

    // What Vantor picks for Qt below is for this process only; the programs it starts (the
    // file manager through xdg-open) choose their own.
    const bool platformWasChosen = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");

    // Without a display Qt would abort with a long message; say what is wrong instead.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return refuseToStart(
            argc, argv,
            QT_TRANSLATE_NOOP("CommandLine",
                              "no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                              "start it from a desktop session, or on a virtual display with: "
                              "xvfb-run -a %1 (xvfb-run is in the xvfb package)"),
            commandForThisBinary(argc > 0 ? argv[0] : nullptr));
    }

    // A Wayland session without XWayland needs Qt's Wayland plugin. Name it outright: Qt
    // picks X11 on some Wayland desktops, which cannot work without DISPLAY.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (!hasWaylandPlugin()) {
            return refuseToStart(
                argc, argv,
                QT_TRANSLATE_NOOP("CommandLine",
                                  "this Wayland session has no XWayland (DISPLAY is not set) and "
                                  "Qt's Wayland support is not installed; install the qt6-wayland "
                                  "package, or start Vantor in a session with XWayland or X11"));
        }
        qputenv("QT_QPA_PLATFORM", "wayland");
    }

    // A tray popup must be placed by its icon, which a Wayland client cannot do: where
    // XWayland is there, use it.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    if (!platformWasChosen)
        qunsetenv("QT_QPA_PLATFORM");
    QApplication::setApplicationName(QStringLiteral("Vantor"));
    QApplication::setApplicationVersion(QStringLiteral(VANTOR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(VANTOR_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false);
    widgets::installTranslations(QLocale());

    QString problem;
    const QString folder = platform::InstanceFolder::forThisUser().make(&problem);
    complain(problem);
    platform::SingleInstance instance(folder);
    if (!instance.claim()) {
        // Vantor runs already: open its panel, unless this is the login starting it again.
        QByteArray answer;
        if (!line.autostart)
            platform::SingleInstance::ask(folder, line.request.toLine(), &answer,
                                          kOpenAnswerTimeoutMs);
        return 0;
    }

    VantorApp vantor;
    instance.setRequestHandler(
        [&vantor](const QByteArray& request, const platform::SingleInstance::Reply& reply) {
            vantor.answer(request, reply);
        });
    vantor.start(line.autostart);
    return app.exec();
}
