#pragma once

#include "cli/CommandRequest.h"
#include "cli/CommandResult.h"

#include <QObject>

#include <functional>

class AutoTidySettings;
class Cleaner;

// Carries out scan, clean, undo and history on a cleaner, as the panel's buttons do, and
// lists, adds and removes its tidied folders as the settings page does; words the outcome for
// a terminal or as JSON. The same runner serves a command run by itself and one
// handed to the running Vantor, so both print the same.
class CommandRunner : public QObject {
    Q_OBJECT

  public:
    // `autoTidy` says which folders are tidied automatically; `folders add --automatic` and
    // `folders remove` change it.
    CommandRunner(Cleaner* cleaner, AutoTidySettings* autoTidy, QObject* parent = nullptr);

    // Starts the command; `done` gets the result when its work has ended, on this thread
    // (possibly before run() returns). A clean or undo works off this thread meanwhile.
    void run(const CommandRequest& request, std::function<void(const CommandResult&)> done);
    // Runs the command in a local event loop and returns its result.
    CommandResult runAndWait(const CommandRequest& request);

  private:
    CommandResult scan(bool json) const;
    CommandResult history(bool json) const;
    CommandResult folders(const CommandRequest& request);
    void runWork(const CommandRequest& request, std::function<void(const CommandResult&)> done);
    // A note for stderr when the rules file exists but cannot be used.
    QString rulesNote() const;

    Cleaner* m_cleaner;
    AutoTidySettings* m_autoTidy;
};
