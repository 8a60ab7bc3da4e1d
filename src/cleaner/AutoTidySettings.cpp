#include "cleaner/AutoTidySettings.h"

#include "rules/TidiedFolders.h"

#include <QSettings>

#include <algorithm>

namespace {
// The Desktop's key, as older versions wrote it; each added folder has one under kFolders.
const QString kEnabled = QStringLiteral("autoTidy/enabled");
const QString kFolders = QStringLiteral("autoTidy/folders");
const QString kQuietSeconds = QStringLiteral("autoTidy/quietSeconds");

bool isOn(const QVariant& value) {
    const QString text = value.toString().trimmed().toLower();
    return text == u"true" || text == u"1";
}

QString folderKey(const QString& folderId) {
    return kFolders + u'/' + folderId;
}
} // namespace

AutoTidySettings::AutoTidySettings(const QString& settingsFile, QObject* parent)
    : QObject(parent), m_file(settingsFile) {
    QSettings settings(m_file, QSettings::IniFormat);
    m_enabled = isOn(settings.value(kEnabled));
    settings.beginGroup(kFolders);
    for (const QString& id : settings.childKeys())
        if (TidiedFolders::isFolderId(id) && isOn(settings.value(id)))
            m_enabledFolders.insert(id);
    settings.endGroup();
    bool ok = false;
    const qlonglong quiet = settings.value(kQuietSeconds).toString().trimmed().toLongLong(&ok);
    // Honoured up to what a timer can wait: 24 days.
    if (ok && quiet > 0)
        m_quietSeconds = int(std::min<qlonglong>(quiet, 24 * 24 * 3600));
}

bool AutoTidySettings::isEnabled(const QString& folderId) const {
    return folderId.isEmpty() ? m_enabled : m_enabledFolders.contains(folderId);
}

bool AutoTidySettings::isEnabledAnywhere(const QStringList& folderIds) const {
    return std::any_of(folderIds.begin(), folderIds.end(),
                       [this](const QString& id) { return isEnabled(id); });
}

void AutoTidySettings::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    write(kEnabled, enabled);
    emit changed();
}

void AutoTidySettings::setEnabled(const QString& folderId, bool enabled) {
    if (folderId.isEmpty()) {
        setEnabled(enabled);
        return;
    }
    if (!TidiedFolders::isFolderId(folderId) || enabled == isEnabled(folderId))
        return;
    if (enabled)
        m_enabledFolders.insert(folderId);
    else
        m_enabledFolders.remove(folderId);
    write(folderKey(folderId), enabled ? QVariant(true) : QVariant());
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
    // An invalid value removes the key.
    if (value.isValid())
        settings.setValue(key, value);
    else
        settings.remove(key);
    settings.sync();
}
