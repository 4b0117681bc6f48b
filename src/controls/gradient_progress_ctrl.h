#pragma once
// A progress bar painted as a colour gradient from the start colour to the
// end colour across the whole control; the bar uncovers the gradient from
// the left as the position grows, the rest shows the background colour.
// Optionally the percentage is written over it, centred.
//
// The bar is drawn only while lower < position < upper: at either end of the
// range the control shows the button face only (an empty bar at 0 % and at
// 100 %). The filled share is (position - lower) / (upper - lower).

#include <QColor>
#include <QWidget>

class CGradientProgressCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CGradientProgressCtrl(QWidget* parent = nullptr);

    // Store the range and move the position to the lower bound.
    void SetRange(short lower, short upper) { SetRange32(lower, upper); }
    void SetRange32(int lower, int upper);
    void SetPos(int position);

    void SetStartColor(const QColor& c);
    void SetEndColor(const QColor& c);
    void SetBkColor(const QColor& c);
    void SetTextColor(const QColor& c);
    void ShowPercent(bool show);

    int lower() const { return lower_; }
    int upper() const { return upper_; }
    int pos() const { return position_; }
    // "50%" while the bar is drawn with the percentage on, else empty.
    QString PercentText() const;
    // Width in pixels of the uncovered gradient for a control `width` wide;
    // 0 while no bar is drawn. The uncovered part ends on a band edge.
    int FilledWidth(int width) const;

    QSize sizeHint() const override { return {200, 20}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool Drawn() const { return lower_ < position_ && position_ < upper_; }
    double Share() const;
    int Steps() const;

    int lower_ = 0;
    int upper_ = 100;
    int position_ = 0;
    QColor start_{255, 0, 0};
    QColor end_{0, 0, 255};
    QColor background_;
    QColor text_{255, 255, 255};
    bool show_percent_ = false;
};
