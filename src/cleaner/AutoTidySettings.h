#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

// The [autoTidy] group of settings.ini: which tidied folders Vantor tidies by itself, and how
// long a file must stay quiet first. Values the file holds that make no sense read as the
// defaults.
class AutoTidySettings : public QObject {
    Q_OBJECT

  public:
    explicit AutoTidySettings(const QString& settingsFile, QObject* parent = nullptr);

    // The Desktop's flag.
    bool isEnabled() const { return m_enabled; }
    // A tidied folder's flag by its id ("" is the Desktop); an id that is no folder's id is
    // never enabled.
    bool isEnabled(const QString& folderId) const;
    bool isEnabledAnywhere(const QStringList& folderIds) const;
    int quietSeconds() const { return m_quietSeconds; }
    // Each writes the file at once.
    void setEnabled(bool enabled);
    // Ignores an id that is no folder's id. Turning a folder off drops its key, so a removed
    // folder leaves nothing behind.
    void setEnabled(const QString& folderId, bool enabled);
    void setQuietSeconds(int seconds);

    static constexpr int kDefaultQuietSeconds = 600;
    // What the settings page offers; the file may hold any positive number of seconds.
    static constexpr int kQuietChoices[] = {60, 600, 3600};

  signals:
    void changed();

  private:
    void write(const QString& key, const QVariant& value);

    QString m_file;
    bool m_enabled = false;
    // The added folders that are on.
    QSet<QString> m_enabledFolders;
    int m_quietSeconds = kDefaultQuietSeconds;
};
