#pragma once
// The twenty-one kinds of telemetry graph: which channel of a lap each one
// plots, how a sample becomes a y value, which samples it plots, its fixed
// y range and its y axis label.
//
// Kinds are numbered 1 to 21 (the window's current kind; 0 is "none").
// The print order (the order of the window's radio buttons and of the
// print choice) is a different numbering, 1-based as well.

#include <array>

namespace graph_kind {

enum GraphKind : int {
    kNoKind = 0,
    kSpeed = 1,
    kGear = 2,
    kRpm = 3,
    kSlipAngle = 4,
    kAccelLong = 5,
    kAccelLat = 6,
    kAccelTotal = 7,
    kHeight = 8,
    kPitch = 9,
    kRoll = 10,
    kSteering = 11,
    kSuspension = 12,
    kOrientation = 13,
    kElapsedTime = 14,
    kOilPressure = 15,
    kTransitionRate = 16,
    kLockedWheels = 17,
    kFuelPressure = 18,
    kOilTemperature = 19,
    kWaterTemperature = 20,
    kTyreSqueal = 21,
};

}  // namespace graph_kind

struct GraphKindInfo {
    int kind = graph_kind::kNoKind;
    int radio_id = 0;            // control id of the kind's radio button
    const char* name = "";       // radio button text
    const char* print_name = ""; // name in the print choice and on the page
    const char* title = "";      // y axis title and unit
    const char* unit = "";
    double y_min = 0.0;          // fixed y range (Speed in km/h; see SpeedRange)
    double y_max = 0.0;
    int last_from_end = 2;       // samples 2 .. count - last_from_end are plotted
    bool by_wheel = false;       // one curve per lap and wheel
};

namespace graph_kind {

constexpr int kCount = 21;
// Graph kinds whose print position is p (1-based), in print order.
const std::array<int, kCount>& PrintOrder();

// The kind's row; kind outside 1..21 gives an empty row (kind 0).
const GraphKindInfo& Info(int kind);
// The kind at print position p (1..21), or 0.
int KindAtPrintPosition(int position);
// The 1-based print position of a kind, or 0.
int PrintPosition(int kind);
// Suspension and Locked wheels.
bool IsByWheel(int kind);

}  // namespace graph_kind
