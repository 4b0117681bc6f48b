#include "controls/gradient_progress_ctrl.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

CGradientProgressCtrl::CGradientProgressCtrl(QWidget* parent)
    : QWidget(parent), background_(palette().color(QPalette::Button)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CGradientProgressCtrl::SetRange32(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    position_ = lower;
    update();
}

void CGradientProgressCtrl::SetPos(int position) {
    position_ = position;
    update();
}

void CGradientProgressCtrl::SetStartColor(const QColor& c) { start_ = c; update(); }
void CGradientProgressCtrl::SetEndColor(const QColor& c) { end_ = c; update(); }
void CGradientProgressCtrl::SetBkColor(const QColor& c) { background_ = c; update(); }
void CGradientProgressCtrl::SetTextColor(const QColor& c) { text_ = c; update(); }
void CGradientProgressCtrl::ShowPercent(bool show) { show_percent_ = show; update(); }

double CGradientProgressCtrl::Share() const {
    // Measured from the lower bound, so a range that does not start at 0
    // fills as far as the position has come through it.
    return (static_cast<double>(position_) - lower_) / (static_cast<double>(upper_) - lower_);
}

int CGradientProgressCtrl::Steps() const {
    return std::max({std::abs(end_.red() - start_.red()), std::abs(end_.green() - start_.green()),
                     std::abs(end_.blue() - start_.blue())});
}

QString CGradientProgressCtrl::PercentText() const {
    if (!show_percent_ || !Drawn()) return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f%%", Share() * 100.0);
    return QString::fromLatin1(buf);
}

int CGradientProgressCtrl::FilledWidth(int width) const {
    if (!Drawn() || width <= 0) return 0;
    const int filled = static_cast<int>(Share() * width);
    const int steps = Steps();
    // Equal colours make one plain band; it ends where the bar ends.
    if (steps == 0) return filled;
    const double band = static_cast<double>(width) / steps;
    for (int i = 0; i < steps; ++i) {
        const int right = static_cast<int>((i + 1) * band);
        if (right > filled) return right;
    }
    return width;
}

void CGradientProgressCtrl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    if (!Drawn()) {
        p.fillRect(rect(), palette().color(QPalette::Button));
        return;
    }
    const int filled = FilledWidth(w);
    const int steps = Steps();
    if (steps == 0) {
        p.fillRect(0, 0, filled, h, start_);
    } else {
        const double band = static_cast<double>(w) / steps;
        for (int i = 0; i < steps; ++i) {
            const int left = static_cast<int>(i * band);
            const int right = static_cast<int>((i + 1) * band);
            if (left >= filled) break;
            auto mix = [&](int a, int b) { return static_cast<int>(a + static_cast<double>(i) * (b - a) / steps) & 0xFF; };
            p.fillRect(left, 0, right - left, h,
                       QColor(mix(start_.red(), end_.red()), mix(start_.green(), end_.green()),
                              mix(start_.blue(), end_.blue())));
        }
    }
    if (filled < w) p.fillRect(filled, 0, w - filled, h, background_);
    const QString text = PercentText();
    if (!text.isEmpty()) {
        p.setPen(text_);
        p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text);
    }
}
