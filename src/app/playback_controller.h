#pragma once
// Lap and race playback on the track map, without any window: the
// playback position and mode flags, the Playback commands with their
// enabled and checked states, and the tick that the map's 55 ms timer
// calls (tests call OnTimer directly).
//
// In driving-lines mode the ticked laps' driving lines grow sample by
// sample (2 samples of 1/36 s per tick, 4 with fast forward) while the
// plot settings bar shows each lap's speed, gear, revs, orientation and the
// split times passed. In race mode the whole race of one replay is shown
// with every car (RaceReplayModel), 2 steps per tick, 4 with fast forward
// or fast reverse.
//
// The map and the bars are reached through PlaybackMap and PlaybackBars;
// messages through the document's Interaction. Until both are set the
// commands do nothing.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/race_replay_model.h"
#include "track/pixel_point.h"

class CRpyGraphDoc;
class PlaybackBars;
class PlaybackMap;

class PlaybackController {
public:
    // Command ids of the Playback menu and tool bar.
    enum Id {
        kStart = 32781, kPause = 32783, kFastForward = 32784, kFastReverse = 32835, kStop = 32785,
        kMoveToEnd = 32788, kBeginningOfLap = 32789, kToggleRace = 32836,
    };
    static constexpr int kTimerMs = 55;
    static constexpr int64_t kMapExtent = 50000;
    // The plot settings bar's focus radios.
    enum PlotFocus { kPlotFocusLeader = 1055, kPlotFocusManual = 1056, kPlotFocusDriver = 1057 };

    // The one-lap choice dialog: the captions of the loaded laps in slot
    // order; returns the index of the chosen caption, -1 for none.
    using LapChooser = std::function<int(const std::vector<std::string>& captions)>;

    explicit PlaybackController(CRpyGraphDoc& doc);

    void SetMap(PlaybackMap* map) { map_ = map; }
    void SetBars(PlaybackBars* bars) { bars_ = bars; }
    void SetLapChooser(LapChooser chooser) { chooser_ = std::move(chooser); }

    // The commands, as their menu items run them.
    void OnStart();
    void OnPause();
    void OnFastForward();
    void OnFastReverse();
    void OnStop();
    // Driving-lines mode: jumps to the end of the ticked laps, the lines
    // drawn in full, and halts there (the read-outs stay).
    void OnMoveToEnd();
    void OnBeginningOfLap();
    void OnToggleRace();
    // Run a command by id when it is enabled; false when it is not.
    bool Run(int id);
    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;

    // One tick of the timer.
    void OnTimer();
    // Stores the position and runs a tick at once, also while paused.
    void SetPlaybackPosition(uint32_t position);
    // Leaves race mode (the toggle, and a document that is cleared).
    void EndRaceReplay();
    // Centres the map on the followed car of the tick.
    void KeepFollowedCarInView();
    // Shows a race step with its cars (the race bar's seek and focus
    // changes); past the last step it stops the playback. 1 when a car was
    // placed.
    int ShowRaceStep(int step);
    // The race bar changed the focus or the car drawing: while paused the
    // step is shown again and followed.
    void RaceFocusChanged();
    // The race bar's slider: dragging pauses a running playback until the
    // drag ends; a new position is shown and sought.
    void OnSliderMoved(int step, bool dragging, bool drag_ended);

    // A click of the zoom tool during playback stops the timer until the
    // canvas has been rebuilt at the new zoom (OnCanvasRebuilt).
    void OnZoomClick();
    // Redraws what the playback has drawn so far into a freshly rebuilt
    // canvas (the driving lines up to the position, or the race's cars),
    // then restarts a playback that a zoom click interrupted.
    void OnCanvasRebuilt(CoreDisplay& display);

    // The slot of the loaded lap a one-lap feature uses: none loaded says
    // "No replay lap loaded!", one is taken without asking, several are
    // offered to the lap chooser. -1 for none.
    int ChooseReportLap();

    // The report-site listener is open: reports and file commands wait.
    void SetListenerOpen(bool open) { listener_open_ = open; }
    bool IsListenerOpen() const { return listener_open_; }
    // Reports and tools: not while playing, paused, fast forward, or while
    // the listener is open.
    bool IsBusy() const { return playing || paused || fast_forward || listener_open_; }
    // Adding, saving, merging and arranging laps: not while busy or in race
    // mode.
    bool FileCommandsAllowed() const { return !IsBusy() && !race_mode; }

    // Orientation picture index 0-15 of a 16-bit orientation (4096 per
    // turn), -1 when it lies beyond +/-2176.
    static int HeadingToDirection(int16_t orientation);
    // "1:05" from a position in samples of 1/36 s.
    static std::string ElapsedText(uint32_t position);
    // Read-outs of a lap at a sample.
    static std::string SpeedText(double kmh, bool mph);
    static std::string GearText(int gear);
    static std::string RevsText(double rpm);

    RaceReplayModel& Race() { return race_; }
    const RaceReplayModel& Race() const { return race_; }
    // The car point of each lap slot after the last tick; valid only where
    // the flag is set.
    const std::array<PixelPoint, 5>& CarPoints() const { return car_points_; }

    uint32_t position = 0;
    bool race_mode = false;
    bool playing = false;
    bool resume = false;
    bool fast_forward = false;
    bool fast_reverse = false;
    bool paused = false;

private:
    void ZoomToStart();
    void RaceTick();
    void LinesTick();
    // Moves the running laps to the position and updates the read-outs;
    // false when no lap ran. restart: the tracers start new lines.
    bool StepLines(CoreDisplay& display, bool restart);
    bool LapRuns(int slot, uint32_t at) const;
    void EndLinesPlayback();
    bool Ready() const { return map_ && bars_; }

    CRpyGraphDoc& doc_;
    PlaybackMap* map_ = nullptr;
    PlaybackBars* bars_ = nullptr;
    LapChooser chooser_;
    RaceReplayModel race_;
    std::array<PixelPoint, 5> car_points_{};
    std::array<bool, 5> car_point_valid_{};
    bool listener_open_ = false;
    bool drag_paused_ = false;
};
