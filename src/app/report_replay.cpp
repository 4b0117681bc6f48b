#include "app/report_replay.h"

#include <filesystem>

#include "app/rpy_graph_doc.h"
#include "interaction/interaction.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "settings/path_lookup.h"

namespace {
constexpr const char* kNoRaceInfo = "This replay file does not contain race info!";
}

ReportReplay::ReportReplay() = default;
ReportReplay::~ReportReplay() = default;

std::string ReportReplay::Caption(const CRpyGraphDoc& doc, int slot) {
    const LapSlot& s = doc.GetSlot(slot);
    std::string name;
    if (s.header) name = std::filesystem::path(s.header->path).stem().string();
    std::string caption = std::string("\"") + name + "\" - ";
    if (s.header) caption += s.header->player_first_name + " " + s.header->player_last_name;
    return caption;
}

int ReportReplay::ChooseReportLap(const CRpyGraphDoc& doc, Interaction& ui, const Chooser& chooser) {
    const int count = doc.GetLoadedCount();
    if (count == 0) {
        ui.ShowMessage("No replay lap loaded!");
        return -1;
    }
    if (count == 1) return 0;
    std::vector<std::string> captions;
    for (int slot = 0; slot < count; ++slot) captions.push_back(Caption(doc, slot));
    const int chosen = chooser ? chooser(captions) : -1;
    return chosen >= 0 && chosen < count ? chosen : -1;
}

bool ReportReplay::Choose(const CRpyGraphDoc& doc, Interaction& ui, const Chooser& chooser, bool need_race) {
    own_header_.reset();
    own_drivers_.reset();
    header_ = nullptr;
    drivers_ = nullptr;

    const int slot = ChooseReportLap(doc, ui, chooser);
    if (slot >= 0) {
        const LapSlot& s = doc.GetSlot(slot);
        if (!s.header || !s.drivers) return false;
        if (need_race && s.drivers->race_present == 0) {
            ui.ShowMessage(kNoRaceInfo);
            return false;
        }
        header_ = s.header.get();
        drivers_ = s.drivers.get();
        return true;
    }

    if (!ui.AskYesNo("Do you wish to choose a replay file to be used in the report only?")) return false;
    const auto replay = path_lookup::Find(doc.GetQELDirectory(), "replay");
    const auto path = ui.ChooseOpenFile("Select Replay File", replay ? replay->string() : doc.GetQELDirectory(),
                                        {{"Replay files", "*.rpy"}, {"All Files", "*.*"}});
    if (!path) return false;
    auto header = std::make_unique<Header>();
    if (header->Load(*path) != 0) {
        ui.ShowMessage("HeaderClass: Error reading file!", Interaction::Icon::Error);
        ui.ShowMessage(*path, Interaction::Icon::Error);
        return false;
    }
    auto drivers = std::make_unique<Drivers>();
    if (drivers->LoadReplay(*path) != 0) {
        ui.ShowMessage("DriversClass: Error reading file!", Interaction::Icon::Error);
        return false;
    }
    if (drivers->driver_count != drivers->chunk_driver_count) {
        ui.ShowMessage("Sorry, but Ostrevan cannot load this file correct.\r\nPlease contact us so that we can analyse why.",
                       Interaction::Icon::Error);
        return false;
    }
    if (need_race && drivers->race_present == 0) {
        ui.ShowMessage(kNoRaceInfo);
        return false;
    }
    own_header_ = std::move(header);
    own_drivers_ = std::move(drivers);
    header_ = own_header_.get();
    drivers_ = own_drivers_.get();
    return true;
}
