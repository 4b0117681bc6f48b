#pragma once
// What the "Choose Lap To Load" dialog shows and decides, without a window:
// the replay's facts, every driver with his practice and race laps as a
// tree, the details of the selected driver and lap, the verdict on OK and
// the online-quality report of a lap. The dialog (Chooselap) only shows
// this and hands the user's clicks to it.
//
// Use: fill the inputs with Fill() from a loaded Header and Drivers, run
// the dialog over the model, read back the LapChoice.
//
// Texts are the system's own bytes (Windows-1252).

#include "document/lap_choice.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Drivers;
class Header;


// One entry of the tree. The entry carries what it stands for, so nothing
// is ever read back out of its text: a driver has session and lap -1, a
// session heading has lap -1, a lap entry has all three (lap 0 is the time
// before the first crossing of the line).
struct ChooselapEntry {
    int driver = -1;
    int session = -1;
    int lap = -1;
    std::string text;
    bool bold = false;  // a lap whose telemetry is stored whole: it can be loaded
    std::vector<ChooselapEntry> children;

    bool IsLap() const { return lap >= 0; }
};

class ChooselapModel {
public:
    static constexpr int kMaxDrivers = 20;
    static constexpr int kLapEntries = 150;  // entry 0 and laps 1 to 149
    static constexpr int kCountryCount = 29;
    static constexpr uint32_t kNoTime = 0xCDCDCDCD;
    // Wave resources played when certain drivers are shown.
    static constexpr int kSoundMaltrevik = 236;
    static constexpr int kSoundDersenov = 237;
    static constexpr int kSoundPallorin = 259;

    // The thirteen replay texts, in the order the dialog lays them out.
    enum ReplayText {
        kSavedBy, kCarset, kLength, kTrack, kAiCars, kNoOfCars, kPractice, kRace,
        kQelVersion, kGameMode, kDamage, kRaceLaps, kSessions, kReplayTextCount
    };

    // Details of the selected lap; every text empty when nothing is selected.
    struct LapDetails {
        std::string laptime;     // "1m 23.456s", or "None selected"
        std::string incidents;   // "Off track, Invalid", "None reported", or empty
        std::string session;     // "Practice", "Race", or empty
        std::string selectable;  // "Yes" or "No"
        bool quality_enabled = false;
    };
    // Details of the selected driver.
    struct DriverDetails {
        std::string name;
        std::string country;
        std::string car_class;   // "Lotus/F1 (1967)"
        std::string type;        // "Human", "AI-car" or "Alien"
        uint32_t helmet_rgb = 0; // 0x00RRGGBB
        int picture = 0;         // car picture 0 to 6 (engine index mod 7)
        int sound = 0;           // wave resource to play, 0 for none
    };
    // What selecting an entry changes: the lap details always, the driver
    // details only when the entry belongs to another driver than before.
    struct SelectionUpdate {
        LapDetails lap;
        std::optional<DriverDetails> driver;
    };
    // Verdict on OK: the chosen lap, or a message (and its box title) and
    // the dialog stays open.
    struct OkVerdict {
        std::optional<LapChoice> choice;
        std::string message;
        std::string title;
    };

    // Inputs.
    int driver_count = 0;
    std::array<std::string, kMaxDrivers> first_names;
    std::array<std::string, kMaxDrivers> last_names;
    std::array<bool, kMaxDrivers> ai{};
    std::array<uint8_t, kMaxDrivers> engine_index{};   // picture = value mod 7
    std::array<uint8_t, kMaxDrivers> classes{};        // 1, 2, 3 add "/F3", "/F2", "/F1"
    std::array<int, kMaxDrivers> race_numbers{};
    std::array<uint32_t, kMaxDrivers> helmet_colours{};  // 0x00RRGGBB
    std::array<int, kMaxDrivers> season_codes{};
    std::array<int, kMaxDrivers> countries{};          // 0 "ARG" to 28 "VEN"
    bool practice_present = false;
    bool race_present = false;
    // Per session (0 practice, 1 race): the last listed entry of each driver
    // (entries 0 to it are listed), the raw lap-time words and the
    // selectable flags.
    std::array<std::array<int, kMaxDrivers>, 2> last_lap{};
    std::array<std::array<std::array<uint32_t, kLapEntries>, kMaxDrivers>, 2> times{};
    std::array<std::array<std::array<bool, kLapEntries>, kMaxDrivers>, 2> selectable{};
    std::array<std::string, kReplayTextCount> replay_texts;
    std::string replay_path;
    // The replay's driver table, borrowed for the quality report; it must
    // outlive the model. Null: no quality report.
    Drivers* drivers = nullptr;

    // Fills every input from a loaded header and driver table (drivers is
    // borrowed as above). Lap counts beyond the table are cut to it.
    void Fill(const Header& header, Drivers& table);

    // "Lap 3: 1m 23.456s", "Time before start/finish: 0m 04.200s", with
    // " [80]" when the word's top byte holds flags; "No time" for 0xCDCDCDCD.
    static std::string FormatLapEntry(uint32_t word, int lap);
    // First and last name joined by a blank; either alone when the other is empty.
    std::string GetDriverFullName(int driver) const;
    // Three-letter country text of a table index; empty outside 0 to 28.
    static std::string CountryText(int index);
    // "Choose Lap To Load from <replay path>".
    std::string Title() const;

    // The tree: drivers in table order, each with "Practice Laps" and "Race
    // Laps" headings when both sessions are present, else the laps directly
    // under him; laps in lap order. With only_selectable, lap entries that
    // cannot be loaded are left out (drivers and headings stay).
    std::vector<ChooselapEntry> BuildTree(bool only_selectable) const;

    // Selecting an entry (null: nothing selected). Tracks the selected driver.
    SelectionUpdate Select(const ChooselapEntry* entry);
    // Forgets the selected driver (the tree was rebuilt).
    void ClearSelection() { selected_driver_ = -1; }
    int selected_driver() const { return selected_driver_; }

    // OK pressed (or a lap double-clicked) with this entry selected (null:
    // nothing).
    OkVerdict Ok(const ChooselapEntry* entry) const;

    // Reads the lap's telemetry from the replay and reports its online
    // quality; "RpyDataClass: Error reading file!" when it cannot be read.
    std::string QualityReport(const LapChoice& lap) const;
    // The report's text from the extraction's figures: sample count, samples
    // with car data, samples without, the longest run without, and the lap
    // time in the lap table (ms). A lap without samples has quality 0 %.
    static std::string QualityText(uint32_t samples, uint32_t decoded, uint32_t missing, uint32_t longest_run,
                                   uint32_t lap_ms);

private:
    LapDetails DetailsOfLap(const ChooselapEntry& entry) const;
    DriverDetails DetailsOfDriver(int driver) const;

    int selected_driver_ = -1;
};
