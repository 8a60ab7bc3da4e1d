#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What one launch asks of Vantor, and the line that carries it to a running instance:
// {"v":1,"command":"clean","json":true}. The bare line "reopen" of earlier versions reads
// as an open request. Version 2 adds the history and an undo of a given clean
// ({"v":2,"command":"undo","id":"…"}); version 3 the list of tidied folders
// ({"v":3,"command":"folders","action":"add","path":"/abs","automatic":true}). A request is
// sent as the oldest version that can carry it, so an older Vantor carries out what it can,
// and refuses the rest rather than taking it for another request: it reads no version above
// its own.
struct CommandRequest {
    enum class Command { Open, Scan, Clean, Undo, History, Folders };
    // What `folders` does with the list.
    enum class FolderAction { List, Add, Remove };

    static constexpr int kVersion = 3;

    Command command = Command::Open;
    bool json = false;
    QString id = {};                                // undo: the clean to put back; newest if empty
    FolderAction folderAction = FolderAction::List; // folders
    QString path = {};                              // folders add and remove: an absolute path
    bool automatic = false;                         // folders add: tidy it automatically too

    int version() const;
    QByteArray toLine() const; // one JSON object and a newline
    // nullopt for anything but a well-formed request of a version this one understands.
    static std::optional<CommandRequest> fromLine(const QByteArray& line);

    static QString name(Command command);
    static std::optional<Command> commandNamed(const QString& name);
    static QString name(FolderAction action);
    static std::optional<FolderAction> folderActionNamed(const QString& name);

    bool operator==(const CommandRequest&) const = default;
};
