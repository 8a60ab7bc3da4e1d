#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What a command printed and how it ended, as the launch that asked for it reports it: `out`
// goes to stdout, `err` to stderr, `exitCode` is the process's exit status. A running
// instance sends it back as one line: {"v":1,"exit":0,"out":"...","err":"..."}.
struct CommandResult {
    int exitCode = 0;
    QString out;
    QString err;

    // Exit statuses: done (also with nothing to do), not done in full, bad usage.
    static constexpr int kSuccess = 0;
    static constexpr int kFailure = 1;
    static constexpr int kUsage = 2;

    QByteArray toLine() const;
    // nullopt for anything but a result of this version or an older one, with one of the exit
    // statuses above. Control characters but newline and tab are dropped from its text.
    static std::optional<CommandResult> fromLine(const QByteArray& line);

    bool operator==(const CommandResult&) const = default;
};
