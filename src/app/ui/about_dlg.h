#pragma once
// Help > About: the program's name and version, the credits and two links
// on a black background, with two columns of three chequered flags that
// wave in turn every 133 ms. A click anywhere on the box closes it.

#include <QDialog>
#include <array>
#include <cstdint>

class Interaction;
class QLabel;
class QTimer;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kStepMs = 133;

    // The links open through the seam, which must outlive the box.
    explicit CAboutDlg(Interaction& ui, QWidget* parent = nullptr);

    // Which picture of each column a counter value shows: 0 to 2 from the
    // top of the left column (1049, 1050, 1051) and of the right column
    // (1053, 1054, 1055). The columns run against each other.
    struct Shown {
        int left = 0;
        int right = 0;
    };
    static Shown PicturesOf(uint8_t counter);
    // One animation step: shows the counter's pictures and counts on; after
    // 254 the counter starts again at 0.
    void Step();
    uint8_t Counter() const { return counter_; }
    // The timer whose timeouts run Step(); owned by the dialog.
    QTimer* StepTimer() const { return timer_; }
    bool IsShown(int column, int row) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::array<std::array<QLabel*, 3>, 2> pictures_{};
    QTimer* timer_ = nullptr;
    uint8_t counter_ = 0;
};
