#pragma once
// A ruler beside the plot: the axis range with "nice" tick values, the
// axis unit with its power-of-ten suffix, and the axis caption as its
// tooltip. Draws through a QPainter into its window or any other device
// (printing, images), with sizes taken from the device's resolution.
//
// FRuler itself asks for no room and draws nothing; FHRuler (x axis, along
// the top of the plot) and FVRuler (y axis, along its left edge) do.

#include <QFont>
#include <QWidget>
#include <string>

class QPaintDevice;
class QPainter;
class QRect;

class FRuler : public QWidget {
public:
    explicit FRuler(QWidget* parent = nullptr);

    // Stores the range; `redraw` repaints the ruler.
    void SetRange(double minimum, double maximum, bool redraw);
    double GetMinimum() const { return minimum_; }
    double GetMaximum() const { return maximum_; }
    // Texts in the system's bytes (Windows-1252); the caption becomes the
    // tooltip.
    void SetTexts(const std::string& unit, const std::string& caption);
    const std::string& GetUnit() const { return unit_; }
    const std::string& GetCaption() const { return caption_; }

    // The thickness the ruler asks for on `device`, in its pixels.
    virtual int Thickness(const QPaintDevice& device) const;
    // How many labels fit along the rectangle on `device` (at least 1 for
    // the rulers that have labels).
    virtual int MaxLabelCount(const QPaintDevice& device, const QRect& rect) const;
    // Draws the ruler into `rect` of the painter's device.
    virtual void Draw(QPainter& painter, const QRect& rect) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The label font for a device of `dots_per_inch`.
    static QFont LabelFont(int dots_per_inch);
    // The shared drawing of both rulers: background, frame, ticks, labels
    // and unit text, laid out by RulerLayout; `horizontal` picks the
    // ruler. `dots_per_inch` is the resolution the ruler measures by.
    void DrawScale(QPainter& painter, const QRect& rect, bool horizontal, int dots_per_inch) const;
    int LabelCount(const QPaintDevice& device, int extent, int thickness, int dots_per_inch) const;

private:
    double minimum_ = 1.0;
    double maximum_ = 100.0;
    std::string unit_;
    std::string caption_;
};
