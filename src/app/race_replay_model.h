#pragma once
// What the race playback bar knows and shows, without the bar: the race
// stream of one replay, the race's lap table (every car's line crossings
// and the leader of each lap row), the cars' places on the map at the shown
// step, their running order by track position, the car the map follows,
// and the texts of the bar's information fields.
//
// The bar (a window) shows these texts and hands the user's choices back;
// the playback controller asks for steps to be shown. Cars are placed and
// drawn through a CoreDisplay: the map's painter on screen, a FittedDisplay
// in tests (which places without drawing).

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "replay/race_stream.h"
#include "track/pixel_point.h"

class CarMarker;
class CoreDisplay;
class Drivers;
class Header;
class Interaction;
class Track;

class RaceReplayModel {
public:
    static constexpr int kMaxCars = RaceStream::kMaxCars;
    static constexpr int kLapRows = 150;
    // A crossing that never happened (a lap the car did not complete).
    static constexpr uint32_t kNever = 0xFFFFFFFF;
    // Slider page: a minute of race.
    static constexpr int kPageSteps = 2160;
    // The status once every car has taken the flag.
    static constexpr const char* kAllFinished = "All cars finished";

    // The bar's radio buttons by control id.
    enum Focus { kFocusLeader = 1198, kFocusManual = 1199, kFocusDriver = 1200 };
    enum CarDraw { kToScale = 1216, kOversized = 1217, kCircles = 1218 };

    // The bar's information fields.
    struct Info {
        std::string status;          // 1202
        std::string time_elapsed;    // 1203
        std::string scheduled_laps;  // 1204
        std::string current_lap;     // 1205
        std::string current_leader;  // 1206
        std::string name;            // 1211
        std::string position;        // 1212
        std::string driver_lap;      // 1213
        std::string gap_ahead;       // 1214
        std::string gap_behind;      // 1215
        std::string last_lap_time;   // 1219
    };

    RaceReplayModel();
    ~RaceReplayModel();

    // Reads the race of the replay whose driver table and header are given
    // (borrowed until FreeRaceData), on the given track (borrowed), showing
    // progress through ui. True when the race was loaded; on failure every
    // race array is freed again. Then: "According to scale" and "Focus
    // Leader" ticked, the driver list filled, step 0's information shown.
    bool LoadRace(const Drivers& drivers, const Header& header, const Track& track, Interaction& ui);
    // Forgets the race, the driver table, the header and the track.
    void FreeRaceData();
    bool IsLoaded() const { return loaded_; }
    int GetStepCount() const { return loaded_ ? stream_.step_count() : 0; }
    // The last step that can be shown; -1 without a race.
    int GetLastStep() const { return GetStepCount() - 1; }

    // Places every car with a record at the step (0 to the last step) on
    // the display and draws it by the ticked car-draw option, orders the
    // cars by track position, picks the car to follow and fills the
    // information fields. 1 when a car was placed, 0 when none (or the step
    // lies outside the race).
    int ShowRaceAt(int step, CoreDisplay& display);
    // Fills the information fields for the step.
    void ShowInfoAt(int step);
    // Empties the current lap, leader, status and time fields.
    void ClearInfoFields();

    // Focus commands; true when the focus moved (then "Focus Driver:" is
    // ticked and the driver list shows the car).
    bool OnNextDriver();
    bool OnPrevDriver();
    bool OnClosestFight();
    // The radios and the list; ignored while no race is loaded.
    void SetFocus(int focus);
    void SetComboDriver(int driver);
    void SetCarDraw(int option) { car_draw_ = option; }

    int GetFocus() const { return focus_; }
    int GetComboDriver() const { return combo_driver_; }
    bool IsComboEnabled() const { return focus_ == kFocusDriver; }
    int GetCarDraw() const { return car_draw_; }
    // The mode the cars were last drawn in: 0 none yet, 1 to scale, 2
    // oversized, 3 circles.
    int GetCarDrawMode() const { return car_draw_mode_; }
    int GetFocusDriver() const { return focus_driver_; }
    PixelPoint GetFocusPosition() const { return focus_position_; }
    const std::array<PixelPoint, kMaxCars>& GetCarPositions() const { return car_positions_; }
    int GetCarCount() const { return stream_.car_count(); }
    int GetShownStep() const { return shown_step_; }
    const Info& GetInfo() const { return info_; }
    // One entry per driver: initial, last name and car.
    const std::vector<std::string>& GetComboEntries() const { return combo_entries_; }

    // Car indexes front first, and their track distance x 10 (0: not on
    // the track), as ordered by the last ShowRaceAt.
    const std::array<int, kMaxCars>& GetOrder() const { return order_; }
    const std::array<uint32_t, kMaxCars>& GetPositionKeys() const { return keys_; }
    // The lap table: a car's cumulative line-crossing time at a lap row
    // (row 0 its first crossing), kNever when it never got there.
    uint32_t GetCrossing(int row, int car) const;
    uint32_t GetLeaderCrossing(int row) const;
    int GetLeaderAtRow(int row) const;
    uint32_t GetLatestFinish() const { return latest_finish_; }
    const RaceStream& Stream() const { return stream_; }

    // Texts of the bar: "1:05" from milliseconds (rounded to the second),
    // "1:05.123" for gaps and lap times.
    static std::string FormatElapsed(uint32_t ms);
    static std::string FormatGap(uint32_t ms);
    static std::string StateText(int state);
    // A car's name as the bar shows it: first initial and last name.
    std::string DriverName(int car) const;

private:
    void BuildLapTable();
    // The lap row whose lap the leader is on at race time t.
    int LapRowAt(uint32_t t) const;
    void FocusOn(int car);

    RaceStream stream_;
    std::unique_ptr<CarMarker> marker_;
    const Drivers* drivers_ = nullptr;
    const Header* header_ = nullptr;
    bool loaded_ = false;
    int focus_ = kFocusLeader;
    int combo_driver_ = 0;
    int car_draw_ = kToScale;
    int car_draw_mode_ = 0;
    int focus_driver_ = -1;
    int shown_step_ = 0;
    int current_lap_row_ = 0;
    PixelPoint focus_position_{0, 0};
    std::array<PixelPoint, kMaxCars> car_positions_{};
    std::array<int, kMaxCars> order_{};
    std::array<uint32_t, kMaxCars> keys_{};
    int rows_ = 0;
    std::vector<std::array<uint32_t, kMaxCars>> crossings_;  // [row][car]
    std::array<uint32_t, kLapRows> leader_crossing_{};
    std::array<int, kLapRows> leader_at_row_{};
    uint32_t latest_finish_ = 0;
    bool any_finish_ = false;
    std::vector<std::string> combo_entries_;
    Info info_;
};
