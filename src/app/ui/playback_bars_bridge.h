#pragma once
// The main window's bars as the playback controller reaches them: the
// "Plot Settings" bar with its lap check boxes, focus choice and realtime
// read-outs, and the race playback bar that takes its place at the left
// edge while a whole race is replayed.

#include "app/playback_bars.h"

class QDockWidget;
class RaceReplay;
class ViewDialog;

class PlaybackBarsBridge : public PlaybackBars {
public:
    // Nothing is owned; all must outlive the bridge.
    PlaybackBarsBridge(ViewDialog& plot, QDockWidget& plot_dock, RaceReplay& race, QDockWidget& race_dock);

    bool IsLapTicked(int slot) const override;
    int GetPlotFocus() const override;
    int GetPlotFocusDriver() const override;
    void EnterPlaybackLayout() override;
    void LeavePlaybackLayout() override;
    void ShowElapsedTime(const std::string& text) override;
    void ShowRealtime(int slot, const std::string& speed, const std::string& rpm, const std::string& gear) override;
    void ShowSplit(int slot, int split) override;
    void SetOrientation(int slot, int picture) override;
    void RefreshOrientation() override;
    void ShowRaceBar(bool race) override;
    void RaceInfoChanged() override;

private:
    ViewDialog& plot_;
    QDockWidget& plot_dock_;
    RaceReplay& race_;
    QDockWidget& race_dock_;
};
