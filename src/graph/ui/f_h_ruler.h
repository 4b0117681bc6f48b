#pragma once
// The x-axis ruler along the top of the plot: minimum at the left, labels
// above the ticks, the unit text at the right end. Thickness and font are
// measured by the device's vertical resolution.

#include "graph/ui/f_ruler.h"

class FHRuler : public FRuler {
public:
    explicit FHRuler(QWidget* parent = nullptr) : FRuler(parent) {}

    int Thickness(const QPaintDevice& device) const override;
    int MaxLabelCount(const QPaintDevice& device, const QRect& rect) const override;
    void Draw(QPainter& painter, const QRect& rect) const override;
};
