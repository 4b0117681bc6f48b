#include "document/report_lap_picker.h"

#include <algorithm>

#include "document/rpy_graph_doc.h"
#include "interaction/interaction.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"
#include "track/track.h"

namespace {

constexpr const char* kNoRaceInfo = "This replay file does not contain race info!";

// The file name without folder and extension, as Windows splits it.
std::string FileTitle(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

ReportReplay::ReportReplay() = default;
ReportReplay::~ReportReplay() = default;
ReportReplay::ReportReplay(ReportReplay&&) noexcept = default;
ReportReplay& ReportReplay::operator=(ReportReplay&&) noexcept = default;

ReportLapPicker::ReportLapPicker(CRpyGraphDoc& doc, OneLapChooser chooser) : doc_(doc), chooser_(std::move(chooser)) {}

std::string ReportLapPicker::Caption(const CRpyGraphDoc& doc, int slot) {
    const LapSlot& lap = doc.GetSlot(slot);
    if (!lap.header) return {};
    const Header& h = *lap.header;
    std::string caption(1, '"');
    caption += FileTitle(h.path);
    caption += "\" - ";
    caption += h.player_first_name;
    caption += ' ';
    caption += h.player_last_name;
    return caption;
}

int ReportLapPicker::ChooseReportLap() {
    Interaction& ui = doc_.GetInteraction();
    const int count = doc_.GetLoadedCount();
    if (count == 0) {
        ui.ShowMessage("No replay lap loaded!");
        return -1;
    }
    if (count == 1) return 0;
    std::vector<std::string> captions;
    for (int slot = 0; slot < count; ++slot) captions.push_back(Caption(doc_, slot));
    const int chosen = chooser_ ? chooser_(captions) : -1;
    return chosen >= 0 && chosen < count ? chosen : -1;
}

std::optional<ReportReplay> ReportLapPicker::ChooseLapOrFile(bool with_race) {
    Interaction& ui = doc_.GetInteraction();
    ReportReplay replay;
    const int slot = ChooseReportLap();
    if (slot >= 0) {
        LapSlot& lap = doc_.GetSlot(slot);
        if (!lap.header || !lap.drivers) return std::nullopt;
        if (with_race && !lap.drivers->race_present) {
            ui.ShowMessage(kNoRaceInfo);
            return std::nullopt;
        }
        replay.slot = slot;
        replay.header = lap.header.get();
        replay.drivers = lap.drivers.get();
        return replay;
    }

    if (!ui.AskYesNo("Do you wish to choose a replay file to be used in the report only?")) return std::nullopt;
    const auto folder = doc_.GetReplayFolder();
    const std::string start = folder ? folder->string() : std::string();
    const auto path = ui.ChooseOpenFile("Select Replay File", start,
                                        {{"Replay files", "*.rpy"}, {"All Files(*.*)", "*.*"}});
    if (!path) return std::nullopt;

    replay.own_header = std::make_unique<Header>();
    if (replay.own_header->Load(*path) != Header::kOk) {
        ui.ShowMessage("HeaderClass: Error reading file!", Interaction::Icon::Error);
        ui.ShowMessage(*path, Interaction::Icon::Error);
        return std::nullopt;
    }
    replay.own_drivers = std::make_unique<Drivers>();
    if (replay.own_drivers->LoadReplay(*path) != 0) {
        ui.ShowMessage("DriversClass: Error reading file!", Interaction::Icon::Error);
        return std::nullopt;
    }
    if (replay.own_drivers->driver_count != static_cast<int>(replay.own_drivers->chunk_driver_count)) {
        ui.ShowMessage(
            "Sorry, but Ostrevan cannot load this file correct.\r\nPlease contact us so that we can analyse why.",
            Interaction::Icon::Error);
        return std::nullopt;
    }
    if (with_race && !replay.own_drivers->race_present) {
        ui.ShowMessage(kNoRaceInfo);
        return std::nullopt;
    }
    replay.header = replay.own_header.get();
    replay.drivers = replay.own_drivers.get();
    return replay;
}

LoadedLaps ReportLapPicker::CollectLoadedLaps(const CRpyGraphDoc& doc) {
    LoadedLaps out;
    out.track_length_m = doc.GetTrack() ? doc.GetTrack()->GetLength() : 0.0;
    out.mph = doc.GetUseMPH() != 0;
    for (int slot = 0; slot < doc.GetLoadedCount(); ++slot) {
        const LapSlot& s = doc.GetSlot(slot);
        if (!s.used || !s.telemetry) continue;
        LoadedLap lap;
        lap.header = s.header.get();
        lap.drivers = s.drivers.get();
        lap.info = s.telemetry.get();
        lap.driver = s.driver;
        lap.session = s.session;
        lap.lap = s.lap;
        for (size_t q = 0; q < lap.split_ms.size(); ++q)
            lap.split_ms[q] = static_cast<uint32_t>(std::max(0, s.telemetry->split_time_ms[q]));
        out.laps.push_back(lap);
    }
    return out;
}
