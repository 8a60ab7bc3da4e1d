#pragma once

#include <QWidget>

class AutoTidySection;
class AutoTidySettings;
class HistorySource;
class Cleaner;
class DesktopServices;
class FolderList;
class HistoryList;
class QLabel;
class QPushButton;
class QVBoxLayout;
struct SortRule;
class ToggleSwitch;

// The panel's settings page: opening Vantor at login, the tidied folders with their own
// switches for tidying automatically and the quiet time they share, the rules with their
// folders (under each tidied folder's name while there are several) and the way into the
// rules window, the last cleans with Put Back, and the version line with Done (Escape).
class SettingsView : public QWidget {
    Q_OBJECT

  public:
    SettingsView(Cleaner& cleaner, AutoTidySettings& autoTidy, HistorySource& history,
                 DesktopServices& services, QWidget* parent = nullptr);

    ToggleSwitch* loginSwitch() const { return m_loginSwitch; }
    // The message under the switch after a failed change, or empty.
    QString loginError() const;
    FolderList* folderList() const { return m_folderList; }
    AutoTidySection* autoTidySection() const { return m_autoTidy; }
    HistoryList* historyList() const { return m_history; }
    QPushButton* editRulesButton() const { return m_editRules; }
    QPushButton* doneButton() const { return m_done; }
    // One per rule, in order, of every folder: the row's "Show" button.
    QList<QPushButton*> showButtons() const;
    // "Vantor 1.2 by Quillon", or "Vantor by Quillon" without a version.
    static QString versionLine();
    // "No file manager found to show …" after a Show found none; else empty.
    QString fileManagerError() const;
    // "Put back 3 files." once a clean was put back while the page is open; else empty.
    QString putBackResult() const;

  signals:
    // Done or Escape: the page should close.
    void done();

  private:
    void setOpenAtLogin(bool on);
    void refreshRules();
    // Rows made anew join the end of the Tab order: put their buttons back where they are
    // read.
    void orderTabs();
    void showPutBackResult();
    QWidget* ruleFolderRow(const SortRule& rule);

    Cleaner& m_cleaner;
    DesktopServices& m_services;

    ToggleSwitch* m_loginSwitch = nullptr;
    QLabel* m_loginError = nullptr;
    FolderList* m_folderList = nullptr;
    AutoTidySection* m_autoTidy = nullptr;
    QPushButton* m_editRules = nullptr;
    QVBoxLayout* m_ruleRows = nullptr;
    QLabel* m_revealError = nullptr;
    HistoryList* m_history = nullptr;
    QLabel* m_putBackResult = nullptr;
    QPushButton* m_done = nullptr;
};
