#pragma once
// The bars' side of playback as the playback controller sees it: the
// plot settings bar (lap check boxes, focus choice, realtime read-outs),
// the race playback bar, and the one-lap choice. The main window
// implements it; tests use a fake.

#include <string>

class PlaybackBars {
public:
    virtual ~PlaybackBars();

    // Plot settings bar: is lap slot i ticked; the checked focus radio
    // (ViewDialog's ids 1055, 1056, 1057, or 0 for none) and the focus
    // list's entry (-1 for none).
    virtual bool IsLapTicked(int slot) const = 0;
    virtual int GetPlotFocus() const = 0;
    virtual int GetPlotFocusDriver() const = 0;
    // The playback layout with the realtime read-outs, and back; leaving it
    // also clears the bar's playback flag and repaints the read-outs.
    virtual void EnterPlaybackLayout() = 0;
    virtual void LeavePlaybackLayout() = 0;
    virtual void ShowElapsedTime(const std::string& text) = 0;
    virtual void ShowRealtime(int slot, const std::string& speed, const std::string& rpm,
                              const std::string& gear) = 0;
    // Makes split field 0-2 (25, 50, 75 %) of a lap visible.
    virtual void ShowSplit(int slot, int split) = 0;
    // Orientation picture 0-15 (or -1) of a lap, and the repaint of the
    // pictures once a step has set them all.
    virtual void SetOrientation(int slot, int picture) = 0;
    virtual void RefreshOrientation() = 0;

    // Shows the race playback bar instead of the plot settings bar, or the
    // other way round.
    virtual void ShowRaceBar(bool race) = 0;
    // The race playback bar shows its model's fields and step again.
    virtual void RaceInfoChanged() = 0;
};
