#include "panel/PanelView.h"

#include "cleaner/Cleaner.h"
#include "panel/CleanView.h"
#include "panel/CleanerHistorySource.h"
#include "panel/HistoryList.h"
#include "panel/NoAccessView.h"
#include "panel/SettingsView.h"
#include "widgets/Accessibility.h"
#include "widgets/Colors.h"
#include "widgets/DesktopServices.h"
#include "widgets/Divider.h"
#include "widgets/FittingScrollArea.h"
#include "widgets/IconButton.h"
#include "widgets/PrimaryButton.h"
#include "widgets/SymbolView.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kHeaderSymbolSize = 16;
constexpr int kHeaderButtonFrame = 20;
constexpr int kHeaderButtonIcon = 16;

IconButton* headerButton(const QString& objectName) {
    auto* button = new IconButton;
    button->setObjectName(objectName);
    button->setFixedSize(kHeaderButtonFrame, kHeaderButtonFrame);
    button->setIconSize(QSize(kHeaderButtonIcon, kHeaderButtonIcon));
    return button;
}

} // namespace

PanelView::PanelView(Cleaner& cleaner, AutoTidySettings& autoTidy, DesktopServices& services,
                     QWidget* parent)
    : QWidget(parent), m_cleaner(cleaner), m_autoTidy(autoTidy), m_services(services),
      m_history(new CleanerHistorySource(cleaner, this)) {
    widgets::installAccessibility();
    setFixedWidth(kPanelWidth);
    setWindowTitle(tr("Vantor"));

    // Return goes to the focused button, else to Clean Desktop: the panel itself holds the
    // focus while no button has it, and it is what a screen reader announces on opening.
    setFocusPolicy(Qt::ClickFocus);
    setAccessibleName(windowTitle());
    // Built first, so Tab reaches the header's buttons before the page's, as they are read.
    QWidget* header = buildHeader();

    auto* pageArea = new QWidget;
    pageArea->setObjectName(QStringLiteral("pageArea"));
    m_pageLayout = new QVBoxLayout(pageArea);
    m_pageLayout->setContentsMargins(16, 16, 16, 16);
    m_pageLayout->setSpacing(0);
    m_cleanView = new CleanView(m_cleaner, m_services);
    m_noAccessView = new NoAccessView(m_cleaner, m_services);
    m_pageLayout->addWidget(m_cleanView);
    m_pageLayout->addWidget(m_noAccessView);
    m_pageScroll = new FittingScrollArea(pageArea);
    m_pageScroll->setObjectName(QStringLiteral("pageScroll"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addWidget(new Divider(Qt::Horizontal));
    layout->addWidget(m_pageScroll);

    connect(&m_cleaner, &Cleaner::statusChanged, this, &PanelView::choosePage);
    connect(&Appearance::instance(), &Appearance::changed, this, &PanelView::applyTint);
    applyTint();
    choosePage();
}

QWidget* PanelView::buildHeader() {
    auto* header = new QWidget;
    header->setObjectName(QStringLiteral("header"));

    auto* symbol = new SymbolView(QStringLiteral("tray.and.arrow.down.fill"), kHeaderSymbolSize,
                                  SymbolView::Tint::Accent);
    auto* name = widgets::makeLabel(QStringLiteral("Vantor"), widgets::TextStyle::Headline);

    m_settingsButton = headerButton(QStringLiteral("settingsButton"));
    connect(m_settingsButton, &QToolButton::clicked, this,
            [this] { setShowingSettings(!m_showingSettings); });

    m_quitButton = headerButton(QStringLiteral("quitButton"));
    m_quitButton->setSymbol(QStringLiteral("power"), tr("Quit Vantor"));
    connect(m_quitButton, &QToolButton::clicked, this, &PanelView::quitRequested);

    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(8);
    layout->addWidget(symbol);
    layout->addWidget(name);
    layout->addStretch(1);
    layout->addWidget(m_settingsButton);
    layout->addWidget(m_quitButton);
    return header;
}

PanelView::Page PanelView::currentPage() const {
    if (m_showingSettings)
        return Page::Settings;
    if (m_cleaner.status().kind == Cleaner::Status::Kind::NoAccess)
        return Page::NoAccess;
    return Page::Clean;
}

void PanelView::setShowingSettings(bool on) {
    if (on == m_showingSettings)
        return;
    m_showingSettings = on;
    if (on) {
        // Made afresh on every opening: the login switch reads the state that holds now and
        // an earlier failure message is gone.
        m_settingsView = new SettingsView(m_cleaner, m_autoTidy, *m_history, m_services);
        connect(m_settingsView, &SettingsView::done, this, [this] { setShowingSettings(false); });
        m_pageLayout->addWidget(m_settingsView);
    } else if (m_settingsView) {
        // Later: this runs from inside the page's own Done button.
        m_pageLayout->removeWidget(m_settingsView);
        m_settingsView->hide();
        m_settingsView->deleteLater();
        m_settingsView = nullptr;
    }
    choosePage();
}

void PanelView::choosePage() {
    const Page page = currentPage();
    m_cleanView->setVisible(page == Page::Clean);
    m_noAccessView->setVisible(page == Page::NoAccess);
    if (m_settingsView)
        m_settingsView->setVisible(page == Page::Settings);

    const bool settings = page == Page::Settings;
    m_settingsButton->setSymbol(settings ? QStringLiteral("xmark") : QStringLiteral("gearshape"),
                                settings ? tr("Close settings") : tr("Settings"));
    fitHeight();
}

void PanelView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Once for each time the panel comes on screen, whether Qt reports the showing once or
    // also again when the window system maps it.
    if (!m_scannedSinceShown) {
        m_scannedSinceShown = true;
        m_cleaner.rescan();
        // No button has the focus on opening: Return means Clean Desktop until Tab moves on.
        setFocus(Qt::OtherFocusReason);
    }
    fitHeight();
}

void PanelView::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A focused button that let Return pass (push buttons outside dialogs, tool buttons)
    // is pressed, as Space would press it.
    if (auto* button = qobject_cast<QAbstractButton*>(focusWidget());
        button && isAncestorOf(button)) {
        if (button->isEnabled())
            button->click();
        return;
    }
    if (currentPage() == Page::Clean && m_cleanView->cleanButton()->isEnabled())
        m_cleanView->cleanButton()->click();
}

void PanelView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_scannedSinceShown = false;
}

bool PanelView::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // A page that grew or shrank (rows, a wrapped line, the status line) asks for a new
    // layout; the panel's height follows it.
    if (event->type() == QEvent::LayoutRequest)
        fitHeight();
    return handled;
}

void PanelView::setAvailableHeight(int height) {
    m_availableHeight = height;
    fitHeight();
}

int PanelView::availableHeight() const {
    if (m_availableHeight > 0)
        return m_availableHeight;
    const QScreen* on = screen();
    return on ? on->availableGeometry().height() : QWIDGETSIZE_MAX;
}

int PanelView::naturalHeight() const {
    const QLayout* top = layout();
    return top->hasHeightForWidth() ? top->totalHeightForWidth(kPanelWidth)
                                    : top->totalSizeHint().height();
}

void PanelView::fitHeight() {
    // The page's list (the clean page's rows, the settings page's rules) gives up what the
    // screen cannot hold, down to a few lines; then the settings page's history, down to
    // one clean. The rest of the page stays in view, unless the screen is too short even
    // for that (a large scale on a small screen): then the whole page scrolls, rather than
    // squeeze its switches and buttons.
    FittingScrollArea* list = nullptr;
    for (FittingScrollArea* area : findChildren<FittingScrollArea*>())
        if (area != m_pageScroll && area->isVisibleTo(this))
            list = area;
    HistoryList* history = m_settingsView && m_settingsView->isVisibleTo(this)
                               ? m_settingsView->historyList()
                               : nullptr;
    // The height with the page whole, however much of it scrolled before: the page's part
    // as the layout last measured it, swapped for what the page needs now.
    const auto wholeHeight = [this] {
        const QLayoutItem* page = layout()->itemAt(layout()->indexOf(m_pageScroll));
        return naturalHeight() - page->sizeHint().height() + m_pageScroll->naturalHeight();
    };
    int height = wholeHeight();
    const int limit = availableHeight();
    // How far the page with both lists whole would pass the screen.
    int excess = height - limit;
    if (list)
        excess += list->naturalHeight() - list->sizeHint().height();
    if (history)
        excess += history->compactHeight() - history->sizeHint().height();

    bool limited = false;
    // Measure again now rather than a layout pass later, once every box between the list
    // and the panel has forgotten its old size.
    const auto remeasure = [this](QWidget* from) {
        for (QWidget* widget = from; widget && widget != this; widget = widget->parentWidget())
            widget->updateGeometry();
    };
    if (list) {
        const int natural = list->naturalHeight();
        const int smallest = qMin(natural, 3 * fontMetrics().height());
        const int wanted = excess > 0 ? qMax(smallest, natural - excess) : -1;
        if (wanted >= 0)
            excess -= natural - wanted;
        if (wanted != list->heightLimit()) {
            list->setHeightLimit(wanted);
            remeasure(list);
            limited = true;
        }
    }
    if (history) {
        const int compact = history->compactHeight();
        const int smallest = qMin(compact, history->smallestHeight());
        const int wanted = excess > 0 ? qMax(smallest, compact - excess) : -1;
        if (wanted != history->heightLimit()) {
            history->setHeightLimit(wanted);
            remeasure(history);
            limited = true;
        }
    }
    if (limited)
        height = wholeHeight();
    const int pageNatural = m_pageScroll->naturalHeight();
    const int pageWanted = height > limit ? qMax(0, pageNatural - (height - limit)) : -1;
    if (pageWanted != m_pageScroll->heightLimit())
        m_pageScroll->setHeightLimit(pageWanted);
    if (pageWanted >= 0)
        height -= pageNatural - pageWanted;
    height = qMin(height, limit);
    if (height == minimumHeight() && height == maximumHeight())
        return;
    setFixedHeight(height);
    emit sizeChanged(size());
}

void PanelView::applyTint() {
    // Checked switches, selections and links inside the panel take the accent.
    QPalette tinted = palette();
    tinted.setColor(QPalette::Highlight, widgets::quillon());
    tinted.setColor(QPalette::HighlightedText, Qt::white);
    tinted.setColor(QPalette::Link, widgets::quillon());
    setPalette(tinted);
    update();
}
