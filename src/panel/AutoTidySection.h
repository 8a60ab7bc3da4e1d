#pragma once

#include <QWidget>

class AutoTidySettings;
class QComboBox;
class QLabel;
class TidiedFolders;

// Tidying by itself, for every folder whose switch is on: how long a file must be left alone
// before it is put away, out of use while no folder's switch is on. The choice offers the
// usual three quiet times; another one the settings file holds shows as itself, and the file
// is only written when the user picks.
class AutoTidySection : public QWidget {
    Q_OBJECT

  public:
    AutoTidySection(AutoTidySettings& settings, TidiedFolders& folders, QWidget* parent = nullptr);

    QComboBox* quietChoice() const { return m_quiet; }

    // "after 10 minutes", "after 1 hour", "after 90 seconds": in the largest whole unit.
    static QString quietText(int seconds);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void refresh();

    AutoTidySettings& m_settings;
    TidiedFolders& m_folders;
    QLabel* m_quietLabel = nullptr;
    QComboBox* m_quiet = nullptr;
};
