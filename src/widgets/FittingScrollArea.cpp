#include "widgets/FittingScrollArea.h"

#include <QEvent>
#include <QScrollBar>

FittingScrollArea::FittingScrollArea(QWidget* content, QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setWidget(content);
    // The page behind shows through (setWidget() made the content opaque).
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    takeFocusOnlyWhenScrolling(this);
    // Rows come and go: the height this area asks for follows them.
    content->installEventFilter(this);
}

void FittingScrollArea::takeFocusOnlyWhenScrolling(QAbstractScrollArea* area) {
    area->setFocusPolicy(Qt::NoFocus);
    QObject::connect(area->verticalScrollBar(), &QScrollBar::rangeChanged, area,
                     [area](int, int maximum) {
                         area->setFocusPolicy(maximum > 0 ? Qt::StrongFocus : Qt::NoFocus);
                     });
}

int FittingScrollArea::naturalHeight() const {
    const QWidget* content = widget();
    if (!content)
        return 0;
    const int width = viewport()->width() > 0 ? viewport()->width() : content->sizeHint().width();
    const int height = content->hasHeightForWidth() ? content->heightForWidth(width)
                                                    : content->sizeHint().height();
    return height + 2 * frameWidth();
}

void FittingScrollArea::setHeightLimit(int limit) {
    if (limit == m_limit)
        return;
    m_limit = limit;
    updateGeometry();
}

QSize FittingScrollArea::sizeHint() const {
    const int natural = naturalHeight();
    const QSize content = widget() ? widget()->sizeHint() : QSize();
    return {content.width() + verticalScrollBar()->sizeHint().width(),
            m_limit >= 0 ? qMin(natural, m_limit) : natural};
}

QSize FittingScrollArea::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

bool FittingScrollArea::eventFilter(QObject* watched, QEvent* event) {
    // Rows came or went: the height this area asks for follows them.
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}
