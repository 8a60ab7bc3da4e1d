#pragma once

#include <QWidget>

class Cleaner;
class DesktopServices;
class PrimaryButton;
class QLabel;
class QPushButton;

// Shown instead of the clean page while no tidied folder can be listed: says so, shows the
// Desktop (or, when it is missing, the folder that should hold it) in the file manager,
// where it can be made or its permissions fixed, and offers to look again. With several
// tidied folders it names them all.
class NoAccessView : public QWidget {
    Q_OBJECT

  public:
    NoAccessView(Cleaner& cleaner, DesktopServices& services, QWidget* parent = nullptr);

    PrimaryButton* openSettingsButton() const { return m_openButton; }
    QPushButton* tryAgainButton() const { return m_tryAgainButton; }
    // "No file manager found to show …" after the first button found none; else empty.
    QString fileManagerError() const;

    // Shows where a folder that cannot be read can be fixed: the folder selected in the file
    // manager, or the folder that should hold it when it is missing. When no file manager
    // takes it, `error` says so.
    static void showFolderToFix(DesktopServices& services, const QString& folder, QLabel* error);

  private:
    void refresh();

    Cleaner& m_cleaner;
    DesktopServices& m_services;
    QLabel* m_title = nullptr;
    QLabel* m_instructions = nullptr;
    PrimaryButton* m_openButton = nullptr;
    QPushButton* m_tryAgainButton = nullptr;
    QLabel* m_error = nullptr;
};
