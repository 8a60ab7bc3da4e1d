#pragma once

#include "cli/CommandRequest.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The program's arguments: start (or open the running Vantor), help, version, or a command.
class CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

  public:
    enum class Action { Start, Help, Version, Run, Error };

    Action action = Action::Start;
    CommandRequest request; // for Run (and Start, which asks a running Vantor to open)
    bool autostart = false; // started at login
    QString error;          // for Error: one line, without the program name

    // The texts below are worded in the installed translation: parse once it is in.

    // `arguments` includes the program name first, as QCoreApplication::arguments() does.
    static CommandLine parse(const QStringList& arguments);

    static QString helpText();
    static QString versionText();
};
