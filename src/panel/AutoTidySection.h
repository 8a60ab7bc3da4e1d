#pragma once

#include <QWidget>

class AutoTidySettings;
class QComboBox;
class QLabel;
class ToggleSwitch;

// Tidying by itself: the switch, and under it how long a file must be left alone before it
// is put away. The choice offers the usual three quiet times; another one the settings file
// holds shows as itself, and the file is only written when the user picks.
class AutoTidySection : public QWidget {
    Q_OBJECT

  public:
    explicit AutoTidySection(AutoTidySettings& settings, QWidget* parent = nullptr);

    ToggleSwitch* enabledSwitch() const { return m_switch; }
    QComboBox* quietChoice() const { return m_quiet; }

    // "after 10 minutes", "after 1 hour", "after 90 seconds": in the largest whole unit.
    static QString quietText(int seconds);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void refresh();

    AutoTidySettings& m_settings;
    ToggleSwitch* m_switch = nullptr;
    QLabel* m_quietLabel = nullptr;
    QComboBox* m_quiet = nullptr;
};
