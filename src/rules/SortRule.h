#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

// One sorting rule: files whose extension is in `extensions` go to `destination`.
struct SortRule {
    QUuid id;
    QString name;
    QString symbol;
    // A path with the home folder written as "~", e.g. "~/Desktop/Images".
    QString destination;
    // Lower case, no dot, in the order they were added.
    QStringList extensions;

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

    // Compact JSON object with the keys id, name, symbol, destination, extensions, in order.
    QByteArray toJson() const;
    // Requires all five keys with their types and a 36-character UUID; ignores other keys.
    static std::optional<SortRule> fromJson(const QJsonValue& value);

    // Only the 36-character hyphenated form, either case; no braces.
    static std::optional<QUuid> parseUuid(const QString& text);
    static QString uuidText(const QUuid& id);
};
