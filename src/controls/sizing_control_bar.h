#pragma once
// A docking bar that docks to any side of a frame (a QMainWindow), floats
// in a window of its own, and is sized with the mouse along its inner
// edges: the edge facing the frame's client area changes its thickness,
// the border shared with a neighbouring bar moves width from one to the
// other. A docked bar shows a gripper with a close button, along its left
// edge when docked at the top or bottom and along its top edge otherwise.
// A double click on the bar's own area (not on its content) docks a
// floating bar and floats a docked one.
//
// The bar keeps one size for each way it can sit (docked at the top or
// bottom, docked left or right, floating) and comes back at that size when
// it returns there; no size outlives the program. Sizes are in pixels and
// never below 33 wide and 32 high.

#include <QDockWidget>
#include <QSize>

class QMainWindow;

class CSizingControlBar : public QDockWidget {
public:
    static constexpr int kMinWidth = 33;
    static constexpr int kMinHeight = 32;
    static constexpr int kDefaultSide = 200;

    enum class Side { Top, Left, Right, Bottom, Floating };

    explicit CSizingControlBar(QWidget* parent = nullptr);
    ~CSizingControlBar() override;

    // Titles the bar, gives all three sizes the default size (raised to the
    // minimum), shows a gripper with its close button or no title bar at
    // all, and records the bar's control id. The frame docks it. Returns
    // true.
    bool Create(const QString& title, QMainWindow* frame, QSize size, bool gripper, int id);

    int GetId() const { return id_; }
    bool HasGripper() const { return gripper_; }
    // Where the bar sits now; Floating also before it is docked.
    Side GetDockSide() const;
    QSize GetHorizontalSize() const { return horizontal_; }
    QSize GetVerticalSize() const { return vertical_; }
    QSize GetFloatingSize() const { return floating_; }

    // The size kept for where the bar sits now.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void OnLocationChanged(Qt::DockWidgetArea area);
    void OnFloatingChanged(bool floating);
    static QSize AtLeastMinimum(QSize size);

    QMainWindow* frame_ = nullptr;
    QSize horizontal_{kDefaultSide, kDefaultSide};
    QSize vertical_{kDefaultSide, kDefaultSide};
    QSize floating_{kDefaultSide, kDefaultSide};
    bool gripper_ = true;
    int id_ = 0;
    // Set while the bar takes the size kept for its new place, so that the
    // resizes on the way are not taken for the user's.
    bool restoring_ = false;
};
