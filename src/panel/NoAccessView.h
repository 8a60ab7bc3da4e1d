#pragma once

#include <QWidget>

class DesktopCleaner;
class DesktopServices;
class PrimaryButton;
class QPushButton;

// Shown instead of the clean page while the Desktop cannot be listed: says so, opens the
// folder that holds the Desktop in the file manager (where it can be made or its permissions
// fixed) and offers to look again.
class NoAccessView : public QWidget {
    Q_OBJECT

  public:
    NoAccessView(DesktopCleaner& cleaner, DesktopServices& services, QWidget* parent = nullptr);

    PrimaryButton* openSettingsButton() const { return m_openButton; }
    QPushButton* tryAgainButton() const { return m_tryAgainButton; }

  private:
    DesktopCleaner& m_cleaner;
    DesktopServices& m_services;
    PrimaryButton* m_openButton = nullptr;
    QPushButton* m_tryAgainButton = nullptr;
};
