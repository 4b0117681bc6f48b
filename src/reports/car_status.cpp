#include "reports/car_status.h"

namespace {

struct Reason {
    int code;
    const char* text;
    const char* short_text;  // nullptr: the same as text
};

constexpr Reason kReasons[] = {
    {0, "No Problems :)", nullptr},      {4, "Brakes", nullptr},         {8, "Coolant", nullptr},
    {12, "Radiator", nullptr},           {16, "Engine", nullptr},        {20, "Header", nullptr},
    {24, "Valve", nullptr},              {28, "Piston", nullptr},        {32, "Gearbox", nullptr},
    {36, "Clutch", nullptr},             {40, "Camshaft", nullptr},      {44, "Ignition", nullptr},
    {48, "Fire", nullptr},               {56, "Fuel Leak", nullptr},     {60, "Fuel Injection", "Fuel Injec"},
    {64, "Fuel Pump", nullptr},          {68, "Fuel Line", nullptr},     {72, "Oil Leak", nullptr},
    {76, "Oil Line", nullptr},           {80, "Oil Pump", nullptr},      {84, "Oil Pressure", "Oil Press"},
    {88, "Suspension", nullptr},         {92, "Puncture", nullptr},      {96, "Tire", nullptr},
    {100, "Wheel", nullptr},             {104, "Accident", nullptr},     {108, "Retired(could be DQ)", "Retired"},
    {116, "No Fuel", nullptr},
};

}  // namespace

std::string RetirementReason(int code, bool short_form) {
    for (const auto& r : kReasons)
        if (r.code == code) return short_form && r.short_text ? r.short_text : r.text;
    if (short_form) return "Unknown";
    return "Unknown! If you know the failure QEL reported\r\nfor this driver, please contact us.\r\nUnknown code is :" +
           std::to_string(code);
}

std::string GetRetirementReasonText(int code, bool short_form) {
    return "Official retirement reason is: " + RetirementReason(code, short_form);
}
