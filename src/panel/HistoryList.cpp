#include "panel/HistoryList.h"

#include "panel/HistorySource.h"
#include "panel/RelativeDate.h"
#include "platform/Clock.h"
#include "widgets/FittingScrollArea.h"
#include "widgets/SmallButton.h"
#include "widgets/TextStyles.h"
#include "widgets/Translations.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

HistoryList::HistoryList(HistorySource& history, platform::Clock& clock, QWidget* parent)
    : QScrollArea(parent), m_history(history), m_clock(clock) {
    setObjectName(QStringLiteral("historyList"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto* content = new QWidget;
    m_rows = new QVBoxLayout(content);
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(8);
    m_empty = widgets::makeLabel(tr("No cleans yet"), widgets::TextStyle::Callout,
                                 widgets::Emphasis::Secondary);
    m_empty->setObjectName(QStringLiteral("noCleans"));
    m_rows->addWidget(m_empty);
    setWidget(content);
    // The page behind shows through (setWidget() made the content opaque).
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    FittingScrollArea::takeFocusOnlyWhenScrolling(this);
    content->installEventFilter(this);

    connect(&m_history, &HistorySource::entriesChanged, this, &HistoryList::refresh);
    connect(&m_history, &HistorySource::busyChanged, this, &HistoryList::applyBusy);
    refresh();
}

QWidget* HistoryList::makeRow(const DesktopCleaner::HistoryEntry& entry) {
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("historyRow"));

    const QString when =
        panel::relativeDateText(entry.date, m_clock.now(), widgets::interfaceLocale());
    auto* moved =
        widgets::makeLabel(tr("Moved %n files", nullptr, entry.moved), widgets::TextStyle::Callout);
    moved->setObjectName(QStringLiteral("historyMoved"));
    auto* detail = widgets::makeLabel(entry.automatic ? tr("%1 · automatic").arg(when) : when,
                                      widgets::TextStyle::Caption, widgets::Emphasis::Secondary);
    detail->setObjectName(QStringLiteral("historyDetail"));

    auto* text = new QVBoxLayout;
    text->setSpacing(1);
    text->addWidget(moved);
    text->addWidget(detail);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addLayout(text, 1);
    if (entry.undone) {
        auto* done = widgets::makeLabel(tr("Put back"), widgets::TextStyle::Caption,
                                        widgets::Emphasis::Secondary);
        done->setObjectName(QStringLiteral("historyPutBack"));
        layout->addWidget(done, 0, Qt::AlignVCenter);
    } else {
        auto* button = new SmallButton(tr("Put Back"));
        button->setObjectName(QStringLiteral("putBackButton"));
        // Read out with the clean it belongs to: a column of "Put Back" says nothing.
        button->setAccessibleName(tr("Put back %n files moved %1", nullptr, entry.moved).arg(when));
        const QString id = entry.id;
        connect(button, &QPushButton::clicked, this, [this, id] { m_history.putBack(id); });
        layout->addWidget(button, 0, Qt::AlignVCenter);
    }
    return row;
}

void HistoryList::refresh() {
    while (m_rows->count() > 1) {
        QLayoutItem* item = m_rows->takeAt(1);
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    const QList<DesktopCleaner::HistoryEntry> entries = m_history.entries();
    m_rowCount = int(entries.size());
    m_empty->setVisible(entries.isEmpty());
    for (const DesktopCleaner::HistoryEntry& entry : entries)
        m_rows->addWidget(makeRow(entry));
    applyBusy();
    updateGeometry();
    emit rowsChanged();
}

void HistoryList::applyBusy() {
    const bool busy = m_history.isBusy();
    for (QPushButton* button : putBackButtons())
        if (button)
            button->setEnabled(!busy);
}

QList<QPushButton*> HistoryList::putBackButtons() const {
    QList<QPushButton*> out;
    for (int i = 1; i < m_rows->count(); ++i)
        if (QWidget* row = m_rows->itemAt(i)->widget())
            out.append(row->findChild<QPushButton*>(QStringLiteral("putBackButton")));
    return out;
}

QString HistoryList::emptyText() const {
    return m_empty->isHidden() ? QString() : m_empty->text();
}

int HistoryList::compactHeight() const {
    // The first rows whole, then half a row as the sign that the list goes on.
    if (m_rowCount == 0)
        return m_empty->sizeHint().height() + 2 * frameWidth();
    int height = 0;
    for (int i = 1; i < m_rows->count() && i <= kRowsShown + 1; ++i) {
        const int row = m_rows->itemAt(i)->sizeHint().height();
        height += i <= kRowsShown ? row : row / 2;
        if (i > 1)
            height += m_rows->spacing();
    }
    return height + 2 * frameWidth();
}

int HistoryList::smallestHeight() const {
    if (m_rowCount == 0)
        return compactHeight();
    return m_rows->itemAt(1)->sizeHint().height() + 2 * frameWidth();
}

void HistoryList::setHeightLimit(int limit) {
    if (limit == m_limit)
        return;
    m_limit = limit;
    updateGeometry();
}

QSize HistoryList::sizeHint() const {
    const int compact = compactHeight();
    const int contentWidth = widget() ? widget()->sizeHint().width() : 0;
    return {contentWidth + verticalScrollBar()->sizeHint().width(),
            m_limit >= 0 ? qMin(compact, m_limit) : compact};
}

bool HistoryList::eventFilter(QObject* watched, QEvent* event) {
    // Rows came or went: the height asked for follows them.
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}
