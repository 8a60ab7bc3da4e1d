#pragma once

#include "rules/SortRule.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

// A rule in plain words, as both windows show it: "Images larger than 5 MB, added more than
// 30 days ago → Trash", "PNG, JPG files named Screenshot* → ~/Desktop/Images".
class RuleDescription {
    Q_DECLARE_TR_FUNCTIONS(RuleDescription)

  public:
    RuleDescription() = delete;

    // A named group of content types the rules window offers, and the kinds a rule holds
    // when it is chosen.
    struct Family {
        QString name;
        QStringList kinds;
    };
    // Images, Documents, Audio, Video, Archives, Installers and disk images.
    static QList<Family> families();
    // The family whose kinds are exactly `kinds`, or -1.
    static int familyOf(const QStringList& kinds);

    // Sizes count in thousands, as file managers here show them by default.
    static constexpr qint64 kKB = 1000;
    static constexpr qint64 kMB = 1000 * kKB;
    static constexpr qint64 kGB = 1000 * kMB;
    // "5 MB", in the largest unit that gives a whole number, else in bytes.
    static QString sizeText(qint64 bytes);

    // The whole rule: what it takes, then → where it goes.
    static QString text(const SortRule& rule);
    // What it takes: its types, kinds and conditions, without the action.
    static QString conditionsText(const SortRule& rule);
    // Why a rule with values it could not read takes nothing, naming those values.
    static QString unreadableText(const SortRule& rule);
};
