#include "tools/tool_lap.h"

#include <cstdio>

#include "document/rpy_graph_doc.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"

std::string FormatToolLapTime(uint32_t lap_word) {
    const uint32_t ms = Drivers::LapMs(lap_word);
    const uint32_t minutes = ms / 60000;
    const uint32_t seconds = ms / 1000 % 60;
    char text[32];
    std::snprintf(text, sizeof text, "%um %02u.%03us", minutes, seconds, ms - (seconds + 60 * minutes) * 1000);
    return text;
}

std::string ToolLap::Label() const {
    std::string text;
    if (!first_name.empty()) text += first_name.front();
    text += ' ';
    text += last_name;
    text += ' ';
    text += FormatToolLapTime(lap_word);
    return text;
}

std::string ToolLap::LabelWithCar() const {
    std::string text = Label();
    text += " (";
    text += car_name;
    text += ')';
    return text;
}

std::vector<ToolLap> CollectToolLaps(const CRpyGraphDoc& doc) {
    std::vector<ToolLap> laps;
    for (int i = 0; i < doc.GetCapacity(); ++i) {
        const LapSlot& slot = doc.GetSlot(i);
        if (!slot.used || !slot.telemetry || !slot.drivers) continue;
        const Drivers& d = *slot.drivers;
        ToolLap lap;
        lap.slot = i;
        lap.info = slot.telemetry.get();
        if (slot.driver >= 0 && slot.driver < Drivers::kMaxDrivers) {
            const auto k = static_cast<size_t>(slot.driver);
            lap.first_name = d.first_names[k];
            lap.last_name = d.last_names[k];
            lap.car_name = CRpyGraphDoc::GetCarName(d.season_code[k], d.car_index[k]);
            if (slot.lap >= 0 && slot.lap < Drivers::kTableWords)
                lap.lap_word = slot.session == 0 ? d.practice_times[k][static_cast<size_t>(slot.lap)]
                                                 : d.race_times[k][static_cast<size_t>(slot.lap)];
        }
        laps.push_back(std::move(lap));
    }
    return laps;
}
