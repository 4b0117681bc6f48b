#include "app/car_picture.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace car_picture {

namespace {

struct Look {
    QSize cell;
    QColor body;
    QColor stripe;
    bool wing;         // a high rear wing on struts
    bool long_nose;
    bool exhausts;     // pipes sweeping up over the gearbox
};

const std::array<Look, kCount>& Looks() {
    static const std::array<Look, kCount> looks = {{
        {{217, 130}, QColor(0x1F, 0x5E, 0x3A), QColor(0xE8, 0xC5, 0x2A), false, false, true},
        {{230, 195}, QColor(0x2B, 0x4F, 0x2E), QColor(0xE0, 0x7A, 0x1F), true, true, false},
        {{230, 195}, QColor(0x1E, 0x3A, 0x7B), QColor(0xF2, 0xF2, 0xF2), true, false, true},
        {{217, 135}, QColor(0x23, 0x4E, 0x9C), QColor(0xF2, 0xF2, 0xF2), false, true, false},
        {{230, 195}, QColor(0xC0, 0x1E, 0x1E), QColor(0xF5, 0xF5, 0xF5), false, false, true},
        {{130, 124}, QColor(0x1D, 0x6B, 0x3C), QColor(0xF0, 0xD0, 0x20), false, true, false},
        {{230, 195}, QColor(0xEE, 0xEE, 0xEA), QColor(0xC8, 0x10, 0x2E), true, false, false},
    }};
    return looks;
}

void Wheel(QPainter& p, QPointF c, double r) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1A, 0x1A, 0x1A));
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(0x9A, 0x9A, 0xA0));
    p.drawEllipse(c, r * 0.55, r * 0.55);
    p.setBrush(QColor(0x55, 0x55, 0x5A));
    p.drawEllipse(c, r * 0.18, r * 0.18);
}

}  // namespace

QSize CellSize(int index) { return Looks()[((index % kCount) + kCount) % kCount].cell; }

QPixmap Draw(int index) {
    const Look& look = Looks()[((index % kCount) + kCount) % kCount];
    QPixmap pm(look.cell);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // The car is drawn on a 200 x 100 plane, facing right, and fitted into
    // the cell keeping its proportions.
    const double scale = std::min(look.cell.width() / 200.0, look.cell.height() / 100.0);
    p.translate((look.cell.width() - 200 * scale) / 2, (look.cell.height() - 100 * scale) / 2 + 10 * scale);
    p.scale(scale, scale);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QPointF(100, 78), 92, 6);

    const double nose = look.long_nose ? 196 : 186;
    QPainterPath body;
    body.moveTo(14, 62);
    body.lineTo(10, 46);
    body.cubicTo(16, 40, 40, 36, 62, 38);
    body.lineTo(84, 38);
    body.cubicTo(92, 30, 118, 30, 124, 40);
    body.cubicTo(150, 44, nose - 12, 50, nose, 56);
    body.cubicTo(nose + 2, 60, nose - 4, 64, nose - 10, 64);
    body.lineTo(20, 66);
    body.closeSubpath();
    p.setBrush(look.body);
    p.setPen(QPen(look.body.darker(150), 1.2));
    p.drawPath(body);

    // Stripe along the body and a roundel for the race number.
    p.setPen(Qt::NoPen);
    p.setBrush(look.stripe);
    QPainterPath stripe;
    stripe.moveTo(24, 50);
    stripe.lineTo(nose - 8, 54);
    stripe.lineTo(nose - 8, 58);
    stripe.lineTo(24, 55);
    stripe.closeSubpath();
    p.drawPath(stripe);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(140, 52), 8, 8);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(140, 52), 8, 8);

    // Engine and gearbox behind the driver.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x70, 0x70, 0x78));
    p.drawRoundedRect(QRectF(30, 30, 40, 9), 3, 3);
    if (look.exhausts) {
        p.setPen(QPen(QColor(0xB0, 0xB0, 0xB8), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(68, 34), QPointF(16, 30));
        p.drawLine(QPointF(68, 37), QPointF(18, 35));
    }

    // Windscreen, roll bar and the driver's helmet.
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 2));
    p.drawLine(QPointF(86, 38), QPointF(88, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xD8, 0xD8, 0xD8));
    p.drawEllipse(QPointF(98, 24), 9, 9);
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawRect(QRectF(100, 21, 7, 4));
    p.setBrush(QColor(170, 210, 240, 170));
    QPolygonF screen;
    screen << QPointF(110, 38) << QPointF(114, 24) << QPointF(120, 38);
    p.drawPolygon(screen);

    if (look.wing) {
        p.setPen(QPen(QColor(0x50, 0x50, 0x50), 2));
        p.drawLine(QPointF(30, 38), QPointF(30, 8));
        p.drawLine(QPointF(44, 38), QPointF(44, 8));
        p.setPen(Qt::NoPen);
        p.setBrush(look.stripe.darker(110));
        p.drawRoundedRect(QRectF(18, 3, 40, 7), 3, 3);
    }

    Wheel(p, QPointF(42, 62), 17);
    Wheel(p, QPointF(nose - 30, 64), 14);
    return pm;
}

}  // namespace car_picture
