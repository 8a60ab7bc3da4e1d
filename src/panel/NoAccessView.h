#pragma once

#include <QWidget>

class Cleaner;
class DesktopServices;
class PrimaryButton;
class QLabel;
class QPushButton;

// Shown instead of the clean page while the Desktop cannot be listed: says so, shows the
// Desktop (or, when it is missing, the folder that should hold it) in the file manager,
// where it can be made or its permissions fixed, and offers to look again.
class NoAccessView : public QWidget {
    Q_OBJECT

  public:
    NoAccessView(Cleaner& cleaner, DesktopServices& services, QWidget* parent = nullptr);

    PrimaryButton* openSettingsButton() const { return m_openButton; }
    QPushButton* tryAgainButton() const { return m_tryAgainButton; }
    // "No file manager found to show …" after the first button found none; else empty.
    QString fileManagerError() const;

  private:
    void showInFileManager();

    Cleaner& m_cleaner;
    DesktopServices& m_services;
    PrimaryButton* m_openButton = nullptr;
    QPushButton* m_tryAgainButton = nullptr;
    QLabel* m_error = nullptr;
};
