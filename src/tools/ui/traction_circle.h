#pragma once
// "Traction Circle": lateral against longitudinal acceleration of the
// ticked loaded laps, sample by sample, over a range of the lap picked on a
// slider (Shift while moving selects a range); a small track map highlights
// the range and each lap's time over it is shown in the lap's colour. The
// plot is oriented to the car or to the direction of travel, with optional
// circles at 1.0, 1.5, 2.0 and 2.5 g. Help opens a modeless window that
// explains the plot; Ratings opens the lap ratings.
//
// The track's highlight belongs to the window while it is open and is
// cleared when it closes.

#include <QImage>
#include <array>
#include <memory>
#include <vector>

#include "controls/resizing_dialog.h"
#include "tools/tool_lap.h"

class CRpyGraphDoc;
class CSelectionSliderCtrl;
class Interaction;
class QCheckBox;
class QLabel;
class QRadioButton;
class TractionCircleHelp;
namespace Ui {
class TractionCircle;
}

class TractionCircle : public CResizingDialog {
    Q_OBJECT
public:
    // Needs a loaded lap and the track; the document is borrowed.
    TractionCircle(CRpyGraphDoc& doc, Interaction& ui, QWidget* parent = nullptr);
    ~TractionCircle() override;

    CSelectionSliderCtrl* Slider() const;
    QCheckBox* LapBox(int k) const;  // k = 0..4, the k-th loaded lap
    QCheckBox* CirclesBox() const;
    QRadioButton* TravelButton() const;
    QLabel* TimeText(int k) const;
    // 0 start, 1 end, 2 length.
    QLabel* RangeText(int which) const;
    TractionCircleHelp* Help() const { return help_.get(); }
    int RangeStart() const { return start_; }
    int RangeEnd() const { return end_; }

    // The slider moved to `position`: the selection, or one metre before
    // the marker, becomes the range.
    void OnSliderMoved(int position);
    void OnHelp();
    void OnRatings();
    // Renders both pictures again and shows them.
    void Redraw();

    // The plot at w x h pixels on white, and the track map at w x h pixels,
    // transparent where no track is drawn.
    QImage RenderPlot(int width, int height);
    QImage RenderMap(int width, int height) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CRpyGraphDoc& doc_;
    Interaction& ui_;
    std::unique_ptr<Ui::TractionCircle> form_;
    std::vector<ToolLap> laps_;
    std::unique_ptr<TractionCircleHelp> help_;
    CSelectionSliderCtrl* slider_ = nullptr;
    int length_ = 0;
    int start_ = 0;
    int end_ = 0;
};
