#include "graph/telemetry_graph_model.h"

#include <algorithm>
#include <cstdio>

#include "document/rpy_graph_doc.h"
#include "graph/graph_kind.h"
#include "graph/graph_model.h"
#include "graph/telemetry_curve.h"
#include "interaction/interaction.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"

namespace {

using namespace graph_kind;

// The wait cursor for the length of a scope.
class WaitCursor {
public:
    explicit WaitCursor(Interaction& ui) : ui_(ui) { ui_.BeginWait(); }
    ~WaitCursor() { ui_.EndWait(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Interaction& ui_;
};

std::string CurveTitle(int slot) { return "New graph - " + std::to_string(slot); }

}  // namespace

TelemetryGraphModel::TelemetryGraphModel(const CRpyGraphDoc& doc, GraphModel& graph) : doc_(doc), graph_(graph) {
    for (auto& row : curves_) row.fill(-1);
    wheel_layer_.fill(-1);
}

void TelemetryGraphModel::InitGraph() {
    x_max_ = 1.0;
    y_max_ = 1.0;
    graph_.ShowPointsBar(2 + 4);
    graph_.SetPanelFlags(4, false);
    graph_.SetAxisLabel("Meter", "Meter", 0, 1, true);
    wheel_checked_.fill(true);
    SelectKind(kSpeed);
}

bool TelemetryGraphModel::IsLapUsed(int slot) const {
    if (slot < 0 || slot >= kLaps) return false;
    const LapSlot& lap = doc_.GetSlot(slot);
    return lap.used && lap.telemetry != nullptr && lap.drivers != nullptr;
}

uint32_t TelemetryGraphModel::LapTimeWord(int slot) const {
    if (!IsLapUsed(slot)) return 0;
    const LapSlot& lap = doc_.GetSlot(slot);
    const size_t driver = static_cast<size_t>(std::clamp(lap.driver, 0, Drivers::kMaxDrivers - 1));
    const size_t entry = static_cast<size_t>(std::clamp(lap.lap, 0, Drivers::kTableWords - 1));
    const auto& table = lap.session == 0 ? lap.drivers->practice_times : lap.drivers->race_times;
    return table[driver][entry];
}

std::string TelemetryGraphModel::DriverName(int slot) const {
    if (!IsLapUsed(slot)) return {};
    const LapSlot& lap = doc_.GetSlot(slot);
    const size_t driver = static_cast<size_t>(std::clamp(lap.driver, 0, Drivers::kMaxDrivers - 1));
    return lap.drivers->first_names[driver] + " " + lap.drivers->last_names[driver];
}

std::string TelemetryGraphModel::LapLabel(int slot) const {
    if (!IsLapUsed(slot)) return {};
    const LapSlot& lap = doc_.GetSlot(slot);
    const size_t driver = static_cast<size_t>(std::clamp(lap.driver, 0, Drivers::kMaxDrivers - 1));
    const std::string& first = lap.drivers->first_names[driver];
    return first.substr(0, 1) + " " + lap.drivers->last_names[driver] + " " +
           CRpyGraphDoc::FormatLapTime(LapTimeWord(slot));
}

uint32_t TelemetryGraphModel::LapColour(int slot) const {
    return doc_.GetColours()[static_cast<size_t>(kLapColourEntry + std::clamp(slot, 0, kLaps - 1))];
}

uint32_t TelemetryGraphModel::TimeDiffColour() const {
    return doc_.GetColours()[static_cast<size_t>(kTimeDiffColourEntry)];
}

bool TelemetryGraphModel::IsLapChecked(int slot) const {
    return slot >= 0 && slot < kLaps && lap_checked_[static_cast<size_t>(slot)];
}

bool TelemetryGraphModel::IsWheelChecked(int wheel) const {
    return wheel >= 0 && wheel < kWheels && wheel_checked_[static_cast<size_t>(wheel)];
}

int TelemetryGraphModel::GetCurve(int slot, int layer) const {
    if (slot < 0 || slot >= kLaps || layer < 0 || layer >= kWheels) return -1;
    return curves_[static_cast<size_t>(slot)][static_cast<size_t>(layer)];
}

int TelemetryGraphModel::GetWheelLayer(int wheel) const {
    return wheel >= 0 && wheel < kWheels ? wheel_layer_[static_cast<size_t>(wheel)] : -1;
}

int TelemetryGraphModel::CheckedLapCount() const {
    return static_cast<int>(std::count(lap_checked_.begin(), lap_checked_.end(), true));
}

int TelemetryGraphModel::BuildCurve(int kind, int slot, int wheel) {
    WaitCursor wait(doc_.GetInteraction());
    const GraphKindInfo& info = graph_kind::Info(kind);
    int position = -1;
    const bool was_empty = graph_.GetFirstGraph(position) == nullptr;

    const size_t colour_entry = info.by_wheel ? static_cast<size_t>(kWheelColourEntry + 4 * slot + wheel)
                                              : static_cast<size_t>(kLapColourEntry + slot);
    const int index = graph_.AddGraph(doc_.GetColours().at(colour_entry), CurveTitle(slot), true, true, false);
    TelemetryCurve curve;
    if (index != -1 && IsLapUsed(slot)) {
        curve = BuildTelemetryCurve(*doc_.GetSlot(slot).telemetry, kind, wheel, doc_.GetUseMPH() == 1);
        // The points arrive in order, so each one goes to the curve's end.
        for (const GraphPoint& p : curve.points) graph_.AddPoint(index, p.x, p.y, false);
    }
    if (curve.plotted && curve.last_x > x_max_) x_max_ = curve.last_x;

    if (kind == kElapsedTime) {
        y_min_ = 0.0;
        if (curve.plotted && curve.last_y > y_max_) y_max_ = curve.last_y;
    } else if (kind == kSpeed && doc_.GetUseMPH() == 1) {
        y_min_ = 0.0;
        y_max_ = 250.0;
    } else {
        y_min_ = info.y_min;
        y_max_ = info.y_max;
    }
    if (was_empty || kind == kElapsedTime) graph_.SetRange(0.0, x_max_, y_min_, y_max_, true);
    graph_.Redraw(1);
    return index;
}

void TelemetryGraphModel::ClearCurves() {
    WaitCursor wait(doc_.GetInteraction());
    while (layer_count_ > 0) {
        const size_t layer = static_cast<size_t>(layer_count_ - 1);
        for (int slot = 0; slot < kLaps; ++slot) {
            int& curve = curves_[static_cast<size_t>(slot)][layer];
            if (lap_checked_[static_cast<size_t>(slot)] && curve != -1) graph_.RemoveGraph(curve, false);
            curve = -1;
        }
        --layer_count_;
    }
    wheel_layer_.fill(-1);
    if (time_diff_checked_ && time_diff_present_) {
        time_diff_present_ = false;
        graph_.RemoveGraph(time_diff_curve_, false);
        graph_.RemoveGraph(zero_line_, false);
        time_diff_curve_ = zero_line_ = -1;
    }
    x_max_ = 1.0;
    y_max_ = 1.0;
}

void TelemetryGraphModel::SelectKind(int kind) {
    const GraphKindInfo& info = graph_kind::Info(kind);
    if (info.kind == kNoKind || kind == current_kind_) return;
    ClearCurves();
    current_kind_ = kind;
    const bool mph = doc_.GetUseMPH() == 1;
    graph_.SetAxisLabel(info.title, kind == kSpeed && mph ? "Mph" : info.unit, 0, 0, true);
    if (info.by_wheel) graph_.Redraw(1);

    if (!info.by_wheel) {
        for (int slot = 0; slot < kLaps; ++slot)
            if (lap_checked_[static_cast<size_t>(slot)])
                curves_[static_cast<size_t>(slot)][static_cast<size_t>(layer_count_)] = BuildCurve(kind, slot, 0);
        ++layer_count_;
    } else {
        for (int wheel = 0; wheel < kWheels; ++wheel)
            if (wheel_checked_[static_cast<size_t>(wheel)]) AddWheelLayer(wheel);
    }
    UpdateTimeDiff();
}

void TelemetryGraphModel::SelectKindByPrintIndex(int position) {
    SelectKind(graph_kind::KindAtPrintPosition(position));
}

void TelemetryGraphModel::AddWheelLayer(int wheel) {
    if (layer_count_ >= kWheels) return;
    const int layer = layer_count_;
    for (int slot = 0; slot < kLaps; ++slot)
        if (lap_checked_[static_cast<size_t>(slot)])
            curves_[static_cast<size_t>(slot)][static_cast<size_t>(layer)] = BuildCurve(current_kind_, slot, wheel);
    wheel_layer_[static_cast<size_t>(wheel)] = layer;
    ++layer_count_;
}

void TelemetryGraphModel::AddLapCurves(int slot) {
    WaitCursor wait(doc_.GetInteraction());
    if (current_kind_ == kNoKind) return;
    if (!graph_kind::IsByWheel(current_kind_)) {
        if (layer_count_ > 0)
            curves_[static_cast<size_t>(slot)][static_cast<size_t>(layer_count_ - 1)] =
                BuildCurve(current_kind_, slot, 0);
        return;
    }
    for (int wheel = 0; wheel < kWheels; ++wheel) {
        const int layer = wheel_layer_[static_cast<size_t>(wheel)];
        if (wheel_checked_[static_cast<size_t>(wheel)] && layer >= 0)
            curves_[static_cast<size_t>(slot)][static_cast<size_t>(layer)] = BuildCurve(current_kind_, slot, wheel);
    }
}

void TelemetryGraphModel::RemoveLapCurves(int slot) {
    WaitCursor wait(doc_.GetInteraction());
    for (int layer = layer_count_ - 1; layer >= 0; --layer) {
        int& curve = curves_[static_cast<size_t>(slot)][static_cast<size_t>(layer)];
        if (curve != -1) {
            graph_.ClearPoints(curve, true);
            graph_.RemoveGraph(curve, true);
        }
        curve = -1;
    }
}

void TelemetryGraphModel::OnLapCheck(int slot, bool checked) {
    if (slot < 0 || slot >= kLaps || lap_checked_[static_cast<size_t>(slot)] == checked) return;
    if (checked && !IsLapUsed(slot)) return;
    lap_checked_[static_cast<size_t>(slot)] = checked;
    UpdateTimeDiff();
    if (checked)
        AddLapCurves(slot);
    else
        RemoveLapCurves(slot);
}

void TelemetryGraphModel::RemoveLayer(int layer) {
    if (layer < 0 || layer >= layer_count_) return;
    for (int slot = 0; slot < kLaps; ++slot) {
        auto& row = curves_[static_cast<size_t>(slot)];
        if (lap_checked_[static_cast<size_t>(slot)] && row[static_cast<size_t>(layer)] != -1)
            graph_.RemoveGraph(row[static_cast<size_t>(layer)], true);
        for (int l = layer; l + 1 < layer_count_; ++l) row[static_cast<size_t>(l)] = row[static_cast<size_t>(l + 1)];
        row[static_cast<size_t>(layer_count_ - 1)] = -1;
    }
    --layer_count_;
    for (int& other : wheel_layer_)
        if (other > layer) --other;
}

void TelemetryGraphModel::OnWheelCheck(int wheel, bool checked) {
    if (wheel < 0 || wheel >= kWheels || !graph_kind::IsByWheel(current_kind_)) return;
    if (wheel_checked_[static_cast<size_t>(wheel)] == checked) return;
    wheel_checked_[static_cast<size_t>(wheel)] = checked;
    if (checked) {
        AddWheelLayer(wheel);
    } else {
        const int layer = wheel_layer_[static_cast<size_t>(wheel)];
        wheel_layer_[static_cast<size_t>(wheel)] = -1;
        RemoveLayer(layer);
    }
}

void TelemetryGraphModel::RemoveTimeDiffPair() {
    if (!time_diff_present_) return;
    time_diff_present_ = false;
    graph_.ClearPoints(time_diff_curve_, true);
    graph_.RemoveGraph(time_diff_curve_, false);
    graph_.ClearPoints(zero_line_, true);
    graph_.RemoveGraph(zero_line_, false);
    time_diff_curve_ = zero_line_ = -1;
}

void TelemetryGraphModel::UpdateTimeDiff() {
    wheel_boxes_enabled_ = graph_kind::IsByWheel(current_kind_);
    if (CheckedLapCount() != 2) {
        time_diff_enabled_ = false;
        RemoveTimeDiffPair();
        time_diff_window_shown_ = false;
        return;
    }
    time_diff_enabled_ = true;
    if (!time_diff_checked_) return;
    int a = -1;
    int b = -1;
    for (int slot = 0; slot < kLaps; ++slot) {
        if (!lap_checked_[static_cast<size_t>(slot)]) continue;
        (a == -1 ? a : b) = slot;
    }
    time_diff_window_created_ = true;
    time_diff_window_shown_ = true;
    texts_.caption = LapLabel(a) + " is:";
    ComputeTimeDiff(a, b);
}

void TelemetryGraphModel::OnTimeDiffCheck(bool checked) {
    time_diff_checked_ = checked;
    if (checked) {
        UpdateTimeDiff();
        return;
    }
    RemoveTimeDiffPair();
    time_diff_window_shown_ = false;
}

void TelemetryGraphModel::ComputeTimeDiff(int a, int b) {
    WaitCursor wait(doc_.GetInteraction());
    RemoveTimeDiffPair();
    time_diff_.Compute(*doc_.GetSlot(a).telemetry, *doc_.GetSlot(b).telemetry, LapTimeWord(a), LapTimeWord(b), y_min_,
                       y_max_);
    const uint32_t colour = TimeDiffColour();
    time_diff_curve_ = graph_.AddGraph(colour, CurveTitle(a), true, true, false);
    for (const TimeDifference::Point& p : time_diff_.CurvePoints()) graph_.AddPoint(time_diff_curve_, p.x, p.y, false);
    graph_.Redraw(1);
    zero_line_ = graph_.AddGraph(colour, CurveTitle(a), true, true, false);
    graph_.AddPoint(zero_line_, 0.0, time_diff_.GetCentre(), false);
    graph_.AddPoint(zero_line_, time_diff_.GetLastTarget(), time_diff_.GetCentre(), false);
    graph_.Redraw(1);
    time_diff_present_ = true;

    texts_.finish = time_diff_.FinishText();
    texts_.max_behind = time_diff_.MaxBehindText();
    texts_.max_ahead = time_diff_.MaxAheadText();
    texts_.spread = time_diff_.SpreadText();
}

std::string TelemetryGraphModel::FormatCursorInfo(double x, double y) {
    if (!time_diff_window_created_ || !time_diff_present_) return {};
    texts_.current = time_diff_.AtDistanceText(x);
    return time_diff_.CursorText(y);
}

std::string TelemetryGraphModel::AverageSpeedText(double track_length_m, uint32_t lap_time_word, bool mph) {
    const uint32_t ms = Drivers::LapMs(lap_time_word);
    double speed = ms > 0 ? track_length_m / (ms * 0.001) * 3.6 : 0.0;
    if (mph) speed *= kTableMphFactor;
    char text[64];
    std::snprintf(text, sizeof text, "%7.3f", speed);
    return text;
}
