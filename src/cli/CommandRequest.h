#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What one launch asks of Vantor, and the line that carries it to a running instance:
// {"v":1,"command":"clean","json":true}. The bare line "reopen" of earlier versions reads
// as an open request.
struct CommandRequest {
    enum class Command { Open, Scan, Clean, Undo };

    static constexpr int kVersion = 1;

    Command command = Command::Open;
    bool json = false;

    QByteArray toLine() const; // one JSON object and a newline
    // nullopt for anything but a request of this version.
    static std::optional<CommandRequest> fromLine(const QByteArray& line);

    static QString name(Command command);
    static std::optional<Command> commandNamed(const QString& name);

    bool operator==(const CommandRequest&) const = default;
};
