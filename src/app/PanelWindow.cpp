#include "app/PanelWindow.h"

#include "panel/PanelView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kGap = 4;
// A click on the tray icon while the popup is open first closes the popup (a click
// outside it) and then activates the icon; that activation must not reopen it.
constexpr int kReopenGuardMs = 300;
} // namespace

PanelWindow::PanelWindow(Cleaner* cleaner, AutoTidySettings& autoTidy, DesktopServices& services,
                         QWidget* parent)
    : QWidget(parent), m_services(services),
      m_panel(new PanelView(*cleaner, autoTidy, static_cast<DesktopServices&>(*this), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize); // the window follows the panel's size
    layout->addWidget(m_panel);
    setWindowTitle(QStringLiteral("Vantor"));
    connect(m_panel, &PanelView::quitRequested, this, &PanelWindow::quitRequested);
    useMode(Qt::Tool);
}

void PanelWindow::closePopup() {
    if (isPopup())
        hide();
}

DesktopServices::ShownCallback PanelWindow::reopenOnFailure(ShownCallback done) {
    const bool wasPopup = isPopup();
    return [self = QPointer<PanelWindow>(this), wasPopup, done](bool shown) {
        // The popup closed for the file manager; with none to show, the panel comes back
        // with the message where the button was pressed.
        if (!shown && self && !self->isVisible()) {
            if (wasPopup)
                self->showAt(self->m_lastAnchor);
            else
                self->showAsWindow();
        }
        if (done)
            done(shown);
    };
}

void PanelWindow::reveal(const QString& path, ShownCallback done) {
    ShownCallback answer = reopenOnFailure(std::move(done));
    closePopup();
    m_services.reveal(path, std::move(answer));
}

void PanelWindow::openFolder(const QString& folder, ShownCallback done) {
    ShownCallback answer = reopenOnFailure(std::move(done));
    closePopup();
    m_services.openFolder(folder, std::move(answer));
}

std::optional<QString> PanelWindow::chooseFolder(QWidget* parent, const QString& message,
                                                 const QString& startFolder) {
    // The popup makes way for the dialog, which then belongs to no window, and comes back
    // after it where it was, to show what the choice came to.
    const bool reopen = isPopup() && isVisible();
    closePopup();
    const std::optional<QString> chosen =
        m_services.chooseFolder(reopen ? nullptr : parent, message, startFolder);
    if (reopen && !isVisible())
        showAt(m_lastAnchor);
    return chosen;
}

void PanelWindow::showRules(TidiedFolders& folders, const QString& folderId) {
    closePopup();
    m_services.showRules(folders, folderId);
}

void PanelWindow::useMode(Qt::WindowType type) {
    if (windowType() == type)
        return;
    // Not a Qt::Popup: a popup grabs the pointer, so the click outside it that closes it would
    // never reach the window it was meant for (Qt replays it only to its own widgets).
    setWindowFlags(type == Qt::Tool ? Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                                    : Qt::Window);
}

QPoint PanelWindow::popupPosition(const QRect& anchor, const QSize& size, const QRect& available) {
    const bool above = anchor.center().y() > available.center().y();
    int x = anchor.center().x() - size.width() / 2;
    int y = above ? anchor.top() - kGap - size.height() : anchor.bottom() + 1 + kGap;
    x = std::clamp(x, available.left(),
                   std::max(available.left(), available.right() + 1 - size.width()));
    y = std::clamp(y, available.top(),
                   std::max(available.top(), available.bottom() + 1 - size.height()));
    return {x, y};
}

void PanelWindow::toggleAt(const QRect& iconGeometry) {
    if (isVisible()) {
        hide();
        return;
    }
    if (m_sinceHidden.isValid() && m_sinceHidden.elapsed() < kReopenGuardMs)
        return;
    showAt(iconGeometry);
}

void PanelWindow::showAt(const QRect& iconGeometry) {
    if (isVisible() && !isPopup())
        hide();
    useMode(Qt::Tool);
    const QRect anchor = iconGeometry.isValid() && !iconGeometry.isEmpty()
                             ? iconGeometry
                             : QRect(QCursor::pos(), QSize(1, 1));
    m_lastAnchor = anchor;
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    m_growUpwards = anchor.center().y() > available.center().y();
    m_panel->setAvailableHeight(available.height());
    adjustSize();
    move(popupPosition(anchor, sizeHint(), available));
    show();
    activateWindow();
}

void PanelWindow::showAsWindow() {
    if (isVisible() && isPopup())
        hide();
    useMode(Qt::Window);
    m_growUpwards = false;
    if (const QScreen* on = screen())
        m_panel->setAvailableHeight(on->availableGeometry().height());
    show();
    raise();
    activateWindow();
}

void PanelWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!isPopup())
        return;
    // Without a window frame the popup needs an edge of its own against whatever is behind.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PanelWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A click elsewhere gave another window the focus, and went on to it.
    if (event->type() == QEvent::ActivationChange && isPopup() && isVisible() && !isActiveWindow())
        hide();
}

void PanelWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && isPopup())
        hide();
    else
        QWidget::keyPressEvent(event);
}

void PanelWindow::hideEvent(QHideEvent* event) {
    m_sinceHidden.start();
    QWidget::hideEvent(event);
    emit closed();
}

void PanelWindow::resizeEvent(QResizeEvent* event) {
    // A popup above the icon keeps its bottom edge by the icon as its content grows.
    if (isPopup() && isVisible() && m_growUpwards && event->oldSize().isValid())
        move(x(), y() + event->oldSize().height() - height());
    QWidget::resizeEvent(event);
}
