#include "widgets/SymbolView.h"

#include "widgets/Appearance.h"
#include "widgets/Colors.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QPainter>

SymbolView::SymbolView(const QString& symbol, int pixelSize, Tint tint, QWidget* parent)
    : QWidget(parent), m_symbol(symbol), m_pixelSize(pixelSize), m_tint(tint) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(&Appearance::instance(), &Appearance::changed, this, qOverload<>(&QWidget::update));
}

void SymbolView::setSymbol(const QString& symbol) {
    m_symbol = symbol;
    update();
}

void SymbolView::setTint(Tint tint) {
    m_tint = tint;
    update();
}

void SymbolView::setColor(const QColor& color) {
    m_color = color;
    m_tint = Tint::Custom;
    update();
}

QColor SymbolView::color() const {
    switch (m_tint) {
    case Tint::Accent:
        return widgets::quillon();
    case Tint::Primary:
        return palette().color(QPalette::WindowText);
    case Tint::Secondary:
        return widgets::secondaryColor(palette());
    case Tint::Custom:
        break;
    }
    return m_color;
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect box((width() - m_pixelSize) / 2, (height() - m_pixelSize) / 2, m_pixelSize,
                    m_pixelSize);
    widgets::symbolIcon(m_symbol, color())
        .paint(&painter, box, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
}
