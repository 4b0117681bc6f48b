#pragma once
// The detailed race report (kind 8): replays the race of one replay file
// record by record and writes a time-stamped commentary: the start
// signals, the moment every car is on the grid, overtaking with the
// position gained and whether under acceleration or braking, the leader
// starting each lap, disconnections and their reversal, retirements and
// cars driving into parc ferme, the mechanical changes of every car (as the
// mechanical failures report tells them) and suspected resets ("Shift-R",
// detection method B) with a summary per driver. Positions come from the
// cars' distance along the lap and the track length.

#include <functional>
#include <string>

class Drivers;
class MechanicalScan;
struct ReportInput;

class DetailedRaceReport {
public:
    using Progress = std::function<void(const std::string& piece)>;

    static constexpr const char* kTitle = "Detailed Race Report";
    // Shown in a message box instead of the report when Refused.
    static constexpr const char* kRefusal =
        "This report is really only useful if run on\r\nan offline race replay or on a multiplayer\r\n"
        "replay saved by the server. Aborting report...";

    // True when the driver who saved the replay is not the first driver of
    // the table (an online replay saved by a client): the report is not
    // made and the text shown stays as it was.
    static bool Refused(const Drivers& drivers);

    // The whole report text; the sentence for a replay without race data.
    // The status commentary runs through `scan`, whose car status table
    // holds the last status of every car afterwards. track_length_m is the
    // length of the replay's track. A replay that cannot be opened ends the
    // text with "Error opening file!"; a data section that cannot be walked
    // to its end ends it with a damage notice and no summary.
    static std::string Write(const ReportInput& in, double track_length_m, MechanicalScan& scan,
                             const Progress& progress = {});
};
