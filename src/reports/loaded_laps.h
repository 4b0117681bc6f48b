#pragma once
// The laps loaded in the document, as the reports over loaded laps (online
// laptime verifier, sector times, speed) and the detailed race read them.
// Everything is borrowed for the duration of one writer call.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class Drivers;
class GetRpyInfo;
class Header;

struct LoadedLap {
    const Header* header = nullptr;
    const Drivers* drivers = nullptr;  // its path names the replay
    const GetRpyInfo* info = nullptr;  // trimmed, with the speed channel filled
    int driver = 0;                    // index in the driver table
    int session = 0;                   // 0 practice, otherwise race
    int lap = 0;                       // entry of the session's lap-time table
    // Milliseconds from the start of the lap at which the car crossed the
    // track's first, second and third split line.
    std::array<uint32_t, 3> split_ms{};

    // The lap's word of its session's lap-time table (lap k is entry k in
    // both sessions); 0 for a lap outside the table.
    uint32_t LapWord() const;
    std::string FirstName() const;
    std::string LastName() const;
};

struct LoadedLaps {
    std::vector<LoadedLap> laps;   // in lap-slot order, loaded slots only
    double track_length_m = 0;     // the document's track
    bool mph = false;              // the document's copy of the MPH setting
};
