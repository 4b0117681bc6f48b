#pragma once
// One loaded lap as the analysis tools read it: the slot it stands in, its
// telemetry, and what its labels show. Everything is borrowed from the
// document for as long as a tool is open.

#include <cstdint>
#include <string>
#include <vector>

class CRpyGraphDoc;
class GetRpyInfo;

struct ToolLap {
    int slot = 0;
    const GetRpyInfo* info = nullptr;  // trimmed, derived channels filled
    std::string first_name;
    std::string last_name;
    std::string car_name;
    uint32_t lap_word = 0;  // the lap's word of its session's lap-time table

    // "J Clark 1m 23.456s": initial, last name and the lap time.
    std::string Label() const;
    // The label followed by " (car name)".
    std::string LabelWithCar() const;
};

// The document's loaded laps in slot order (the k-th entry is the k-th
// loaded lap); slots without telemetry are left out.
std::vector<ToolLap> CollectToolLaps(const CRpyGraphDoc& doc);

// "1m 23.456s" from the low 24 bits (milliseconds) of a lap-time word.
std::string FormatToolLapTime(uint32_t lap_word);
