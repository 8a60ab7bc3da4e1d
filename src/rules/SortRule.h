#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

// One sorting rule: files whose extension is in `extensions`, and that meet every other
// condition the rule has, go to `destination` or, with Action::Trash, to the Trash.
struct SortRule {
    enum class Action { Move, Trash };

    QUuid id;
    QString name;
    QString symbol;
    // A path with the home folder written as "~", e.g. "~/Desktop/Images".
    QString destination;
    // Lower case, no dot, in the order they were added.
    QStringList extensions;

    // Further conditions, each unset by default. A rule with none of them and no types takes
    // nothing.
    // Content types ("application/pdf") or families of them ("image/*").
    QStringList kinds;
    // A case-insensitive glob over the whole name ("Screenshot*").
    QString namePattern;
    qint64 minSize = -1; // bytes; larger than this
    qint64 maxSize = -1; // bytes; smaller than this
    // Arrived in the folder more than this many days ago.
    int minAgeDays = -1;
    Action action = Action::Move;
    // Condition keys a hand-edited file gives in a form this version does not understand,
    // kept as they stand so that saving writes them back. A rule with any takes nothing:
    // never a wider match than the user wrote.
    QJsonObject unreadable;

    SortRule() = default;
    SortRule(QString name, QString symbol, QString destination, QStringList extensions,
             QUuid id = QUuid::createUuid());

    bool operator==(const SortRule&) const = default;

    // The three rules Vantor starts with, built once per run with fresh identifiers.
    static const QList<SortRule>& defaults();
    // The same three rules in folders of their name inside `folder`, with fresh identifiers.
    static QList<SortRule> defaultsInside(const QString& folder);

    // The destination string for a folder: "~" for the home folder and anything inside it,
    // other absolute paths unchanged.
    static QString tildePath(const QString& folder);

    // The folder `destination` stands for: tilde expanded, absolute, standardized.
    QString destinationURL() const;

    bool hasConditions() const {
        return !kinds.isEmpty() || !namePattern.isEmpty() || minSize >= 0 || maxSize >= 0 ||
               minAgeDays >= 0;
    }
    // Whether the rule can take any file: it has a type or a condition, and every condition
    // was understood.
    bool takesFiles() const {
        return unreadable.isEmpty() && (!extensions.isEmpty() || hasConditions());
    }

    // Largest size and age a rule may give; anything larger is taken as a typing slip.
    static constexpr qint64 kMaxSize = qint64(1) << 50; // 1 PiB
    static constexpr int kMaxAgeDays = 36500;

    // Compact JSON object with the keys id, name, symbol, destination, extensions, in order,
    // then those of the conditions the rule has: kinds, namePattern, minSize, maxSize,
    // minAgeDays, and action when it is "trash". A rule with types only is written exactly
    // as versions without conditions wrote it.
    QByteArray toJson() const;
    // Requires all five first keys with their types and a 36-character UUID; ignores keys it
    // does not know. A condition it cannot understand goes to `unreadable`, with a line for
    // `problems` saying why.
    static std::optional<SortRule> fromJson(const QJsonValue& value,
                                            QStringList* problems = nullptr);

    // Whether a kind is a content type Vantor can recognise ("image/png") or a family of
    // them ("image/*").
    static bool isValidKind(const QString& kind);
    // Whether a file name pattern can be used: not empty, no "/", and a usable glob.
    static bool isValidNamePattern(const QString& pattern);

    // Only the 36-character hyphenated form, either case; no braces.
    static std::optional<QUuid> parseUuid(const QString& text);
    static QString uuidText(const QUuid& id);
};
