#pragma once

#include "widgets/DesktopServices.h"

#include <QElapsedTimer>
#include <QRect>
#include <QWidget>

class AutoTidySettings;
class Cleaner;
class PanelView;

// Hosts the panel: as a frameless popup beside the tray icon, which closes when another
// window takes the focus or on Escape, or, with no tray at all, as an ordinary small window
// titled "Vantor" that closing only hides. The panel reaches the desktop through the window:
// whatever opens another window (the rules window, the file manager) closes the popup
// first.
class PanelWindow : public QWidget, private DesktopServices {
    Q_OBJECT

  public:
    PanelWindow(Cleaner* cleaner, AutoTidySettings& autoTidy, DesktopServices& services,
                QWidget* parent = nullptr);

    PanelView* panel() const { return m_panel; }
    bool isPopup() const { return windowType() == Qt::Tool; }

    // Opens the popup at the icon (or, when the tray gives no geometry, at the cursor), or
    // closes it when it is open or was closed by this very click.
    void toggleAt(const QRect& iconGeometry);
    void showAt(const QRect& iconGeometry);
    void showAsWindow();

    // Where a popup of `size` goes for an anchor, kept inside `available`: below an anchor
    // in the upper half of the screen, above one in the lower half.
    static QPoint popupPosition(const QRect& anchor, const QSize& size, const QRect& available);

  signals:
    void quitRequested();
    // The panel went off screen.
    void closed();

  protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void useMode(Qt::WindowType type);
    void closePopup();

    void reveal(const QString& path, ShownCallback done) override;
    void openFolder(const QString& folder, ShownCallback done) override;
    // Brings the panel back where it was, to say that nothing could show a folder.
    ShownCallback reopenOnFailure(ShownCallback done);
    std::optional<QString> chooseFolder(QWidget* parent, const QString& message,
                                        const QString& startFolder) override;
    void showRules(TidiedFolders& folders, const QString& folderId) override;
    platform::Clock& clock() override { return m_services.clock(); }

    DesktopServices& m_services;

    PanelView* m_panel;
    QElapsedTimer m_sinceHidden;
    bool m_growUpwards = false;
    QRect m_lastAnchor;
};
