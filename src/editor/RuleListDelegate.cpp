#include "editor/RuleListDelegate.h"

#include "editor/RuleListModel.h"
#include "widgets/Colors.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Around each row: inset of the rounded selection from the list's edges, and the room
// between the selection's edge and the row's content.
constexpr int kRowInsetX = 8;
constexpr int kRowInsetY = 1;
constexpr int kContentPaddingX = 8;
constexpr int kContentPaddingY = 4;
// Inside the row, as described: 2 above and below, 8 between symbol and text, an 18 wide
// symbol frame, 1 between the name and its subtitle.
constexpr int kRowPaddingY = 2;
constexpr int kSymbolFrame = 18;
constexpr int kSymbolSize = 16;
constexpr int kSymbolGap = 8;
constexpr int kLineGap = 1;

} // namespace

void RuleListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QPalette& palette = option.palette;
    const bool selected = option.state & QStyle::State_Selected;
    const bool hovered = option.state & QStyle::State_MouseOver;

    const QRectF back =
        QRectF(option.rect).adjusted(kRowInsetX, kRowInsetY, -kRowInsetX, -kRowInsetY);
    if (selected || hovered) {
        QColor fill = selectionFill();
        if (!selected) {
            fill = palette.color(QPalette::WindowText);
            fill.setAlphaF(0.06f);
        }
        QPainterPath shape;
        shape.addRoundedRect(back, 6, 6);
        painter->fillPath(shape, fill);
    }

    const QRect content = option.rect.adjusted(
        kRowInsetX + kContentPaddingX, kRowInsetY + kContentPaddingY + kRowPaddingY,
        -(kRowInsetX + kContentPaddingX), -(kRowInsetY + kContentPaddingY + kRowPaddingY));
    const QColor primary =
        selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::WindowText);
    const QColor secondary = subtitleColor(palette, selected);

    const QRect symbolRect(content.x() + (kSymbolFrame - kSymbolSize) / 2,
                           content.y() + (content.height() - kSymbolSize) / 2, kSymbolSize,
                           kSymbolSize);
    widgets::symbolIcon(index.data(RuleListModel::SymbolRole).toString(),
                        selected ? primary : widgets::quillon())
        .paint(painter, symbolRect);

    const QFont nameFont = widgets::font(widgets::TextStyle::Body);
    const QFont captionFont = widgets::font(widgets::TextStyle::Caption);
    const QFontMetrics nameMetrics(nameFont);
    const QFontMetrics captionMetrics(captionFont);
    const int textX = content.x() + kSymbolFrame + kSymbolGap;
    const int textWidth = content.right() + 1 - textX;
    const int blockHeight = nameMetrics.height() + kLineGap + captionMetrics.height();
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
        QRect(textX, top + nameMetrics.height() + kLineGap, textWidth, captionMetrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        captionMetrics.elidedText(index.data(RuleListModel::SubtitleRole).toString(),
                                  Qt::ElideRight, textWidth));
    painter->restore();
}

QColor RuleListDelegate::selectionFill() {
    return widgets::accentFill();
}

QColor RuleListDelegate::subtitleColor(const QPalette& palette, bool selected) {
    // On the selection, the full text colour: a paler white falls below 4.5:1 on the accent.
    return selected ? palette.color(QPalette::HighlightedText) : widgets::secondaryColor(palette);
}

QSize RuleListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const int text = QFontMetrics(widgets::font(widgets::TextStyle::Body)).height() + kLineGap +
                     QFontMetrics(widgets::font(widgets::TextStyle::Caption)).height();
    const int height = qMax(text, kSymbolSize) + 2 * (kRowPaddingY + kContentPaddingY + kRowInsetY);
    return {option.rect.width(), height};
}
