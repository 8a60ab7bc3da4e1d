#pragma once

#include "widgets/IconButton.h"

#include <QWidget>

class AutoTidySettings;
class HistorySource;
class CleanView;
class Cleaner;
class DesktopServices;
class FittingScrollArea;
class NoAccessView;
class QVBoxLayout;
class SettingsView;

// The content of the window that the tray icon opens: a header with Vantor's name, the
// settings and quit buttons, and below it one page: settings while they are open, else
// the no-access page while no tidied folder can be listed, else the clean page. The page
// follows the cleaner live. 320 px wide; as tall as its page needs, up to the screen's
// available height, beyond which the page's list scrolls, and on a screen too short even
// for that, the page as a whole.
class PanelView : public QWidget {
    Q_OBJECT

  public:
    enum class Page { Clean, NoAccess, Settings };

    static constexpr int kPanelWidth = 320;

    PanelView(Cleaner& cleaner, AutoTidySettings& autoTidy, DesktopServices& services,
              QWidget* parent = nullptr);

    Page currentPage() const;
    bool showingSettings() const { return m_showingSettings; }
    // Opens or closes the settings page; opening makes it afresh.
    void setShowingSettings(bool on);

    CleanView* cleanView() const { return m_cleanView; }
    NoAccessView* noAccessView() const { return m_noAccessView; }
    // The open settings page, else nullptr.
    SettingsView* settingsView() const { return m_settingsView; }
    // The cleans the settings page lists: the cleaner's own unless another is given here
    // (tests, the screenshot tool). Takes effect at the page's next opening.
    void useHistory(HistorySource& history) { m_history = &history; }
    IconButton* settingsButton() const { return m_settingsButton; }
    IconButton* quitButton() const { return m_quitButton; }

    // The most height the panel may take: the available height of the screen it opens on.
    // Unset, the panel's own screen decides.
    void setAvailableHeight(int height);
    int availableHeight() const;

  signals:
    // The power button was pressed: Vantor should quit, without asking.
    void quitRequested();
    // The panel took a new height for its page; a window hosting it can re-place itself.
    void sizeChanged(const QSize& size);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QWidget* buildHeader();
    void choosePage();
    void fitHeight();
    int naturalHeight() const;
    void applyTint();

    Cleaner& m_cleaner;
    AutoTidySettings& m_autoTidy;
    DesktopServices& m_services;
    HistorySource* m_history;
    bool m_showingSettings = false;
    bool m_scannedSinceShown = false;
    int m_availableHeight = 0;

    IconButton* m_settingsButton = nullptr;
    IconButton* m_quitButton = nullptr;
    FittingScrollArea* m_pageScroll = nullptr;
    QVBoxLayout* m_pageLayout = nullptr;
    CleanView* m_cleanView = nullptr;
    NoAccessView* m_noAccessView = nullptr;
    SettingsView* m_settingsView = nullptr;
};
