#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What one launch asks of Vantor, and the line that carries it to a running instance:
// {"v":1,"command":"clean","json":true}. The bare line "reopen" of earlier versions reads
// as an open request. Version 2 adds the history and an undo of a given clean
// ({"v":2,"command":"undo","id":"…"}); a request that version 1 can carry out is still sent
// as version 1, and one that it cannot is refused by it rather than taken for another.
struct CommandRequest {
    enum class Command { Open, Scan, Clean, Undo, History };

    static constexpr int kVersion = 2;

    Command command = Command::Open;
    bool json = false;
    QString id; // undo: the history's clean to put back; the newest when empty

    int version() const;
    QByteArray toLine() const; // one JSON object and a newline
    // nullopt for anything but a request of a version this one understands.
    static std::optional<CommandRequest> fromLine(const QByteArray& line);

    static QString name(Command command);
    static std::optional<Command> commandNamed(const QString& name);

    bool operator==(const CommandRequest&) const = default;
};
