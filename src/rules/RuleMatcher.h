#pragma once

#include "platform/FileSystem.h"
#include "rules/SortRule.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <QRegularExpression>

#include <functional>
#include <optional>

// Decides, for the loose items of one tidied folder, which rule takes each: the one place
// that knows what a file is, used by the scan and so by the panel, the command line and
// automatic tidying alike. A file goes to the first rule, in the list's order, that takes
// files and whose type and conditions all hold.
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

    // When a file arrived in the folder, in ms since 1970, or nullopt where that is not known
    // (an age condition then does not hold). Without one, a file's birth time is taken.
    using Arrival = std::function<std::optional<qint64>(const QString& name,
                                                        const platform::FileIdentity& identity)>;
    void setArrival(Arrival arrival, qint64 nowMs);

    // Whether a file with the content type `mimeType` (or one it inherits) is of `kind`: the
    // same type or one inheriting it, or for "image/*" any image type by its own name.
    static bool isOfKind(const QString& mimeType, const QString& kind);

    // Per entry of the folder's listing: the index of the rule that takes it, kStays or
    // kSkipped. Remembers what it found about types, so one matcher is used by one thread.
    QList<qsizetype> match(const QList<platform::DirEntry>& entries) const;

    static bool isPartialDownload(const QString& name);
    // The name the finished download will have ("report.pdf" for "report.pdf.part").
    static QString downloadTarget(const QString& partialName);

  private:
    // One rule, ready to test a file against.
    struct Test {
        qsizetype rule = 0;
        QSet<QString> types;
        QRegularExpression name;
        bool needsIdentity = false;
        // Content type → whether it is of one of the rule's kinds, as found in this match.
        mutable QHash<QString, bool> ofKind;
    };
    // The file's content type: by name where that tells, else by content, remembered.
    static QString contentType(const QString& path, const QString& name,
                               std::optional<std::optional<platform::FileIdentity>>& identity);
    bool holds(const Test& test, const QString& name, const QString& extension,
               std::optional<std::optional<platform::FileIdentity>>& identity,
               std::optional<QString>& mimeType) const;

    QList<SortRule> m_rules;
    QList<Test> m_tests; // the rules that take files, in order
    // Type → the indices of m_tests a file of that type may go to, as found in this match.
    mutable QHash<QString, QList<qsizetype>> m_candidates;
    bool m_typesOnly = true; // no rule that takes files has a condition besides its types
    Arrival m_arrival;
    qint64 m_nowMs = 0;
    QString m_prefix; // the folder with a trailing "/"
    bool m_folderNameable = true;
    QHash<QString, qsizetype> m_ruleByType; // type → first rule holding it that takes files
    std::function<bool(const QString&)> m_nameable;
};
