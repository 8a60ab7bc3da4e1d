#pragma once

#include "cleaner/Cleaner.h"

#include <QList>
#include <QObject>
#include <QString>

// The cleans the settings page lists and puts back. In the application it is the cleaner's
// own history (CleanerHistorySource); tests and the screenshot tool hand the page one of theirs.
class HistorySource : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    // Newest first.
    virtual QList<CleanSummary> entries() const = 0;
    // While a clean or undo runs, nothing else can be put back.
    virtual bool isBusy() const = 0;
    // Starts putting back the clean with this id.
    virtual void putBack(const QString& id) = 0;

  signals:
    void entriesChanged();
    void busyChanged(bool busy);
};
