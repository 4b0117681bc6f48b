#pragma once
// The track-map side of playback as the playback controller sees it: the
// 55 ms timer, the zoom and scroll of the map, its canvas and the painter
// that draws into it. The track-map view implements it; tests use a fake.

#include <cstdint>

#include "track/pixel_point.h"

class CoreDisplay;

class PlaybackMap {
public:
    virtual ~PlaybackMap();

    // The playback timer: every period calls PlaybackController::OnTimer.
    virtual void StartTimer() = 0;
    virtual void KillTimer() = 0;

    // Tools off (zoom mode 0, panning mode 0).
    virtual void SetZoomToolOff() = 0;
    virtual void SetPanningToolOff() = 0;
    // Zooms to a box of logical units, or fits the whole map.
    virtual void ZoomToBox(int64_t left, int64_t top, int64_t right, int64_t bottom) = 0;
    virtual void ZoomFull() = 0;
    // Scrolls so that the logical point is at the centre of the window.
    virtual void CenterOn(PixelPoint logical) = 0;
    // The map must be repainted (from its canvas).
    virtual void InvalidateMap() = 0;
    // The painter bound to the map canvas, for one drawing pass (driving
    // line segments, car markers); it converts world to logical points
    // also when there is no canvas to draw into.
    virtual CoreDisplay& BeginCanvasDrawing() = 0;
    virtual void EndCanvasDrawing() = 0;
    // Restores the squares around the race's drawn cars from the clean copy
    // of the map.
    virtual void EraseCarMarkers() = 0;
};
