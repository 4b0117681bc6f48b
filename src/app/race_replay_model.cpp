#include "app/race_replay_model.h"

#include <algorithm>
#include <cstdio>

#include "document/rpy_graph_doc.h"
#include "interaction/interaction.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "track/car_marker.h"
#include "track/core_display.h"

namespace {

// Marker colour (colour-table entry) by engine index modulo 7.
constexpr int kEngineColour[7] = {11, 6, 5, 1, 0, 2, 14};

}  // namespace

RaceReplayModel::RaceReplayModel() { FreeRaceData(); }

RaceReplayModel::~RaceReplayModel() = default;

std::string RaceReplayModel::FormatElapsed(uint32_t ms) {
    const uint64_t s = (uint64_t{ms} + 500) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(s / 60),
                  static_cast<unsigned long long>(s % 60));
    return text;
}

std::string RaceReplayModel::FormatGap(uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u.%03u", ms / 60000, ms / 1000 % 60, ms % 1000);
    return text;
}

std::string RaceReplayModel::StateText(int state) {
    switch (state) {
    case RaceStream::kLiningUp: return "Cars lining up";
    case RaceStream::kGreenRaised: return "Green flag raised";
    case RaceStream::kGreenDrops: return "Green flag drops!";
    case RaceStream::kRacing: return "Green flag racing";
    case RaceStream::kChequered: return "Chequered flag waved";
    default: return {};
    }
}

void RaceReplayModel::FreeRaceData() {
    stream_.Clear();
    marker_.reset();
    drivers_ = nullptr;
    header_ = nullptr;
    loaded_ = false;
    focus_driver_ = -1;
    shown_step_ = 0;
    current_lap_row_ = 0;
    car_draw_mode_ = 0;
    focus_position_ = {0, 0};
    car_positions_.fill({0, 0});
    for (int i = 0; i < kMaxCars; ++i) order_[static_cast<size_t>(i)] = i;
    keys_.fill(0);
    rows_ = 0;
    crossings_.clear();
    leader_crossing_.fill(kNever);
    leader_at_row_.fill(-1);
    latest_finish_ = 0;
    any_finish_ = false;
    combo_entries_.clear();
    info_ = {};
}

bool RaceReplayModel::LoadRace(const Drivers& drivers, const Header& header, const Track& track, Interaction& ui) {
    FreeRaceData();
    marker_ = std::make_unique<CarMarker>(track);
    drivers_ = &drivers;
    header_ = &header;
    ui.ShowProgress("Searching for start of race...");
    ui.BeginWait();
    ui.ShowProgress("Loading race information...");
    const RaceStream::Result result =
        stream_.Load(drivers, [&ui](int step, int steps) { ui.SetProgress(step, steps); });
    ui.EndWait();
    ui.ShowProgress({});
    if (stream_.missing_frame_number()) ui.ShowMessage("0x0d utan 0x0e. Ngt \xE4r knas!");
    if (result != RaceStream::Result::kLoaded) {
        FreeRaceData();
        return false;
    }
    // The bar's controls as a fresh race starts.
    car_draw_ = kToScale;
    car_draw_mode_ = 0;
    focus_ = kFocusLeader;
    combo_driver_ = 0;
    for (int i = 0; i < stream_.car_count(); ++i) {
        const size_t d = static_cast<size_t>(i);
        const std::string& first = drivers.first_names[d];
        combo_entries_.push_back((first.empty() ? std::string() : first.substr(0, 1)) + " " + drivers.last_names[d] +
                                 " (" +
                                 CRpyGraphDoc::GetCarName(drivers.season_code[d],
                                                          static_cast<int>(drivers.engine_index[d])) +
                                 ")");
    }
    loaded_ = true;
    BuildLapTable();
    ClearInfoFields();
    info_.scheduled_laps = std::to_string(header.race_laps);
    ShowInfoAt(0);
    return true;
}

void RaceReplayModel::BuildLapTable() {
    const int cars = stream_.car_count();
    int most = 0;
    for (int d = 0; d < cars; ++d) most = std::max(most, drivers_->race_lap_count[static_cast<size_t>(d)]);
    most = std::clamp(most, 0, Drivers::kMaxLaps);
    // Rows 0 to the longest race's lap count and one beyond, inside the
    // table's 150 rows.
    rows_ = std::min(most + 2, kLapRows);
    crossings_.assign(static_cast<size_t>(rows_), {});
    for (auto& row : crossings_) row.fill(kNever);
    for (int d = 0; d < cars; ++d) {
        const size_t c = static_cast<size_t>(d);
        const auto& times = drivers_->race_times[c];
        const int laps = std::clamp(drivers_->race_lap_count[c], 0, Drivers::kMaxLaps);
        if (times[0] == Drivers::kNoTime) continue;
        crossings_[0][c] = Drivers::LapMs(times[0]);
        // Laps the car never completed have no crossing: the table's unused
        // words are not times.
        for (int l = 1; l < rows_ && l <= laps; ++l) {
            if (times[static_cast<size_t>(l)] == Drivers::kNoTime) break;
            crossings_[static_cast<size_t>(l)][c] =
                crossings_[static_cast<size_t>(l - 1)][c] + Drivers::LapMs(times[static_cast<size_t>(l)]);
        }
        const uint32_t finish = crossings_[static_cast<size_t>(std::min(laps, rows_ - 1))][c];
        if (finish != kNever && (!any_finish_ || finish > latest_finish_)) {
            latest_finish_ = finish;
            any_finish_ = true;
        }
    }
    for (int l = 0; l < rows_; ++l) {
        for (int d = 0; d < cars; ++d) {
            const uint32_t t = crossings_[static_cast<size_t>(l)][static_cast<size_t>(d)];
            if (t != kNever && t < leader_crossing_[static_cast<size_t>(l)]) {
                leader_crossing_[static_cast<size_t>(l)] = t;
                leader_at_row_[static_cast<size_t>(l)] = d;
            }
        }
    }
}

uint32_t RaceReplayModel::GetCrossing(int row, int car) const {
    if (row < 0 || row >= rows_ || car < 0 || car >= kMaxCars) return kNever;
    return crossings_[static_cast<size_t>(row)][static_cast<size_t>(car)];
}

uint32_t RaceReplayModel::GetLeaderCrossing(int row) const {
    return row >= 0 && row < kLapRows ? leader_crossing_[static_cast<size_t>(row)] : kNever;
}

int RaceReplayModel::GetLeaderAtRow(int row) const {
    return row >= 0 && row < kLapRows ? leader_at_row_[static_cast<size_t>(row)] : -1;
}

int RaceReplayModel::LapRowAt(uint32_t t) const {
    for (int i = 0; i + 1 < kLapRows; ++i)
        if (leader_crossing_[static_cast<size_t>(i + 1)] >= t) return i;
    return kLapRows - 2;
}

std::string RaceReplayModel::DriverName(int car) const {
    if (!drivers_ || car < 0 || car >= stream_.car_count()) return {};
    const std::string& first = drivers_->first_names[static_cast<size_t>(car)];
    return (first.empty() ? std::string() : first.substr(0, 1)) + " " + drivers_->last_names[static_cast<size_t>(car)];
}

void RaceReplayModel::ClearInfoFields() {
    info_.current_lap.clear();
    info_.current_leader.clear();
    info_.status.clear();
    info_.time_elapsed.clear();
    current_lap_row_ = 0;
}

int RaceReplayModel::ShowRaceAt(int step, CoreDisplay& display) {
    if (!loaded_ || step < 0 || step > GetLastStep()) return 0;
    const int cars = stream_.car_count();
    std::array<uint32_t, kMaxCars> keys{};
    bool placed = false;
    car_draw_mode_ = car_draw_ == kOversized ? 2 : car_draw_ == kCircles ? 3 : 1;
    for (int c = 0; c < cars; ++c) {
        const size_t i = static_cast<size_t>(c);
        car_positions_[i] = {0, 0};
        keys[i] = static_cast<uint32_t>(c) << 24;
        if (!stream_.Present(step, c)) continue;
        const double distance = stream_.Distance(step, c);
        const auto at = marker_->PlaceAtDistance(display, distance, stream_.Lateral(step, c));
        if (!at) continue;
        car_positions_[i] = *at;
        const int colour = kEngineColour[drivers_->engine_index[i] % 7];
        if (car_draw_mode_ == 3)
            marker_->DrawExtra(display, *at, colour);
        else
            marker_->DrawOutline(display, *at, stream_.Heading(step, c), colour, car_draw_mode_ == 2);
        keys[i] |= std::min<uint32_t>(static_cast<uint32_t>(distance * 10), 0xFFFFFF);
        placed = true;
    }
    // Front first; a tie goes to the lower driver index, so equal input
    // always gives the same order.
    std::stable_sort(keys.begin(), keys.begin() + cars,
                     [](uint32_t a, uint32_t b) { return (a & 0xFFFFFF) > (b & 0xFFFFFF); });
    for (int k = 0; k < cars; ++k) {
        order_[static_cast<size_t>(k)] = static_cast<int>(keys[static_cast<size_t>(k)] >> 24);
        keys_[static_cast<size_t>(k)] = keys[static_cast<size_t>(k)] & 0xFFFFFF;
    }

    const uint32_t t = stream_.StepTime(step);
    if (focus_ == kFocusManual) {
        focus_driver_ = -1;
    } else if (focus_ == kFocusLeader) {
        focus_driver_ = leader_crossing_[0] < t ? leader_at_row_[static_cast<size_t>(LapRowAt(t))] : order_[0];
    } else {
        focus_driver_ = combo_driver_ >= 0 && combo_driver_ < cars ? combo_driver_ : -1;
    }
    focus_position_ = focus_driver_ >= 0 ? car_positions_[static_cast<size_t>(focus_driver_)] : PixelPoint{0, 0};
    ShowInfoAt(step);
    return placed ? 1 : 0;
}

void RaceReplayModel::ShowInfoAt(int step) {
    if (!loaded_ || step < 0 || step > GetLastStep()) return;
    const uint32_t t = stream_.StepTime(step);
    info_.time_elapsed = FormatElapsed(t);
    info_.status = any_finish_ && t > latest_finish_ ? kAllFinished : StateText(stream_.StepState(step));

    const int row = LapRowAt(t);
    if (leader_crossing_[0] < t) {
        info_.current_lap = std::to_string(row + 1);
        info_.current_leader = DriverName(leader_at_row_[static_cast<size_t>(row)]);
    } else {
        info_.current_lap.clear();
        info_.current_leader.clear();
    }
    current_lap_row_ = row;

    info_.name.clear();
    info_.position.clear();
    info_.driver_lap.clear();
    info_.gap_ahead.clear();
    info_.gap_behind.clear();
    info_.last_lap_time.clear();
    const int d = focus_driver_;
    if (focus_ != kFocusManual && d >= 0 && d < stream_.car_count()) {
        info_.name = DriverName(d);
        const uint32_t first = GetCrossing(0, d);
        if (first != kNever && first < t) {
            int b = 0;
            while (b + 1 < rows_ && GetCrossing(b + 1, d) < t) ++b;
            info_.driver_lap = std::to_string(b + 1);
            const uint32_t mine = GetCrossing(b, d);
            int ahead = 0;
            uint32_t gap_ahead = kNever;
            uint32_t gap_behind = kNever;
            int behind_car = -1;
            for (int e = 0; e < stream_.car_count(); ++e) {
                if (e == d || drivers_->race_lap_count[static_cast<size_t>(e)] < b) continue;
                const uint32_t theirs = GetCrossing(b, e);
                if (theirs == kNever) continue;
                if (theirs < mine) {
                    ++ahead;
                    gap_ahead = std::min(gap_ahead, mine - theirs);
                } else if (theirs > mine && theirs - mine < gap_behind) {
                    gap_behind = theirs - mine;
                    behind_car = e;
                }
            }
            info_.position = std::to_string(ahead + 1);
            if (ahead > 0) info_.gap_ahead = FormatGap(gap_ahead);
            if (behind_car >= 0 && GetCrossing(b, behind_car) < t) info_.gap_behind = FormatGap(gap_behind);
            if (b >= 1) info_.last_lap_time = FormatGap(Drivers::LapMs(drivers_->race_times[static_cast<size_t>(d)][static_cast<size_t>(b)]));
        }
    }
    shown_step_ = step;
}

void RaceReplayModel::SetFocus(int focus) {
    if (!loaded_) return;
    focus_ = focus;
}

void RaceReplayModel::SetComboDriver(int driver) {
    if (!loaded_) return;
    combo_driver_ = driver;
}

void RaceReplayModel::FocusOn(int car) {
    focus_ = kFocusDriver;
    combo_driver_ = car;
    focus_driver_ = car;
}

bool RaceReplayModel::OnNextDriver() {
    if (!loaded_ || focus_driver_ < 0) return false;
    const int cars = stream_.car_count();
    const int k = static_cast<int>(std::find(order_.begin(), order_.begin() + cars, focus_driver_) - order_.begin());
    if (k >= cars) return false;
    if (k > 0) {
        FocusOn(order_[static_cast<size_t>(k - 1)]);
        return true;
    }
    // From the front car round to the last car on the track.
    for (int j = cars - 1; j > 0; --j) {
        if (keys_[static_cast<size_t>(j)] != 0) {
            FocusOn(order_[static_cast<size_t>(j)]);
            return true;
        }
    }
    return false;
}

bool RaceReplayModel::OnPrevDriver() {
    if (!loaded_ || focus_driver_ < 0) return false;
    const int cars = stream_.car_count();
    const int k = static_cast<int>(std::find(order_.begin(), order_.begin() + cars, focus_driver_) - order_.begin());
    if (k >= cars) return false;
    if (k + 1 < cars && keys_[static_cast<size_t>(k + 1)] != 0)
        FocusOn(order_[static_cast<size_t>(k + 1)]);
    else
        FocusOn(order_[0]);
    return true;
}

bool RaceReplayModel::OnClosestFight() {
    if (!loaded_) return false;
    const int cars = stream_.car_count();
    int best = -1;
    uint32_t best_gap = 0;
    for (int k = 0; k + 1 < cars; ++k) {
        const uint32_t front = keys_[static_cast<size_t>(k)];
        const uint32_t rear = keys_[static_cast<size_t>(k + 1)];
        if (front == 0 || rear == 0) break;
        if (best < 0 || front - rear < best_gap) {
            best = k;
            best_gap = front - rear;
        }
    }
    if (best < 0) return false;
    FocusOn(order_[static_cast<size_t>(best + 1)]);
    return true;
}
