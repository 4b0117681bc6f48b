#include "graph/ui/f_v_ruler.h"

#include <QPaintDevice>
#include <QPainter>
#include <QRect>

#include "graph/ruler_layout.h"

int FVRuler::Thickness(const QPaintDevice& device) const { return RulerLayout::Thickness(device.logicalDpiX()); }

int FVRuler::MaxLabelCount(const QPaintDevice& device, const QRect& rect) const {
    return LabelCount(device, rect.height(), Thickness(device), device.logicalDpiX());
}

void FVRuler::Draw(QPainter& painter, const QRect& rect) const {
    DrawScale(painter, rect, false, painter.device()->logicalDpiX());
}
