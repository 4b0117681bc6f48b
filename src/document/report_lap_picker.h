#pragma once
// How the track-map view's report commands find what a report works on:
// one of the loaded laps (asking which when several are loaded), or a
// replay file chosen for the report alone, or all the loaded laps.
//
// The one-lap chooser is handed in as a function, so the logic runs
// without a window: the interactive program shows "Feature only based on
// one file - choose which to use" through it. Messages, the question and
// the file chooser go through the document's seam.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "reports/loaded_laps.h"

class CRpyGraphDoc;
class Drivers;
class Header;

// The replay a one-replay report runs on: a loaded lap's header and driver
// table (borrowed from the document), or those read from a chosen file
// (owned here, freed with this object).
struct ReportReplay {
    int slot = -1;  // -1 for a chosen file
    Header* header = nullptr;
    Drivers* drivers = nullptr;
    std::unique_ptr<Header> own_header;
    std::unique_ptr<Drivers> own_drivers;

    ReportReplay();
    ~ReportReplay();
    ReportReplay(ReportReplay&&) noexcept;
    ReportReplay& operator=(ReportReplay&&) noexcept;
};

class ReportLapPicker {
public:
    // Shows the captions (two to five) and returns the index chosen, or -1
    // when the user cancels.
    using OneLapChooser = std::function<int(const std::vector<std::string>& captions)>;

    // The document is borrowed and must outlive the picker.
    ReportLapPicker(CRpyGraphDoc& doc, OneLapChooser chooser);

    // The caption of a loaded slot: "\"monza_gp\" - Jim Clark" (the replay's
    // file name without folder and extension, then the player's name from
    // its header).
    static std::string Caption(const CRpyGraphDoc& doc, int slot);

    // The slot a one-lap feature uses: no lap loaded says "No replay lap
    // loaded!" and gives -1; one lap is taken without asking; several go to
    // the chooser (-1 when it is cancelled).
    int ChooseReportLap();

    // A loaded lap's replay, or else (after asking whether to) a replay
    // file chosen in the simulator's replay folder and read here. with_race
    // refuses a replay without race data. nullopt when the command ends;
    // every refusal has been shown.
    std::optional<ReportReplay> ChooseLapOrFile(bool with_race);

    // The document's loaded laps, in slot order, with the track's length
    // (0 without a track) and the unit of speed, for the reports over
    // loaded laps. Borrows the document's laps.
    static LoadedLaps CollectLoadedLaps(const CRpyGraphDoc& doc);

private:
    CRpyGraphDoc& doc_;
    OneLapChooser chooser_;
};
