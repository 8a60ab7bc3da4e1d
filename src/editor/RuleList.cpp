#include "editor/RuleList.h"

#include "app/Accent.h"
#include "app/Symbols.h"
#include "app/TextStyles.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Around each row: inset of the rounded selection from the list's edges, and the room
// between the selection's edge and the row's content.
constexpr int rowInsetX = 8;
constexpr int rowInsetY = 1;
constexpr int contentPaddingX = 8;
constexpr int contentPaddingY = 4;
// Inside the row, as described: 2 above and below, 8 between symbol and text, an 18 wide
// symbol frame, 1 between the name and its subtitle.
constexpr int rowPaddingY = 2;
constexpr int symbolFrame = 18;
constexpr int symbolSize = 16;
constexpr int symbolGap = 8;
constexpr int lineGap = 1;

} // namespace

RuleListModel::RuleListModel(QObject* parent) : QAbstractListModel(parent) {}

void RuleListModel::reload(const QList<SortRule>& rules) {
    if (rules.size() != m_rules.size()) {
        beginResetModel();
        m_rules = rules;
        endResetModel();
        return;
    }
    m_rules = rules;
    if (!m_rules.isEmpty())
        emit dataChanged(index(0), index(int(m_rules.size()) - 1));
}

int RuleListModel::rowOf(const QUuid& id) const {
    for (int i = 0; i < m_rules.size(); ++i)
        if (m_rules.at(i).id == id)
            return i;
    return -1;
}

QUuid RuleListModel::idAt(int row) const {
    return row >= 0 && row < m_rules.size() ? m_rules.at(row).id : QUuid();
}

int RuleListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rules.size());
}

QVariant RuleListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rules.size())
        return {};
    const SortRule& rule = m_rules.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return displayName(rule);
    case Qt::ToolTipRole:
        return rule.destination;
    case IdRole:
        return rule.id;
    case SubtitleRole:
    case Qt::AccessibleDescriptionRole:
        return subtitle(rule);
    case SymbolRole:
        return rule.symbol;
    default:
        return {};
    }
}

QString RuleListModel::displayName(const SortRule& rule) {
    return rule.name.isEmpty() ? QStringLiteral("Untitled") : rule.name;
}

QString RuleListModel::subtitle(const SortRule& rule) {
    const qsizetype count = rule.extensions.size();
    if (count == 0)
        return QStringLiteral("No file types");
    return QString::number(count) + QStringLiteral(" file type") +
           (count == 1 ? QString() : QStringLiteral("s"));
}

void RuleRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QPalette& palette = option.palette;
    const bool selected = option.state & QStyle::State_Selected;
    const bool hovered = option.state & QStyle::State_MouseOver;

    const QRectF back = QRectF(option.rect).adjusted(rowInsetX, rowInsetY, -rowInsetX, -rowInsetY);
    if (selected || hovered) {
        QColor fill = ui::quillon();
        if (!selected) {
            fill = palette.color(QPalette::WindowText);
            fill.setAlphaF(0.06f);
        }
        QPainterPath shape;
        shape.addRoundedRect(back, 6, 6);
        painter->fillPath(shape, fill);
    }

    const QRect content = option.rect.adjusted(
        rowInsetX + contentPaddingX, rowInsetY + contentPaddingY + rowPaddingY,
        -(rowInsetX + contentPaddingX), -(rowInsetY + contentPaddingY + rowPaddingY));
    const QColor primary =
        selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::WindowText);
    QColor secondary =
        selected ? palette.color(QPalette::HighlightedText) : ui::secondaryColor(palette);
    if (selected)
        secondary.setAlphaF(0.8f);

    const QRect symbolRect(content.x() + (symbolFrame - symbolSize) / 2,
                           content.y() + (content.height() - symbolSize) / 2, symbolSize,
                           symbolSize);
    ui::symbolIcon(index.data(RuleListModel::SymbolRole).toString(),
                   selected ? primary : ui::quillon())
        .paint(painter, symbolRect);

    const QFont nameFont = ui::font(ui::TextStyle::Body);
    const QFont captionFont = ui::font(ui::TextStyle::Caption);
    const QFontMetrics nameMetrics(nameFont);
    const QFontMetrics captionMetrics(captionFont);
    const int textX = content.x() + symbolFrame + symbolGap;
    const int textWidth = content.right() + 1 - textX;
    const int blockHeight = nameMetrics.height() + lineGap + captionMetrics.height();
    const int top = content.y() + (content.height() - blockHeight) / 2;

    painter->setFont(nameFont);
    painter->setPen(primary);
    painter->drawText(
        QRect(textX, top, textWidth, nameMetrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        nameMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textWidth));
    painter->setFont(captionFont);
    painter->setPen(secondary);
    painter->drawText(
        QRect(textX, top + nameMetrics.height() + lineGap, textWidth, captionMetrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        captionMetrics.elidedText(index.data(RuleListModel::SubtitleRole).toString(),
                                  Qt::ElideRight, textWidth));
    painter->restore();
}

QSize RuleRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const int text = QFontMetrics(ui::font(ui::TextStyle::Body)).height() + lineGap +
                     QFontMetrics(ui::font(ui::TextStyle::Caption)).height();
    const int height = qMax(text, symbolSize) + 2 * (rowPaddingY + contentPaddingY + rowInsetY);
    return {option.rect.width(), height};
}
