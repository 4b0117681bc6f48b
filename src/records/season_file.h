#pragma once
// SeasonFile: the simulator's season, the ordered list of its race events,
// read from seasons\67season.ini under the simulator's folder. Section
// "Season" holds numEvents (the simulator writes it with varying case; the
// names compare without regard to case); sections Event1 to EventN hold
// each event's seven keys. Every value is text, and a missing key reads as
// "default", as the simulator's other readers take it.

#include <filesystem>
#include <string>
#include <vector>

#include "settings/ini_file.h"

class SeasonFile {
public:
    static constexpr const char* kMissingText = "default";
    // numEvents beyond this is read as this many. The simulator holds at
    // most 64 events; the bound keeps a damaged count from making readers
    // build millions of "default" events.
    static constexpr int kMaxEvents = 10000;

    // One event; every field is the key's text, "default" when the key is missing.
    struct Event {
        std::string name;             // name: long track name
        std::string short_name;       // shortname
        std::string track_directory;  // trackDirectory: the track's folder under tracks
        std::string number_of_laps;   // numberOfLaps
        std::string day;              // day
        std::string month;            // month
        std::string starting_grid;    // startingGrid
    };

    // The season file under the simulator's folder, each component found
    // without regard to case; where it is missing, the path it would have.
    // Empty when the folder is a Windows path whose drive does not exist.
    static std::filesystem::path PathIn(const std::filesystem::path& simulator_folder);

    SeasonFile();

    // Reads the file. False when it is missing or unreadable: the season
    // then has no events and numEvents reads as "default".
    bool Load(const std::filesystem::path& file);

    // numEvents of section Season as written, "default" when missing.
    std::string NumEventsText() const;
    // The number that numEvents starts with; 0 when it does not start with a
    // digit (a missing value included), at most kMaxEvents.
    int EventCount() const;
    // Event k, counting from 1 (sections need not exist: their keys read as
    // "default").
    Event GetEvent(int k) const;
    // Events 1 to EventCount(), in season order.
    std::vector<Event> Events() const;

    // The parsed file, for callers that need further keys.
    const IniFile& ini() const { return ini_; }

private:
    IniFile ini_;
};
