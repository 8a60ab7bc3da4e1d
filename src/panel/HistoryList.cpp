#include "panel/HistoryList.h"

#include "panel/HistorySource.h"
#include "panel/RelativeDate.h"
#include "platform/Clock.h"
#include "platform/Timer.h"
#include "widgets/FittingScrollArea.h"
#include "widgets/SmallButton.h"
#include "widgets/TextStyles.h"
#include "widgets/Translations.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr qint64 kSecondMs = 1000;
constexpr qint64 kMinuteMs = 60 * kSecondMs;

// How long until a date this old reads differently: its words count seconds for the first
// minute, and from then on change only at whole minutes of its age.
qint64 untilNextChangeMs(qint64 ageMs) {
    if (ageMs < 0)
        return kSecondMs;
    const qint64 step = ageMs < kMinuteMs ? kSecondMs : kMinuteMs;
    return step - ageMs % step;
}

// The time alone when it was today, and the day too when it was not: a time of yesterday
// read as today's would mislead. In the user's own formats, as the clock shows them.
QString putBackTime(const QDateTime& at, const QDateTime& now) {
    const QLocale formats;
    const QDateTime local = at.toLocalTime();
    const QDate today = now.toLocalTime().date();
    const QString time = formats.toString(local.time(), QLocale::ShortFormat);
    if (local.date() == today)
        return time;
    const QString day = local.date() == today.addDays(-1)
                            ? panel::relativeDateText(local.date().startOfDay(), today.startOfDay(),
                                                      widgets::interfaceLocale())
                            : formats.toString(local.date(), QLocale::ShortFormat);
    return HistoryList::tr("%1, %2", "a day, then a time").arg(day, time);
}

} // namespace

HistoryList::HistoryList(HistorySource& history, platform::Clock& clock, QWidget* parent)
    : QScrollArea(parent), m_history(history), m_clock(clock), m_dateTimer(clock.makeTimer()) {
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

    connect(m_dateTimer.get(), &platform::Timer::timeout, this, &HistoryList::updateDates);
    connect(&m_history, &HistorySource::entriesChanged, this, &HistoryList::refresh);
    connect(&m_history, &HistorySource::busyChanged, this, &HistoryList::applyBusy);
    refresh();
}

HistoryList::~HistoryList() = default;

QWidget* HistoryList::makeRow(const CleanSummary& entry) {
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("historyRow"));

    auto* moved =
        widgets::makeLabel(tr("Moved %n files", nullptr, entry.moved), widgets::TextStyle::Callout);
    moved->setObjectName(QStringLiteral("historyMoved"));
    auto* detail =
        widgets::makeLabel(QString(), widgets::TextStyle::Caption, widgets::Emphasis::Secondary);
    detail->setObjectName(QStringLiteral("historyDetail"));

    auto* text = new QVBoxLayout;
    text->setSpacing(1);
    text->addWidget(moved);
    text->addWidget(detail);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addLayout(text, 1);
    // A clean put back says so in its second line: a word where the buttons are would read
    // as one of them, switched off.
    if (!entry.undone) {
        auto* button = new SmallButton(tr("Put Back"));
        button->setObjectName(QStringLiteral("putBackButton"));
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
    m_entries = m_history.entries();
    m_rowCount = int(m_entries.size());
    m_empty->setVisible(m_entries.isEmpty());
    for (const CleanSummary& entry : std::as_const(m_entries))
        m_rows->addWidget(makeRow(entry));
    updateDates();
    applyBusy();
    updateGeometry();
    emit rowsChanged();
}

void HistoryList::updateDates() {
    const QDateTime now = m_clock.now();
    qint64 nextChangeMs = -1;
    for (int i = 1; i < m_rows->count(); ++i) {
        QWidget* row = m_rows->itemAt(i)->widget();
        const CleanSummary& entry = m_entries.at(i - 1);
        const QString when = panel::relativeDateText(entry.date, now, widgets::interfaceLocale());
        QString detail;
        if (entry.undone && entry.putBackAt.isValid()) {
            const QString putBack = tr("Put back %1").arg(putBackTime(entry.putBackAt, now));
            detail = entry.automatic ? tr("%1 · automatic").arg(putBack) : putBack;
        } else {
            // Put back by a version that kept no time of it: the date is the clean's.
            detail = (entry.automatic
                          ? (entry.undone ? tr("%1 · automatic · put back") : tr("%1 · automatic"))
                          : (entry.undone ? tr("%1 · put back") : QStringLiteral("%1")))
                         .arg(when);
        }
        row->findChild<QLabel*>(QStringLiteral("historyDetail"))->setText(detail);
        // Read out with the clean it belongs to: a column of "Put Back" says nothing.
        if (auto* button = row->findChild<QPushButton*>(QStringLiteral("putBackButton")))
            button->setAccessibleName(
                tr("Put back %n files moved %1", nullptr, entry.moved).arg(when));
        const qint64 untilMs = untilNextChangeMs(entry.date.msecsTo(now));
        if (nextChangeMs < 0 || untilMs < nextChangeMs)
            nextChangeMs = untilMs;
    }
    // Only a list on screen keeps waking up; showing it again brings it up to date.
    if (nextChangeMs >= 0 && isVisible())
        m_dateTimer->start(int(nextChangeMs));
    else
        m_dateTimer->stop();
}

void HistoryList::showEvent(QShowEvent* event) {
    QScrollArea::showEvent(event);
    updateDates();
}

void HistoryList::hideEvent(QHideEvent* event) {
    QScrollArea::hideEvent(event);
    m_dateTimer->stop();
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
