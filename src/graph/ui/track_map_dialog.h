#pragma once
// The small "Trackmap" window beside the telemetry graph: the document's
// track in black on grey, with the stretch of track around the distance
// under the graph cursor in white, so a point of a curve can be found on
// the circuit. The map is rendered into an image the size of the window's
// map area whenever the area or the highlight changes.
//
// The highlight lives in the document's track, which the main window's map
// shares: it is cleared when this window closes and when it is destroyed.

#include <QImage>

#include "controls/resizing_dialog.h"
#include "track/ui/mfc_display.h"

class CRpyGraphDoc;

class TrackMapDialog : public CResizingDialog {
public:
    static constexpr int kMapId = 1009;
    // Grey background, black track, white highlight (COLORREF).
    static constexpr uint32_t kBackground = 0xCCCCCC;

    // The owner is the graph window; the document is borrowed.
    TrackMapDialog(const CRpyGraphDoc& doc, QWidget* owner);
    ~TrackMapDialog() override;

    // Shows the window at the owner's top-right corner when it is not
    // open, else brings it up; the owner stays the active window. Does
    // nothing without a track.
    void Open();
    bool IsOpen() const { return open_; }

    // Highlights distance -/+ percent % of the lap length (metres) and
    // redraws the map. A distance beyond either end of the lap highlights
    // what lies on the lap, or nothing.
    void ShowDistanceWindow(double distance, unsigned percent);
    // Draws the map again as the track now is (after someone else changed
    // its highlight).
    void Redraw();

    // The rendered map (null while the map area has no size).
    const QImage& GetMapImage() const { return image_; }
    QWidget* GetMapControl() const;
    int GetRenderCount() const { return render_count_; }

    // Closing the window: the highlight goes with it.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class MapControl;
    void RenderMap();
    void Release();

    const CRpyGraphDoc& doc_;
    MapControl* map_ = nullptr;
    MFCDisplay painter_{0x000000, 0xFFFFFF};
    QImage image_;
    bool open_ = false;
    int render_count_ = 0;
};
