#include "app/playback_controller.h"

#include <algorithm>
#include <cstdio>

#include "app/playback_bars.h"
#include "app/playback_map.h"
#include "document/report_lap_picker.h"
#include "document/rpy_graph_doc.h"
#include "interaction/interaction.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"
#include "track/track_path_tracer.h"

PlaybackMap::~PlaybackMap() = default;
PlaybackBars::~PlaybackBars() = default;

namespace {

// The gear channel holds the stored 3-bit field less one: -1 reverse, 0
// neutral (as the gear graph and the gear change analyser take it), 1 to 6
// the gears.
constexpr const char* kGearNames[] = {"R", "N", "1", "2", "3", "4", "5", "6"};

}  // namespace

PlaybackController::PlaybackController(CRpyGraphDoc& doc) : doc_(doc) {}

// --- texts -----------------------------------------------------------------

int PlaybackController::HeadingToDirection(int16_t orientation) {
    // Direction centres a sixteenth of a turn apart, in the order tested: a
    // value exactly between two belongs to the one tested first.
    static constexpr int kCentres[16] = {1024, 768, 512, 256, 0, -256, -512, -768,
                                         -1024, -1280, -1536, -1792, -2048, 1792, 1536, 1280};
    const int v = orientation;
    for (int i = 0; i < 16; ++i) {
        if (std::abs(v - kCentres[i]) <= 128) return i;
        if (i == 12 && std::abs(v - 2048) <= 128) return i;
    }
    return -1;
}

std::string PlaybackController::ElapsedText(uint32_t position) {
    const uint32_t s = position / 36;
    const uint32_t m = s / 60;
    char text[32];
    std::snprintf(text, sizeof text, "%u:%s%u", m, s - 60 * m < 10 ? "0" : "", s - 60 * m);
    return text;
}

std::string PlaybackController::SpeedText(double kmh, bool mph) {
    // Converted after truncation, as the read-out always has.
    int64_t speed = static_cast<int64_t>(kmh);
    if (mph) speed = static_cast<int64_t>(static_cast<double>(speed) * 0.621);
    return std::to_string(speed);
}

std::string PlaybackController::GearText(int gear) {
    return gear >= -1 && gear <= 6 ? kGearNames[gear + 1] : "";
}

std::string PlaybackController::RevsText(double rpm) {
    const int64_t revs = static_cast<int64_t>(rpm);
    return std::to_string(static_cast<int64_t>(static_cast<double>(revs) * 0.01 + 0.5));
}

// --- enabling --------------------------------------------------------------

bool PlaybackController::IsEnabled(int id) const {
    const bool any = doc_.GetLoadedCount() > 0;
    switch (id) {
    case kStart:
    case kToggleRace: return any;
    case kPause:
    case kFastForward:
    case kStop:
    case kMoveToEnd:
    case kBeginningOfLap: return any && playing;
    case kFastReverse: return race_mode && playing;
    default: return false;
    }
}

bool PlaybackController::IsChecked(int id) const {
    switch (id) {
    case kStart: return playing;
    case kFastForward: return fast_forward;
    case kFastReverse: return fast_reverse;
    case kToggleRace: return race_mode;
    default: return false;
    }
}

bool PlaybackController::Run(int id) {
    if (!IsEnabled(id)) return false;
    switch (id) {
    case kStart: OnStart(); break;
    case kPause: OnPause(); break;
    case kFastForward: OnFastForward(); break;
    case kFastReverse: OnFastReverse(); break;
    case kStop: OnStop(); break;
    case kMoveToEnd: OnMoveToEnd(); break;
    case kBeginningOfLap: OnBeginningOfLap(); break;
    case kToggleRace: OnToggleRace(); break;
    default: return false;
    }
    return true;
}

// --- commands --------------------------------------------------------------

void PlaybackController::ZoomToStart() {
    for (int i = 0; i < CRpyGraphDoc::kCapacity; ++i) {
        LapSlot& slot = doc_.GetSlot(i);
        if (!slot.used) continue;
        if (!slot.tracer) return;
        CoreDisplay& display = map_->BeginCanvasDrawing();
        slot.tracer->Reset();
        slot.tracer->MoveTo(display, 0.0, 0.0, true);
        const auto start = slot.tracer->MoveTo(display, 0.0, 0.0, true);
        map_->EndCanvasDrawing();
        if (!start) return;
        const int64_t h = race_mode ? kMapExtent / 30 : kMapExtent / 20;
        const int64_t w = race_mode ? kMapExtent / 15 : kMapExtent / 10;
        int64_t left = start->x - h, right = start->x + h, top = start->y - h, bottom = start->y + h;
        if (left < 0) left = 0, right = w;
        if (right > kMapExtent) left = kMapExtent - w, right = kMapExtent;
        if (top < 0) top = 0, bottom = w;
        if (bottom > kMapExtent) top = kMapExtent - w, bottom = kMapExtent;
        map_->ZoomToBox(left, top, right, bottom);
        return;
    }
}

void PlaybackController::OnStart() {
    if (!Ready()) return;
    if (race_mode) {
        if (playing) {
            fast_forward = paused = fast_reverse = false;
            return;
        }
        map_->SetZoomToolOff();
        map_->StartTimer();
        if (!paused && !fast_forward && !fast_reverse) {
            ZoomToStart();
            doc_.redraw = true;
        }
        playing = true;
        fast_forward = fast_reverse = paused = false;
        return;
    }
    if (!doc_.IsTrackLoaded()) {
        doc_.GetInteraction().ShowMessage("Realtime plotting of driving lines not available without trackmap!",
                                          Interaction::Icon::Information);
        return;
    }
    if (playing) {
        fast_forward = paused = false;
        return;
    }
    bool any = false;
    for (int i = 0; i < CRpyGraphDoc::kCapacity; ++i) any = any || bars_->IsLapTicked(i);
    if (!any) {
        doc_.GetInteraction().ShowMessage("Choose lap(s) to play!");
        return;
    }
    map_->SetZoomToolOff();
    map_->StartTimer();
    bars_->EnterPlaybackLayout();
    if (!paused && !fast_forward) {
        ZoomToStart();
        doc_.redraw = true;
    }
    playing = true;
    fast_forward = paused = false;
    map_->InvalidateMap();
}

void PlaybackController::OnPause() {
    if (!Ready() || !playing) return;
    map_->KillTimer();
    playing = fast_forward = false;
    if (race_mode) fast_reverse = false;
    paused = true;
}

void PlaybackController::OnFastForward() {
    if (!Ready()) return;
    if (!playing) {
        map_->StartTimer();
        playing = true;
    }
    paused = false;
    if (race_mode) fast_reverse = false;
    fast_forward = true;
}

void PlaybackController::OnFastReverse() {
    if (!Ready() || !race_mode) return;
    if (!playing) {
        map_->StartTimer();
        playing = true;
    }
    fast_forward = paused = false;
    fast_reverse = true;
}

void PlaybackController::OnStop() {
    if (!Ready()) return;
    if (race_mode) {
        if (playing) {
            map_->KillTimer();
            playing = false;
            doc_.redraw = true;
            map_->InvalidateMap();
        }
        playing = fast_forward = fast_reverse = false;
    } else {
        if (playing) {
            map_->KillTimer();
            bars_->LeavePlaybackLayout();
            position = 0;
            playing = false;
            doc_.redraw = true;
            map_->InvalidateMap();
        }
        playing = fast_forward = false;
    }
    paused = false;
}

void PlaybackController::OnMoveToEnd() {
    if (!Ready() || race_mode || !playing) return;
    map_->KillTimer();
    playing = false;
    race_.ClearInfoFields();
    // Every step up to the end of the longest ticked lap, so the lines are
    // whole and the read-outs show the last sample.
    CoreDisplay& display = map_->BeginCanvasDrawing();
    for (;;) {
        bool runs = false;
        for (int i = 0; i < CRpyGraphDoc::kCapacity; ++i) runs = runs || LapRuns(i, position + 2);
        if (!runs) break;
        const bool restart = position < 2;
        position += 2;
        StepLines(display, restart);
    }
    map_->EndCanvasDrawing();
    KeepFollowedCarInView();
    map_->InvalidateMap();
    bars_->RefreshOrientation();
}

void PlaybackController::OnBeginningOfLap() {
    if (!Ready() || !playing) return;
    position = 0;
    if (race_mode) fast_forward = paused = fast_reverse = false;
    doc_.redraw = true;
    map_->InvalidateMap();
}

void PlaybackController::OnToggleRace() {
    if (!Ready()) return;
    if (race_mode) {
        EndRaceReplay();
        return;
    }
    // A paused playback is left too: the race must not start where the lap
    // was paused, nor the bar stay in its playback layout.
    if (playing || paused) {
        map_->KillTimer();
        bars_->LeavePlaybackLayout();
        position = 0;
        doc_.redraw = true;
    }
    playing = fast_forward = paused = false;
    const int slot = ChooseReportLap();
    if (slot < 0) return;
    LapSlot& lap = doc_.GetSlot(slot);
    Interaction& ui = doc_.GetInteraction();
    if (!lap.drivers || !lap.header || !lap.drivers->race_present) {
        ui.ShowMessage("This replay file does not contain race info!");
        return;
    }
    if (!doc_.IsTrackLoaded() || !doc_.GetTrack()) {
        ui.ShowMessage("Realtime race replay not available without trackmap!", Interaction::Icon::Information);
        return;
    }
    bars_->ShowRaceBar(true);
    race_mode = true;
    position = 0;
    if (!race_.LoadRace(*lap.drivers, *lap.header, *doc_.GetTrack(), ui)) {
        // The race could not be read: back to driving lines rather than an
        // empty race.
        EndRaceReplay();
        return;
    }
    bars_->RaceInfoChanged();
    doc_.redraw = true;
    map_->InvalidateMap();
    map_->SetPanningToolOff();
    map_->ZoomFull();
}

void PlaybackController::EndRaceReplay() {
    if (!Ready()) return;
    if (playing) {
        map_->KillTimer();
        playing = false;
    }
    playing = fast_forward = fast_reverse = paused = false;
    map_->EraseCarMarkers();
    race_.FreeRaceData();
    bars_->ShowRaceBar(false);
    bars_->RaceInfoChanged();
    race_mode = false;
    position = 0;
    doc_.redraw = true;
    map_->InvalidateMap();
    map_->SetPanningToolOff();
    map_->ZoomFull();
}

int PlaybackController::ChooseReportLap() { return ReportLapPicker(doc_, chooser_).ChooseReportLap(); }

// --- the tick --------------------------------------------------------------

void PlaybackController::OnTimer() {
    if (!Ready()) return;
    if (race_mode)
        RaceTick();
    else
        LinesTick();
}

void PlaybackController::SetPlaybackPosition(uint32_t p) {
    position = p;
    OnTimer();
}

void PlaybackController::RaceTick() {
    if (fast_forward)
        position += 4;
    else if (fast_reverse)
        position = position < 4 ? 0 : position - 4;
    else if (playing)
        position += 2;
    const int last = race_.GetLastStep();
    if (last < 0) return;
    const bool at_end = position >= static_cast<uint32_t>(last) && (playing || fast_forward);
    if (position > static_cast<uint32_t>(last)) position = static_cast<uint32_t>(last);
    if (ShowRaceStep(static_cast<int>(position)) == 1) {
        KeepFollowedCarInView();
        map_->InvalidateMap();
    }
    // The race is over: the playback halts on its last step, the cars
    // staying where they finished.
    if (at_end && !fast_reverse) {
        map_->KillTimer();
        playing = fast_forward = false;
        paused = true;
    }
}

int PlaybackController::ShowRaceStep(int step) {
    if (!Ready()) return 0;
    if (step < 0 || step > race_.GetLastStep()) {
        OnStop();
        return 0;
    }
    map_->EraseCarMarkers();
    CoreDisplay& display = map_->BeginCanvasDrawing();
    const int placed = race_.ShowRaceAt(step, display);
    map_->EndCanvasDrawing();
    bars_->RaceInfoChanged();
    return placed;
}

void PlaybackController::RaceFocusChanged() {
    if (!Ready() || !race_.IsLoaded()) return;
    if (paused) {
        ShowRaceStep(race_.GetShownStep());
        KeepFollowedCarInView();
        map_->InvalidateMap();
    } else {
        race_.ShowInfoAt(race_.GetShownStep());
        bars_->RaceInfoChanged();
    }
}

void PlaybackController::OnSliderMoved(int step, bool dragging, bool drag_ended) {
    if (!Ready() || !race_.IsLoaded()) return;
    if (drag_ended && drag_paused_) {
        drag_paused_ = false;
        OnStart();
    } else if (dragging && playing) {
        OnPause();
        drag_paused_ = true;
    }
    if (step != race_.GetShownStep() && step >= 0 && step <= race_.GetLastStep()) {
        race_.ShowInfoAt(step);
        SetPlaybackPosition(static_cast<uint32_t>(step));
    }
}

bool PlaybackController::LapRuns(int slot, uint32_t at) const {
    const LapSlot& lap = doc_.GetSlot(slot);
    return lap.used && lap.telemetry && lap.tracer && bars_->IsLapTicked(slot) &&
           uint64_t{at} + 1 < lap.telemetry->sample_count;
}

bool PlaybackController::StepLines(CoreDisplay& display, bool restart) {
    const uint32_t elapsed_ms = static_cast<uint32_t>((uint64_t{position} * 1000 - 1000) / 36);
    const bool mph = doc_.GetUseMPH() == 1;
    bool ran = false;
    for (int i = 0; i < CRpyGraphDoc::kCapacity; ++i) {
        if (!LapRuns(i, position)) continue;
        LapSlot& lap = doc_.GetSlot(i);
        const GetRpyInfo& info = *lap.telemetry;
        const size_t p = position;
        bars_->ShowRealtime(i, p < info.speed.size() ? SpeedText(info.speed[p], mph) : std::string(),
                            p < info.revs.size() ? RevsText(info.revs[p]) : std::string(),
                            p < info.gear.size() ? GearText(info.gear[p]) : std::string());
        for (int s = 0; s < 3; ++s)
            if (static_cast<uint32_t>(info.split_time_ms[static_cast<size_t>(s)]) < elapsed_ms) bars_->ShowSplit(i, s);
        ran = true;
        // Each playback starts new lines, however fast its first tick went.
        if (restart) lap.tracer->Reset();
        if (p < info.orientation.size()) bars_->SetOrientation(i, HeadingToDirection(info.orientation[p]));
        if (p >= info.distance.size() || p >= info.lateral_offset.size()) continue;
        if (info.distance[p] == 0.0 && info.lateral_offset[p] == 0.0) continue;
        const auto at = lap.tracer->MoveTo(display, info.distance[p], info.lateral_offset[p], false);
        if (at) {
            car_points_[static_cast<size_t>(i)] = *at;
            car_point_valid_[static_cast<size_t>(i)] = true;
        }
    }
    bars_->ShowElapsedTime(ElapsedText(position));
    return ran;
}

void PlaybackController::LinesTick() {
    const bool restart = position < 2;
    position += fast_forward ? 4 : 2;
    if (restart) car_point_valid_.fill(false);
    CoreDisplay& display = map_->BeginCanvasDrawing();
    const bool ran = StepLines(display, restart);
    map_->EndCanvasDrawing();
    if (!ran) {
        EndLinesPlayback();
        return;
    }
    KeepFollowedCarInView();
    map_->InvalidateMap();
    bars_->RefreshOrientation();
}

void PlaybackController::EndLinesPlayback() {
    map_->KillTimer();
    bars_->LeavePlaybackLayout();
    position = 0;
    playing = fast_forward = paused = false;
}

void PlaybackController::KeepFollowedCarInView() {
    if (!Ready()) return;
    if (race_mode) {
        if (race_.GetFocus() == RaceReplayModel::kFocusManual) {
            map_->InvalidateMap();
            return;
        }
        const PixelPoint p = race_.GetFocusPosition();
        if (p.x == 0 && p.y == 0) return;
        map_->CenterOn(p);
        return;
    }
    // A lap follows only while it runs and once its car has been placed.
    const auto qualifies = [this](int i) {
        return i >= 0 && i < CRpyGraphDoc::kCapacity && doc_.GetSlot(i).used && doc_.GetSlot(i).telemetry &&
               bars_->IsLapTicked(i) && position < doc_.GetSlot(i).telemetry->sample_count &&
               car_point_valid_[static_cast<size_t>(i)];
    };
    int chosen = -1;
    switch (bars_->GetPlotFocus()) {
    case kPlotFocusManual: map_->InvalidateMap(); return;
    case kPlotFocusLeader: {
        double best = 0.0;
        for (int i = 0; i < CRpyGraphDoc::kCapacity; ++i) {
            if (!qualifies(i)) continue;
            const auto& distance = doc_.GetSlot(i).telemetry->distance;
            const double d = position < distance.size() ? distance[position] : 0.0;
            if (chosen < 0 || d > best) {
                chosen = i;
                best = d;
            }
        }
        break;
    }
    case kPlotFocusDriver:
        if (qualifies(bars_->GetPlotFocusDriver())) chosen = bars_->GetPlotFocusDriver();
        break;
    default: return;
    }
    if (chosen < 0) {
        map_->InvalidateMap();
        return;
    }
    map_->CenterOn(car_points_[static_cast<size_t>(chosen)]);
}

// --- the canvas ------------------------------------------------------------

void PlaybackController::OnZoomClick() {
    resume = playing;
    if (map_) map_->KillTimer();
    playing = false;
    doc_.redraw = true;
}

void PlaybackController::OnCanvasRebuilt(CoreDisplay& display) {
    const bool running = playing || paused || resume;
    if (race_mode) {
        if (running && race_.IsLoaded() && position <= static_cast<uint32_t>(std::max(0, race_.GetLastStep()))) {
            race_.ShowRaceAt(static_cast<int>(position), display);
            if (bars_) bars_->RaceInfoChanged();
        }
    } else if (running) {
        // The canvas holds only the track now: the lines drawn so far are
        // drawn again, through the samples the ticks have passed.
        for (int i = 0; i < CRpyGraphDoc::kCapacity; ++i) {
            if (!bars_ || !LapRuns(i, 2)) continue;
            LapSlot& lap = doc_.GetSlot(i);
            const GetRpyInfo& info = *lap.telemetry;
            lap.tracer->Reset();
            for (uint32_t p = 2; p <= position && p + 1 < info.sample_count; p += 2) {
                if (p >= info.distance.size() || p >= info.lateral_offset.size()) break;
                if (info.distance[p] == 0.0 && info.lateral_offset[p] == 0.0) continue;
                lap.tracer->MoveTo(display, info.distance[p], info.lateral_offset[p], false);
            }
        }
    }
    if (resume) {
        playing = resume;
        resume = false;
        if (playing && map_) map_->StartTimer();
    }
}
