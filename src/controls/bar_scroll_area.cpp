#include "controls/bar_scroll_area.h"

#include <QEvent>
#include <QScrollBar>
#include <algorithm>

BarScrollArea::BarScrollArea(QWidget* bar, QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidget(bar);
    // A longer row (a new lap's name) widens the bar: the dock follows.
    bar->installEventFilter(this);
}

QSize BarScrollArea::minimumSizeHint() const {
    const int bar = widget() != nullptr ? widget()->minimumSizeHint().width() : 0;
    return {bar + verticalScrollBar()->sizeHint().width(), verticalScrollBar()->minimumSizeHint().height()};
}

QSize BarScrollArea::sizeHint() const {
    const QSize bar = widget() != nullptr ? widget()->sizeHint() : QSize();
    return {std::max(bar.width(), minimumSizeHint().width()), bar.height()};
}

bool BarScrollArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget() && event->type() == QEvent::LayoutRequest) updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}
