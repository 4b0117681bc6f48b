#include "graph/graph_kind.h"

#include <cstddef>

namespace graph_kind {

namespace {

// The transition rate is the change of lateral force per second; it is as
// often negative (the car leaving a corner) as positive, so its range is
// symmetric: a range from 0 would hide every corner exit.
const std::array<GraphKindInfo, kCount + 1> kTable{{
    {},
    {kSpeed, 1032, "Speed", "Speed", "Speed", "Kph", 0, 350, 3, false},
    {kGear, 1034, "Gear", "Gear", "Gear", "Gear", 0, 6, 2, false},
    {kRpm, 1035, "RPM", "RPM", "Revs", "RPM", 400, 14000, 2, false},
    {kSlipAngle, 1244, "Slip angle", "Slip angle", "Degrees", "Degrees", -25, 25, 2, false},
    {kAccelLong, 1245, "Acceleration (long)", "Acceleration (long)", "Force", "G", -2.6, 2.6, 2, false},
    {kAccelLat, 1246, "Acceleration (lat)", "Acceleration (lat)", "Force", "G", -2.6, 2.6, 2, false},
    {kAccelTotal, 1252, "Acceleration (total)", "Acceleration (total)", "Force", "G", 0, 2.6, 3, false},
    {kHeight, 1247, "Height", "Height", "Height", "Centimeters", 20, 40, 2, false},
    {kPitch, 1248, "Pitch", "Pitch", "Angle", "Units", -128, 128, 2, false},
    {kRoll, 1249, "Roll", "Roll", "Angle", "Units", -128, 128, 2, false},
    {kSteering, 1250, "Steering", "Steering", "Angle", "Units", -64, 64, 2, false},
    {kSuspension, 1251, "Suspension (by wheel)", "Suspension", "Angle", "Units", -20, 40, 2, true},
    {kOrientation, 1041, "Orientation", "Orientation", "Angle", "Degrees", 0, 360, 2, false},
    {kElapsedTime, 1257, "Elapsed time", "Elapsed time", "Time", "Seconds", 0, 0, 2, false},
    {kOilPressure, 1258, "Oil pressure", "Oil pressure", "Pressure", "PSI", 0, 100, 2, false},
    {kTransitionRate, 1259, "Transition rate", "Transition rate", "Rate", "G/s", -7, 7, 2, false},
    {kLockedWheels, 1254, "Locked wheels (by wheel)", "Locked wheels", "Locked/Not locked", "Value", -1, 2, 2, true},
    {kFuelPressure, 1260, "Fuel pressure", "Fuel pressure", "Pressure", "PSI", 0, 100, 2, false},
    {kOilTemperature, 1261, "Oil temperature", "Oil temperature", "Temperature", "C", 20, 120, 2, false},
    {kWaterTemperature, 1262, "Water temperature", "Water temperature", "Temperature", "C", 20, 120, 2, false},
    {kTyreSqueal, 1263, "Tire squeel", "Tire squeel", "Sound", "Units", -20, 50, 2, false},
}};

const std::array<int, kCount> kPrintOrder{
    kSpeed,       kGear,        kRpm,          kAccelLong,     kAccelLat,       kTransitionRate,  kAccelTotal,
    kHeight,      kPitch,       kRoll,         kSteering,      kOrientation,    kSlipAngle,       kElapsedTime,
    kOilPressure, kFuelPressure, kOilTemperature, kWaterTemperature, kTyreSqueal, kSuspension,    kLockedWheels,
};

}  // namespace

const std::array<int, kCount>& PrintOrder() { return kPrintOrder; }

const GraphKindInfo& Info(int kind) {
    return kind >= 1 && kind <= kCount ? kTable[static_cast<std::size_t>(kind)] : kTable[0];
}

int KindAtPrintPosition(int position) {
    return position >= 1 && position <= kCount ? kPrintOrder[static_cast<std::size_t>(position - 1)] : 0;
}

int PrintPosition(int kind) {
    for (int p = 0; p < kCount; ++p)
        if (kPrintOrder[static_cast<std::size_t>(p)] == kind) return p + 1;
    return 0;
}

bool IsByWheel(int kind) { return kind == kSuspension || kind == kLockedWheels; }

}  // namespace graph_kind
