#pragma once
// The y-axis ruler along the left edge of the plot: minimum at the bottom,
// text turned 90 degrees counter-clockwise, the unit text at the top.
// Thickness and font are measured by the device's horizontal resolution.

#include "graph/ui/f_ruler.h"

class FVRuler : public FRuler {
public:
    explicit FVRuler(QWidget* parent = nullptr) : FRuler(parent) {}

    int Thickness(const QPaintDevice& device) const override;
    int MaxLabelCount(const QPaintDevice& device, const QRect& rect) const override;
    void Draw(QPainter& painter, const QRect& rect) const override;
};
