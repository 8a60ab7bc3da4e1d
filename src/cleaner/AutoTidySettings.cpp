#include "cleaner/AutoTidySettings.h"

#include <QSettings>

#include <algorithm>

namespace {
const QString kEnabled = QStringLiteral("autoTidy/enabled");
const QString kQuietSeconds = QStringLiteral("autoTidy/quietSeconds");
} // namespace

AutoTidySettings::AutoTidySettings(const QString& settingsFile, QObject* parent)
    : QObject(parent), m_file(settingsFile) {
    const QSettings settings(m_file, QSettings::IniFormat);
    const QString enabled = settings.value(kEnabled).toString().trimmed().toLower();
    m_enabled = enabled == u"true" || enabled == u"1";
    bool ok = false;
    const qlonglong quiet = settings.value(kQuietSeconds).toString().trimmed().toLongLong(&ok);
    // Honoured up to what a timer can wait: 24 days.
    if (ok && quiet > 0)
        m_quietSeconds = int(std::min<qlonglong>(quiet, 24 * 24 * 3600));
}

void AutoTidySettings::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    write(kEnabled, enabled);
    emit changed();
}

void AutoTidySettings::setQuietSeconds(int seconds) {
    if (seconds <= 0 || seconds == m_quietSeconds)
        return;
    m_quietSeconds = seconds;
    write(kQuietSeconds, seconds);
    emit changed();
}

void AutoTidySettings::write(const QString& key, const QVariant& value) {
    QSettings settings(m_file, QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
}
