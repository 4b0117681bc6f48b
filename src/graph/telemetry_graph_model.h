#pragma once
// What the telemetry graph window does, without the window: which laps and
// wheels are ticked, which kind is shown, and the curves that this puts on
// the graph (one per ticked lap, or one per ticked lap and wheel for the
// by-wheel kinds), plus the time-difference pair while exactly two laps
// and its box are ticked. The window forwards every click here and then
// shows the state this model reports.
//
// Laps are the document's lap slots 0-4 everywhere (the window's lap boxes
// 1-5 stand for slots 0-4). Curves of a single-curve kind take document
// colour entry 16 + slot, by-wheel curves entry 22 + 4 x slot + wheel, the
// time difference entry 21.
//
// The document and the graph are borrowed and must outlive the model; the
// document's laps must not change while the model lives (the window is
// modal).

#include <array>
#include <cstdint>
#include <string>

#include "graph/time_difference.h"

class CRpyGraphDoc;
class GraphModel;

class TelemetryGraphModel {
public:
    static constexpr int kLaps = 5;
    static constexpr int kWheels = 4;  // left front, right front, left rear, right rear
    static constexpr int kLapColourEntry = 16;
    static constexpr int kTimeDiffColourEntry = 21;
    static constexpr int kWheelColourEntry = 22;
    // Miles per hour in the printed lap table (the graphs use 0.621).
    static constexpr double kTableMphFactor = 0.6213722922;

    TelemetryGraphModel(const CRpyGraphDoc& doc, GraphModel& graph);

    // The graph's first set-up: x axis in metres, coordinates shown, the
    // point list hidden, every wheel ticked and Speed shown.
    void InitGraph();

    // Lap slots.
    bool IsLapUsed(int slot) const;
    // Initial of the first name, the last name and the lap time
    // ("J Doe 1m 02.345s"); "" for a free slot.
    std::string LapLabel(int slot) const;
    // "John Doe".
    std::string DriverName(int slot) const;
    // The slot's lap-time word from its driver table (0 for a free slot).
    uint32_t LapTimeWord(int slot) const;
    uint32_t LapColour(int slot) const;
    uint32_t TimeDiffColour() const;

    // Clicks.
    // A kind other than the shown one: every curve goes, the new kind's
    // curves come for the ticked laps (and wheels).
    void SelectKind(int kind);
    // The kind at a print position (1-21), as a click on its radio would.
    void SelectKindByPrintIndex(int position);
    void OnLapCheck(int slot, bool checked);
    // Ignored unless a by-wheel kind is shown.
    void OnWheelCheck(int wheel, bool checked);
    void OnTimeDiffCheck(bool checked);
    // Enables the wheel and time-difference boxes for the current state and
    // adds, rebuilds or removes the time-difference pair.
    void UpdateTimeDiff();

    // The cursor moved over the graph: updates the "At current pos:" text
    // and returns the ", timediff=..." text; "" while no time difference is
    // shown.
    std::string FormatCursorInfo(double x, double y);

    // State for the window.
    int GetCurrentKind() const { return current_kind_; }
    bool IsLapChecked(int slot) const;
    bool IsWheelChecked(int wheel) const;
    bool IsTimeDiffChecked() const { return time_diff_checked_; }
    bool AreWheelBoxesEnabled() const { return wheel_boxes_enabled_; }
    bool IsTimeDiffEnabled() const { return time_diff_enabled_; }
    // The information window: created once it was first needed, then
    // shown and hidden.
    bool IsTimeDiffWindowCreated() const { return time_diff_window_created_; }
    bool IsTimeDiffWindowShown() const { return time_diff_window_shown_; }
    bool IsTimeDiffPresent() const { return time_diff_present_; }
    struct TimeDiffTexts {
        std::string caption;  // "<first lap's label> is:"
        std::string finish, max_ahead, max_behind, spread, current;
    };
    const TimeDiffTexts& GetTimeDiffTexts() const { return texts_; }
    const TimeDifference& GetTimeDifference() const { return time_diff_; }
    // The curve of a slot in a layer, -1 when none.
    int GetCurve(int slot, int layer) const;
    int GetLayerCount() const { return layer_count_; }
    int GetWheelLayer(int wheel) const;
    int GetTimeDiffCurve() const { return time_diff_curve_; }
    int GetZeroLine() const { return zero_line_; }
    double GetXMax() const { return x_max_; }
    double GetYMin() const { return y_min_; }
    double GetYMax() const { return y_max_; }

    // Average speed of a lap over the track length, "%.3f" right-aligned in
    // seven characters (longer numbers keep every digit); km/h, or mph.
    // A lap without time shows 0.000.
    static std::string AverageSpeedText(double track_length_m, uint32_t lap_time_word, bool mph);

private:
    // A curve of `kind` for a slot (and wheel) on the graph; its index or -1.
    int BuildCurve(int kind, int slot, int wheel);
    void ClearCurves();
    void AddLapCurves(int slot);
    void RemoveLapCurves(int slot);
    void AddWheelLayer(int wheel);
    void RemoveLayer(int layer);
    void RemoveTimeDiffPair();
    void ComputeTimeDiff(int a, int b);
    int CheckedLapCount() const;

    const CRpyGraphDoc& doc_;
    GraphModel& graph_;

    std::array<bool, kLaps> lap_checked_{};
    std::array<bool, kWheels> wheel_checked_{};
    bool time_diff_checked_ = false;
    bool wheel_boxes_enabled_ = false;
    bool time_diff_enabled_ = false;
    bool time_diff_window_created_ = false;
    bool time_diff_window_shown_ = false;

    double x_max_ = 1.0;
    double y_min_ = 0.0;
    double y_max_ = 1.0;
    std::array<std::array<int, kWheels>, kLaps> curves_{};
    int layer_count_ = 0;
    std::array<int, kWheels> wheel_layer_{};
    int time_diff_curve_ = -1;
    int zero_line_ = -1;
    int current_kind_ = 0;
    bool time_diff_present_ = false;
    TimeDifference time_diff_;
    TimeDiffTexts texts_;
};
