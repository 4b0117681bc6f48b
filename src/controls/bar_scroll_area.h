#pragma once
// The frame of a docked bar: as wide as the bar's widest row needs, and
// scrolling up and down when the window is lower than the bar, so every
// control of the bar stays within reach at any window size.

#include <QScrollArea>

class BarScrollArea : public QScrollArea {
public:
    // Takes bar as its widget (owned from then on, as QScrollArea does).
    explicit BarScrollArea(QWidget* bar, QWidget* parent = nullptr);
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
