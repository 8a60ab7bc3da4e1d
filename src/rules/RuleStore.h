#pragma once

#include "rules/SortRule.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <optional>

// The user's ordered rule list, loaded from rules.json and rewritten after every change.
// Every operation that changes the list assigns it once, emits rulesChanged() (also when the
// new list equals the old) and then saves.
class RuleStore : public QObject {
    Q_OBJECT

  public:
    // Creates `folder` if needed and loads folder/rules.json, or the default rules when that
    // file is missing or unreadable in any way. Writes nothing.
    explicit RuleStore(const QString& folder, QObject* parent = nullptr);

    // A rules file is a few kilobytes; one larger than this is not read.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

    const QList<SortRule>& rules() const { return m_rules; }
    const QString& fileName() const { return m_fileName; }

    std::optional<SortRule> rule(const QUuid& id) const;
    // The first rule holding the lower-cased type.
    std::optional<SortRule> ruleForExtension(const QString& extension) const;

    QUuid addRule();
    void remove(const QUuid& id);
    void rename(const QUuid& id, const QString& name);
    void setDestination(const QUuid& id, const QString& folder);
    // Adds the valid types in `text` to the rule and takes them from every other rule;
    // returns a note naming what was taken from where, if anything was.
    std::optional<QString> addExtensions(const QString& text, const QUuid& id);
    void removeExtension(const QString& extension, const QUuid& id);
    void restoreDefaults();

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
    void save() const;
    qsizetype indexOf(const QUuid& id) const;

    QString m_fileName;
    QList<SortRule> m_rules;
};
