#include "graph/ui/f_h_ruler.h"

#include <QPaintDevice>
#include <QPainter>
#include <QRect>

#include "graph/ruler_layout.h"

int FHRuler::Thickness(const QPaintDevice& device) const { return RulerLayout::Thickness(device.logicalDpiY()); }

int FHRuler::MaxLabelCount(const QPaintDevice& device, const QRect& rect) const {
    return LabelCount(device, rect.width(), Thickness(device), device.logicalDpiY());
}

void FHRuler::Draw(QPainter& painter, const QRect& rect) const {
    DrawScale(painter, rect, true, painter.device()->logicalDpiY());
}
