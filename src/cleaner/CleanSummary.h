#pragma once

#include <QDateTime>
#include <QString>

// One clean as the history lists it; the newest comes first.
struct CleanSummary {
    QString id;
    QDateTime date;
    int moved = 0;
    bool automatic = false; // started by automatic tidying rather than the user
    bool undone = false;
    QDateTime putBackAt = {}; // invalid when not put back, or when no time was kept
    bool operator==(const CleanSummary&) const = default;
};
