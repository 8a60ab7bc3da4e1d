#include "panel/StatusLine.h"

#include "cleaner/Cleaner.h"
#include "panel/RelativeDate.h"
#include "widgets/Colors.h"
#include "widgets/DesktopServices.h"
#include "widgets/SmallButton.h"
#include "widgets/SymbolView.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"
#include "widgets/Translations.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QShortcut>

namespace {

constexpr int kSymbolSize = 14;

} // namespace

StatusLine::StatusLine(Cleaner& cleaner, DesktopServices& services, QWidget* parent)
    : QWidget(parent), m_cleaner(cleaner), m_services(services) {
    m_symbol = new SymbolView(QStringLiteral("checkmark.circle.fill"), kSymbolSize,
                              SymbolView::Tint::Custom);
    m_label = new QLabel;
    m_label->setObjectName(QStringLiteral("statusText"));
    m_label->setTextFormat(Qt::RichText);
    m_label->setWordWrap(true);

    m_undo = new SmallButton(tr("Undo"));
    m_undo->setObjectName(QStringLiteral("undoButton"));
    // Made by the button, so it only acts while the button is on screen.
    auto* undoShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), m_undo);
    connect(undoShortcut, &QShortcut::activated, m_undo, &QPushButton::click);
    connect(m_undo, &QPushButton::clicked, this, [this] { m_cleaner.startUndo(); });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    // The words keep their own height, centred on the Undo button beside them, and the
    // symbol stays level with their first line; stretched to the button's height, the
    // label would centre its text lower than the symbol.
    auto* words = new QHBoxLayout;
    words->setSpacing(6);
    words->addWidget(m_symbol, 0, Qt::AlignTop);
    words->addWidget(m_label, 1);
    layout->addLayout(words, 1);
    layout->setAlignment(words, Qt::AlignVCenter);
    layout->addWidget(m_undo);

    // Every rescan, the one made when the panel opens included, also renews the date.
    connect(&m_cleaner, &Cleaner::scanChanged, this, &StatusLine::refresh);
    connect(&m_cleaner, &Cleaner::statusChanged, this, &StatusLine::refresh);
    connect(&m_cleaner, &Cleaner::lastCleanChanged, this, &StatusLine::refresh);
    connect(&m_cleaner, &Cleaner::noticeChanged, this, &StatusLine::refresh);
    connect(&m_cleaner, &Cleaner::busyChanged, this, [this](bool busy) {
        if (busy)
            m_done = m_total = 0;
        refresh();
    });
    connect(&m_cleaner, &Cleaner::progress, this, [this](int done, int total) {
        m_done = done;
        m_total = total;
        refresh();
    });
    connect(&Appearance::instance(), &Appearance::changed, this, &StatusLine::refresh);
    refresh();
}

QString StatusLine::text() const {
    return isHidden() ? QString() : m_plain + m_failure;
}

void StatusLine::refresh() {
    using Kind = Cleaner::Status::Kind;
    const Cleaner::Status& status = m_cleaner.status();
    const auto& record = m_cleaner.lastClean();

    m_plain.clear();
    m_failure.clear();
    bool showSymbol = false;
    bool showUndo = record.has_value();
    widgets::TextStyle style = widgets::TextStyle::Callout;
    widgets::Emphasis emphasis = widgets::Emphasis::Primary;

    const QString notice = Cleaner::noticeText(m_cleaner.notice());
    if (m_cleaner.isBusy()) {
        // Counted as the work goes; nothing to undo until it is done.
        showUndo = false;
        emphasis = widgets::Emphasis::Secondary;
        if (m_total > 0) {
            const QLocale locale = widgets::interfaceLocale();
            const QString done = locale.toString(m_done), total = locale.toString(m_total);
            m_plain = m_cleaner.isUndoing() ? tr("Putting back %1 of %2…").arg(done, total)
                                            : tr("Moving %1 of %2…").arg(done, total);
        }
    } else if (!notice.isEmpty()) {
        // Nothing was done: say why, in the colour of a failure.
        showSymbol = true;
        m_failure = notice;
        m_symbol->setSymbol(QStringLiteral("exclamationmark.triangle.fill"));
        m_symbol->setColor(widgets::warningOrange());
    } else
        switch (status.kind) {
        case Kind::Cleaned:
            showSymbol = true;
            m_plain = status.moved() == 0 ? tr("Nothing was moved")
                                          : tr("Moved %n files", nullptr, status.moved());
            if (status.recordStopped) {
                m_failure = QStringLiteral(" · ") + Cleaner::recordStoppedText();
                m_symbol->setSymbol(QStringLiteral("exclamationmark.triangle.fill"));
                m_symbol->setColor(widgets::warningOrange());
            } else if (status.failed >= 1) {
                m_failure =
                    u' ' + (status.inUse >= status.failed
                                ? tr("· %n couldn't be moved: in use", nullptr, status.failed)
                                : tr("· %n couldn't be moved", nullptr, status.failed));
                m_symbol->setSymbol(QStringLiteral("exclamationmark.triangle.fill"));
                m_symbol->setColor(widgets::warningOrange());
            } else {
                m_symbol->setSymbol(QStringLiteral("checkmark.circle.fill"));
                m_symbol->setColor(widgets::successGreen());
            }
            break;
        case Kind::Undone:
            showSymbol = true;
            showUndo = false;
            emphasis = widgets::Emphasis::Secondary;
            m_plain = tr("Put back %n files.", nullptr, status.restored());
            if (status.failed >= 1)
                m_plain += u' ' + tr("%n were missing.", nullptr, status.failed);
            m_symbol->setSymbol(QStringLiteral("arrow.uturn.backward.circle.fill"));
            m_symbol->setTint(SymbolView::Tint::Secondary);
            break;
        case Kind::Idle:
        case Kind::NoAccess:
            if (record) {
                style = widgets::TextStyle::Caption;
                emphasis = widgets::Emphasis::Secondary;
                m_plain = tr("Last clean moved %n files %1", nullptr, int(record->moves.size()))
                              .arg(panel::relativeDateText(record->date, m_services.clock().now(),
                                                           widgets::interfaceLocale()));
            }
            break;
        }

    // When the line must wrap, a failure part after the counts moves down whole rather than
    // splitting; a notice alone wraps as any sentence.
    QString html = m_plain.toHtmlEscaped();
    if (!m_failure.isEmpty()) {
        const QString failure =
            m_plain.isEmpty()
                ? m_failure.toHtmlEscaped()
                : m_failure.mid(1).toHtmlEscaped().replace(u' ', QStringLiteral("&nbsp;"));
        html += QStringLiteral("%1<span style=\"color:%2\">%3</span>")
                    .arg(m_plain.isEmpty() ? QString() : QStringLiteral(" "),
                         widgets::warningOrange().name(), failure);
    }
    m_label->setText(html);
    m_label->setFont(widgets::font(style));
    widgets::setEmphasis(m_label, emphasis);
    // The symbol stays level with the first line when the words wrap.
    m_symbol->setFixedSize(kSymbolSize, qMax(kSymbolSize, QFontMetrics(m_label->font()).height()));

    m_symbol->setVisible(showSymbol);
    m_undo->setVisible(showUndo);
    setVisible(!m_plain.isEmpty() || !m_failure.isEmpty());
}
