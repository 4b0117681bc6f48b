#pragma once
// The personal-best records of one driver: a grid of tracks by cars, each
// cell holding the driver's best training, practice and race lap
// (BestLapCell). The times come from the driver's profile in the
// simulator's players folder and from every replay in the simulator's
// replay folder, in the alternative replay folder and in the replay CD
// catalogues (replay\ZAVRO_CDDB).
//
// Rows: one per event of the season file, in event order, then one per
// "other track", a track met in replays or catalogues that is no season
// event, in the order first met (replay folder by name, alternative folder,
// catalogues). Other tracks are known by their first 8 characters only, as
// the simulator's lap-times file keys them: a folder name of 9 or more
// characters therefore finds no replays and no track.ini. Columns: the
// season's cars in the order of its car table (16 for 1966, 7 otherwise).
//
// A run reads every replay once, header and driver table only, and gathers
// the chosen driver's bests of all tracks in that one pass. Replay laps
// count when the driver's first and last name equal the profile's cleaned
// names, the car's season is the run's (255 read as 1967) and its car index
// names a column; flagged-invalid laps and laps without a time never count.
// The profile is repaired in memory ("[ monaco ]" read as "[monaco]"); it
// is never written.
//
// Failures are told through the Interaction given to Run with the
// program's texts; a run whose profile cannot be read ends with
// kProfileMissing and no rows.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "records/best_lap_cell.h"

class Drivers;
class IniFile;
class Interaction;

class ExportRecordsModel {
public:
    struct Options {
        std::string simulator_folder;   // as stored (Windows or Linux path)
        std::string alt_replay_folder;  // as stored; empty for none
        int season_code = 1967;         // 1967, 1969, 1966, 1965, 1955, 1999 or 66
        bool complete_laps_only = false;  // only laps the driver table marks complete
        bool scan_replays = false;        // replays also for tracks the profile holds
        bool warbleye_msg = false;        // tell of replays whose driver table cannot be read
    };
    enum class Result { kDone, kProfileMissing, kCancelled };
    // Called as the run goes: steps done of the total known so far (the
    // total grows once the other tracks are known). False cancels the run.
    using Progress = std::function<bool(int done, int total)>;

    ExportRecordsModel();
    virtual ~ExportRecordsModel();

    // The driver folders under the simulator's players folder that hold a
    // readable player.ini, sorted by name; the index of a folder here is the
    // driver index of a run.
    static std::vector<std::filesystem::path> DriverFolders(const std::string& simulator_folder);
    // The entries of the driver choice, one per driver folder: the number
    // from 1, ". ", the cleaned first name, a blank and the last name of the
    // folder's player.ini.
    static std::vector<std::string> DriverList(const std::string& simulator_folder);

    // Gathers the records of the driver with that index. Replaces what an
    // earlier run left. On kCancelled the grid holds no rows.
    Result Run(int driver_index, const Options& options, Interaction& ui, const Progress& progress = {});

    // A profile lap-time value "<field> <seconds>.<fraction>" in
    // milliseconds, the fraction read as ten-thousandths (up to four digits,
    // a shorter one padded on the right) and rounded: "1 83.1234" gives
    // 83123, "1 83.5" gives 83500. nullopt for a value without a blank, a
    // "." after it, or digits, and for a time beyond 24 bits of milliseconds.
    static std::optional<uint32_t> ParseIniTime(std::string_view value);
    // A profile name as the simulator shows it: empty when it starts with
    // ";", cut before a ";" from its third character on, trailing blanks
    // removed.
    static std::string CleanName(std::string name);
    // The profile text with "[ " and " ]" made "[" and "]", parsed.
    static IniFile RepairedProfile(const std::string& text);

    // Accessors, valid after a run.
    const std::string& GetDriverName() const { return driver_name_; }
    int GetNumCars() const { return car_count_; }
    int GetNumTracks() const { return static_cast<int>(rows_.size()); }
    std::string GetTrackShortName(int row) const { return Row(row).short_name; }
    std::string GetTrackName(int row) const { return Row(row).long_name; }
    std::string GetTrackDirectory(int row) const { return Row(row).directory; }
    // kNoTime outside the grid.
    uint32_t GetPracticeTime(int car, int row) const { return Cell(car, row).practice; }
    uint32_t GetTrainingTime(int car, int row) const { return Cell(car, row).training; }
    uint32_t GetRaceTime(int car, int row) const { return Cell(car, row).race; }
    uint32_t GetOverallBestTime(int car, int row) const { return Cell(car, row).Overall(); }
    // The row's best of that kind over all cars; car gets the column of the
    // first car (in column order) that holds it, and is left as it is when
    // the row has no time of that kind (kNoTime returned).
    uint32_t FindBestOverall(int row, int& car) const;
    uint32_t FindBestTraining(int row, int& car) const;
    uint32_t FindBestPractice(int row, int& car) const;
    uint32_t FindBestRace(int row, int& car) const;
    int GetModYear() const { return season_code_; }
    // The simulator's folder name of the run's season ("qel67").
    std::string GetModName() const;

    // For tests and the viewer: the cleaned names a run looked for.
    const std::string& GetFirstName() const { return first_name_; }
    const std::string& GetLastName() const { return last_name_; }

private:
    struct TrackRow {
        std::string short_name;
        std::string long_name;
        std::string directory;
        std::vector<BestLapCell> cells;
    };
    using ReplayBests = std::unordered_map<std::string, std::vector<BestLapCell>>;

    const TrackRow& Row(int row) const;
    const BestLapCell& Cell(int car, int row) const;
    template <typename Field>
    uint32_t FindBest(int row, int& car, Field field) const;
    // Folds one driver table of a replay of track into bests.
    void MergeDriverLaps(const std::string& track, const Drivers& drivers, bool complete_only, ReplayBests& bests) const;

    std::string driver_name_;
    std::string first_name_;
    std::string last_name_;
    int season_code_ = 1967;
    int car_count_ = 0;
    std::vector<TrackRow> rows_;
};
