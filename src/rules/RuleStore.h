#pragma once

#include "rules/SortRule.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>

#include <optional>

// The user's ordered rule list, loaded from rules.json and rewritten after every change.
// Every operation that changes the list assigns it once, emits rulesChanged() (also when the
// new list equals the old) and then saves.
class RuleStore : public QObject {
    Q_OBJECT

  public:
    // The Desktop's rules: creates `folder` if needed and loads folder/rules.json, or the
    // default rules when that file is missing or unreadable in any way. Writes nothing.
    explicit RuleStore(const QString& folder, QObject* parent = nullptr);
    // The rules of `tidiedFolder`, kept in folder/rules.json: as above, with `defaults` when
    // the file gives none, and new rules' folders made inside `tidiedFolder`.
    RuleStore(const QString& folder, const QString& tidiedFolder, QList<SortRule> defaults,
              QObject* parent = nullptr);

    // A rules file is a few kilobytes; one larger than this is not read.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

    const QList<SortRule>& rules() const { return m_rules; }
    const QString& fileName() const { return m_fileName; }

    std::optional<SortRule> rule(const QUuid& id) const;
    // The first rule holding the lower-cased type.
    std::optional<SortRule> ruleForExtension(const QString& extension) const;

    // A rule named "New Rule", "New Rule 2", … (a name and folder no rule has) in a folder
    // of its name inside the tidied folder.
    QUuid addRule();
    // Removes the rule; its types then belong to no rule. Returns a note naming the types it
    // had taken from other rules in this run, as those do not go back.
    std::optional<QString> remove(const QUuid& id);
    // Puts a removed rule back at `index` (clamped), without the types other rules hold now.
    void insert(const SortRule& rule, qsizetype index);
    // While the rule's folder is the tidied folder's folder of its name and holds nothing,
    // the folder is renamed with the rule.
    void rename(const QUuid& id, const QString& name);
    void setDestination(const QUuid& id, const QString& folder);
    // Adds the valid types in `text` to the rule. A rule with types and no other condition
    // takes them from every other such rule, and a note names what was taken from where, if
    // anything was; a rule with conditions shares its types, as it takes only some files.
    std::optional<QString> addExtensions(const QString& text, const QUuid& id);
    void removeExtension(const QString& extension, const QUuid& id);
    // The conditions, each replacing what the rule had, also a value it could not read. An
    // empty list or pattern, or a negative number, unsets the condition; kinds Vantor cannot
    // recognise and an unusable pattern are dropped, numbers are held to the largest allowed.
    void setKinds(const QUuid& id, const QStringList& kinds);
    void setNamePattern(const QUuid& id, const QString& pattern);
    void setMinSize(const QUuid& id, qint64 bytes);
    void setMaxSize(const QUuid& id, qint64 bytes);
    void setMinAgeDays(const QUuid& id, int days);
    void setAction(const QUuid& id, SortRule::Action action);
    // Puts the rule at `toIndex` (clamped) of the list: the first rule that fits takes a file.
    void moveRule(const QUuid& id, qsizetype toIndex);
    // The defaults this store was made with, under fresh identifiers.
    void restoreDefaults();
    // Writes the list as it is, for rules that must stay as made even before a change.
    void save() const;

    // Typed text to file types: split at commas and whitespace, "." and "*" trimmed from the
    // ends, lower-cased, letters and digits only, duplicates dropped.
    static QStringList parseExtensions(const QString& text);

    // The rules file's exact bytes for a list.
    static QByteArray encode(const QList<SortRule>& rules);
    static std::optional<QList<SortRule>> decode(const QByteArray& bytes);

  signals:
    // Emitted after every assignment of the list.
    void rulesChanged();

  private:
    void assign(QList<SortRule> rules);
    qsizetype indexOf(const QUuid& id) const;
    // Changes one rule's condition `key` with `change` and drops what was unreadable of it.
    template <typename Change> void editCondition(const QUuid& id, const char* key, Change change);
    bool followsName(const SortRule& rule) const;
    QString ruleFolderFor(const QString& name) const;

    QString m_fileName;
    QString m_tidiedFolder;
    QList<SortRule> m_defaults;
    QList<SortRule> m_rules;
    // Neither is kept in rules.json, whose form older versions read. Whether a folder follows
    // the name is derived from the folder (the tidied folder's folder of the rule's name);
    // this set only carries that across names that make no folder, such as the empty name
    // while the user types over it.
    QSet<QUuid> m_followingName;
    // Rule → the types it took from other rules, for the note when it is removed.
    QHash<QUuid, QStringList> m_takenTypes;
};
