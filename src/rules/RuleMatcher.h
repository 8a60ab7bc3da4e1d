#pragma once

#include "platform/FileSystem.h"
#include "rules/SortRule.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// Decides, for the loose items of one tidied folder, which rule takes each: the one place
// that knows what a file is, used by the scan and so by the panel, the command line and
// automatic tidying alike.
//
// A file still arriving is never taken: a partial download (its content type, by name, is
// application/x-partial-download: "report.pdf.part", "x.crdownload"), a file whose partial
// download sits beside it ("report.pdf" while "report.pdf.part" exists), and an empty file
// while any partial download is in the folder (a browser's placeholder, which the finished
// download replaces under a name of its own).
class RuleMatcher {
  public:
    enum : qsizetype {
        kStays = -1,  // a loose item no rule takes, or one that may not be moved now
        kSkipped = -2 // not a loose item at all: a folder
    };

    // `rules` of the tidied folder `folder`. A rule takes nothing when its folder is a tidied
    // folder (of `tidiedFolders`, this one included), so no file goes back and forth between
    // two folders, nor when `nameable` refuses a path in its folder.
    RuleMatcher(QList<SortRule> rules, const QString& folder, const QStringList& tidiedFolders,
                std::function<bool(const QString& path)> nameable = {});

    const QList<SortRule>& rules() const { return m_rules; }

    // Per entry of the folder's listing: the index of the rule that takes it, kStays or
    // kSkipped.
    QList<qsizetype> match(const QList<platform::DirEntry>& entries) const;

    static bool isPartialDownload(const QString& name);
    // The name the finished download will have ("report.pdf" for "report.pdf.part").
    static QString downloadTarget(const QString& partialName);

  private:
    QList<SortRule> m_rules;
    QString m_prefix; // the folder with a trailing "/"
    bool m_folderNameable = true;
    QHash<QString, qsizetype> m_ruleByType; // type → first rule holding it that takes files
    std::function<bool(const QString&)> m_nameable;
};
