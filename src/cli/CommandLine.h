#pragma once

#include "cli/CommandRequest.h"

#include <QString>
#include <QStringList>

// The program's arguments: start (or open the running Vantor), help, version, or a command.
class CommandLine {
  public:
    enum class Action { Start, Help, Version, Run, Error };

    Action action = Action::Start;
    CommandRequest request; // for Run (and Start, which asks a running Vantor to open)
    bool autostart = false; // started at login
    QString error;          // for Error: one line, without the program name

    // `arguments` includes the program name first, as QCoreApplication::arguments() does.
    static CommandLine parse(const QStringList& arguments);

    static QString helpText();
    static QString versionText();
};
