#pragma once

#include "platform/FileSystem.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <optional>

// When each file of a tidied folder arrived there, for rules that count a file's age from
// its arrival: a download often carries an old modification time, so that time says nothing
// about how long the file has lain in the folder. Kept in one file of the state folder, only
// for the folders whose rules ask for an age. Used from any thread.
//
// A file first seen in a folder Vantor has looked at before arrived when it was seen, or at
// its birth time when that is later than the previous look (it came while Vantor was not
// running). In a folder looked at for the first time, a file arrived at its birth time where
// the file system keeps one. A file that left and came back counts from its return, unless
// an undo put it back: the undo gives back the arrival it had, as it gives back the file.
class Arrivals {
  public:
    explicit Arrivals(QString fileName);

    // Notes the files of one listing of `folder` at `nowMs` (ms since 1970): new names get an
    // arrival, names no longer listed are forgotten. Writes the file when that changed it.
    void note(const QString& folder, const QList<platform::DirEntry>& entries, qint64 nowMs);
    // When the file arrived, as noted; nullopt for a name not noted.
    std::optional<qint64> arrival(const QString& folder, const QString& name) const;
    // Files an undo put back (folder/name paths) get the arrivals they had when they left,
    // also when a listing has already seen them return. Writes the file when that changed it.
    void putBack(const QStringList& paths);

    // A file of this many bytes or more is not read: it is rebuilt from birth times.
    static constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;
    // Arrivals of files that left, kept for an undo, per folder: the most recent ones.
    static constexpr qsizetype kMaxLeft = 2048;

  private:
    struct Folder {
        qint64 lookedMs = 0; // the last look that was written down
        QHash<QString, qint64> names;
        struct Left {
            qint64 arrivedMs = 0;
            qint64 leftMs = 0;
        };
        QHash<QString, Left> left;
    };
    void load();
    void save();

    mutable QMutex m_mutex;
    QString m_fileName;
    bool m_loaded = false;
    QHash<QString, Folder> m_folders;
};
