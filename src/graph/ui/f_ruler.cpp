#include "graph/ui/f_ruler.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QRect>

#include "graph/ruler_layout.h"
#include "interaction/ui/text_codec.h"

namespace {

const QColor kFace(0xC0, 0xC0, 0xC0);

QPen CosmeticPen(const QColor& colour) {
    QPen pen(colour, 0, Qt::SolidLine);
    pen.setCosmetic(true);
    return pen;
}

}  // namespace

FRuler::FRuler(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FRuler::SetRange(double minimum, double maximum, bool redraw) {
    minimum_ = minimum;
    maximum_ = maximum;
    if (redraw) update();
}

void FRuler::SetTexts(const std::string& unit, const std::string& caption) {
    unit_ = unit;
    caption_ = caption;
    setToolTip(FromWindows1252(caption));
}

int FRuler::Thickness(const QPaintDevice&) const { return 0; }

int FRuler::MaxLabelCount(const QPaintDevice&, const QRect&) const { return 0; }

void FRuler::Draw(QPainter&, const QRect&) const {}

void FRuler::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Draw(painter, rect());
}

QFont FRuler::LabelFont(int dots_per_inch) {
    QFont font;
    font.setPixelSize(RulerLayout::FontHeight(dots_per_inch));
    return font;
}

int FRuler::LabelCount(const QPaintDevice& device, int extent, int thickness, int dots_per_inch) const {
    const QFontMetrics metrics(LabelFont(dots_per_inch), &device);
    return RulerLayout::MaxLabelCount(extent, thickness, metrics.horizontalAdvance(QStringLiteral("9.99 ")));
}

void FRuler::DrawScale(QPainter& painter, const QRect& rect, bool horizontal, int dots_per_inch) const {
    const int l = rect.left();
    const int t = rect.top();
    const int r = rect.left() + rect.width();
    const int b = rect.top() + rect.height();
    const int r1 = r - 1;
    const int b1 = b - 1;
    QPaintDevice& device = *painter.device();
    const int thick = Thickness(device);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(l, t, r - l, b - t), kFace);
    const QPen black = CosmeticPen(Qt::black);
    const QPen white = CosmeticPen(Qt::white);
    if (horizontal) {
        painter.setPen(black);
        painter.drawLine(l + thick, b1, r1, b1);
        painter.drawLine(r1, b1, r1, t);
        painter.setPen(white);
        painter.drawLine(r1, t, l + thick, t);
        painter.drawLine(l + thick, t, l + thick, b1);
    } else {
        painter.setPen(black);
        painter.drawLine(l, b1, r1, b1);
        painter.drawLine(r1, b1, r1, t + thick);
        painter.setPen(white);
        painter.drawLine(r1, t + thick, l, t + thick);
        painter.drawLine(l, t + thick, l, b1);
    }

    const QFont font = LabelFont(dots_per_inch);
    const QFontMetrics metrics(font, &device);
    RulerLayout::Metrics m;
    m.thickness = thick;
    m.font_height = RulerLayout::FontHeight(dots_per_inch);
    m.tick_length = RulerLayout::TickLength(dots_per_inch);
    m.label_width = metrics.horizontalAdvance(QStringLiteral("9.99 "));
    // The unit text keeps the room it takes, so labels come as near it as
    // they can without touching it; labels are measured one by one, so
    // none covers another.
    m.unit_width = metrics.horizontalAdvance(FromWindows1252(RulerLayout::UnitText(unit_, minimum_, maximum_))) +
                   RulerLayout::UnitGap(dots_per_inch);
    m.text_width = [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
    };
    const int count = RulerLayout::MaxLabelCount(horizontal ? r - l : b - t, thick, m.label_width);
    const RulerLayout layout =
        RulerLayout::Build(horizontal ? RulerLayout::Orientation::Horizontal : RulerLayout::Orientation::Vertical, l,
                           t, r, b, minimum_, maximum_, count, unit_, m);
    if (!layout.has_scale) {
        painter.restore();
        return;
    }

    painter.setFont(font);
    painter.setPen(black);
    painter.setBackgroundMode(Qt::TransparentMode);
    const auto text_at = [&](int x, int y, const QString& text) {
        const QRect box(0, 0, metrics.horizontalAdvance(text) + m.font_height, m.font_height * 2);
        if (horizontal) {
            painter.drawText(box.translated(x, y), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
            return;
        }
        painter.save();
        painter.translate(x, y);
        painter.rotate(-90);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
        painter.restore();
    };
    const auto tick_at = [&](int p) {
        if (horizontal)
            painter.drawLine(p, b1, p, b1 - m.tick_length);
        else
            painter.drawLine(r1, p, r1 - m.tick_length, p);
    };
    for (const RulerLayout::Tick& tick : layout.ticks) {
        tick_at(tick.pixel);
        if (tick.show_label) text_at(tick.label_x, tick.label_y, QString::fromStdString(tick.label));
    }
    for (int p : layout.minor_ticks) tick_at(p);
    text_at(layout.unit_x, layout.unit_y, FromWindows1252(layout.unit_text));
    painter.restore();
}
