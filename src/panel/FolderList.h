#pragma once

#include <QWidget>

class AutoTidySettings;
class DesktopServices;
class QLabel;
class QPushButton;
class QVBoxLayout;
class TidiedFolders;
class ToggleSwitch;

// The settings page's tidied folders: a row for each with its name and tilde path, Show, its
// own "Tidy automatically" switch, and Remove for all but the Desktop; Add Folder… beside
// the title, and under the rows Add Downloads while the download folder may be added. Why a
// folder could not be added, or shown, is said under them.
class FolderList : public QWidget {
    Q_OBJECT

  public:
    FolderList(TidiedFolders& folders, AutoTidySettings& autoTidy, DesktopServices& services,
               QWidget* parent = nullptr);

    // One of each per folder, in the folders' order; the Desktop's Remove is nullptr.
    QList<QPushButton*> showButtons() const;
    QList<QPushButton*> removeButtons() const;
    QList<ToggleSwitch*> autoTidySwitches() const;
    QPushButton* addFolderButton() const { return m_addFolder; }
    QPushButton* addDownloadsButton() const { return m_addDownloads; }
    // Why the last folder could not be added or shown; else empty.
    QString errorText() const;
    // The controls in the order they are read, for the page's Tab order.
    QList<QWidget*> tabStops() const;

    // The message the folder dialog of Add Folder… shows.
    static QString chooseFolderMessage();

  signals:
    // The rows were made anew: their controls joined the end of the Tab order.
    void rowsChanged();

  private:
    void refresh();
    void refreshSwitches();
    QWidget* folderRow(const QString& id, const QString& path);
    void add(const QString& path);
    void chooseAndAdd();

    TidiedFolders& m_folders;
    AutoTidySettings& m_autoTidy;
    DesktopServices& m_services;
    QPushButton* m_addFolder = nullptr;
    QVBoxLayout* m_rows = nullptr;
    QPushButton* m_addDownloads = nullptr;
    QLabel* m_error = nullptr;
};
