#pragma once
// The base of every dialog whose window the user can resize (the graph's
// track-map window, the race history graph, the traction circle): it keeps
// a list of anchored controls and moves or stretches them when the window
// changes size, shows a size grip in the bottom-right corner, and never
// lets the window shrink below its size at initialisation.
//
// A derived dialog places its controls, gives itself its initial size,
// calls InitResizing once and then anchors its controls with AddControl.
// Sizes are the dialog's client size in pixels.

#include <QDialog>
#include <QRect>
#include <vector>

class QSizeGrip;

class CResizingDialog : public QDialog {
public:
    // How an anchored control follows the window in one direction.
    enum Mode {
        kFixed = 0,         // keeps its position and size
        kStretch = 1,       // its right (bottom) edge moves with the window's
        kMove = 2,          // keeps its distance to the right (bottom) edge
        kProportional = 3,  // its left (top) edge keeps its share of the width (height); size kept
    };
    static constexpr int kGripId = 17733;

    struct ResizeAnchor {
        QWidget* control = nullptr;
        int h_mode = kFixed;
        int v_mode = kFixed;
        QRect rect;  // where the control was last put, in the dialog's coordinates
        bool exclude_from_erase = false;
        // Share of the window's width (height) at the control's left (top)
        // edge, for kProportional: left / width at anchoring.
        double h_share = 0.0;
        double v_share = 0.0;
    };

    explicit CResizingDialog(QWidget* parent = nullptr);
    ~CResizingDialog() override;

    // Stores the current size as the minimum and puts the size grip in
    // the bottom-right corner, anchored to it. Call once.
    void InitResizing();
    bool IsInitialised() const { return initialised_; }
    // Anchors a child control where it stands now. False before
    // InitResizing or for a control that is not a child of the dialog.
    // The exclude flag is kept for callers; a Qt window paints its
    // children over its background, so there is nothing to exclude.
    bool AddControl(QWidget* control, int h_mode, int v_mode, bool exclude_from_erase);
    // With a direction not allowed the window cannot be sized in it.
    void SetResizeAllowed(bool horizontal, bool vertical);

    const std::vector<ResizeAnchor>& GetAnchors() const { return anchors_; }
    QSizeGrip* GetSizeGrip() const { return grip_; }
    QSize GetMinimumSize() const { return minimum_; }

    // Where an anchored control goes when the window grew by dx, dy to
    // width x height.
    static QRect Place(const ResizeAnchor& anchor, int dx, int dy, int width, int height);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyLimits();

    std::vector<ResizeAnchor> anchors_;
    QSize last_size_;
    QSize minimum_;
    bool horizontal_allowed_ = true;
    bool vertical_allowed_ = true;
    QSizeGrip* grip_ = nullptr;
    bool initialised_ = false;
};
