#pragma once

#include "rules/SortRule.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the tidied folders hold: per folder, one group per rule with the files it would move.
struct Scan {
    struct Group {
        SortRule rule;
        QStringList files; // absolute paths, in the file manager's name order
        QUuid id() const { return rule.id; }
        bool operator==(const Group&) const = default;
    };

    struct Folder {
        QString path;
        bool readable = true; // false: it could not be listed, and holds nothing here
        QList<Group> groups;  // one per rule, in the rules' order
        int other = 0;        // loose items that stay where they are
        int totalFiles() const;
        bool operator==(const Folder&) const = default;
    };

    QList<Folder> folders; // in the order of the tidied folders, the Desktop first

    int totalFiles() const;
    // Whether no folder could be listed (a scan of no folders counts as unreadable).
    bool noneReadable() const;
    bool operator==(const Scan&) const = default;
};
