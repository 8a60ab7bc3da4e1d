#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

// The [autoTidy] group of settings.ini: whether Vantor tidies the Desktop by itself, and how
// long a file must stay quiet first. Values the file holds that make no sense read as the
// defaults.
class AutoTidySettings : public QObject {
    Q_OBJECT

  public:
    explicit AutoTidySettings(const QString& settingsFile, QObject* parent = nullptr);

    bool isEnabled() const { return m_enabled; }
    bool isEnabled(const QString& folderId) const { return folderId.isEmpty() && m_enabled; }
    void setEnabled(const QString& folderId, bool enabled) {
        if (folderId.isEmpty())
            setEnabled(enabled);
    }
    int quietSeconds() const { return m_quietSeconds; }
    // Each writes the file at once.
    void setEnabled(bool enabled);
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
    int m_quietSeconds = kDefaultQuietSeconds;
};
