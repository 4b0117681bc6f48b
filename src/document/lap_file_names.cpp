#include "document/lap_file_names.h"

#include <algorithm>
#include <cctype>

#include "document/rpy_graph_doc.h"
#include "replay/drivers.h"
#include "replay/header.h"

namespace lap_file_names {

uint32_t StoredLapWord(const LapSlot& slot) {
    if (!slot.drivers) return 0;
    const Drivers& d = *slot.drivers;
    if (slot.driver < 0 || slot.driver >= Drivers::kMaxDrivers || slot.lap < 0 || slot.lap >= Drivers::kTableWords)
        return 0;
    const auto& table = slot.session != 0 ? d.race_times : d.practice_times;
    return table[static_cast<size_t>(slot.driver)][static_cast<size_t>(slot.lap)];
}

std::string SafeFileName(std::string text) {
    std::replace(text.begin(), text.end(), '/', '_');
    std::replace(text.begin(), text.end(), '\\', '_');
    return text;
}

std::string DefaultLapFileName(const LapSlot& slot, const std::string& extension) {
    std::string first, last, car, track;
    if (slot.drivers && slot.driver >= 0 && slot.driver < Drivers::kMaxDrivers) {
        const Drivers& d = *slot.drivers;
        const auto i = static_cast<size_t>(slot.driver);
        first = d.first_names[i].substr(0, 3);
        last = d.last_names[i].substr(0, 3);
        car = CRpyGraphDoc::GetCarName(d.season_code[i], static_cast<int>(d.engine_index[i]));
    }
    if (slot.header) track = slot.header->track_folder;
    return SafeFileName(first + "_" + last + "_" + track + "_" + car + "_" +
                        CRpyGraphDoc::FormatLapTime(StoredLapWord(slot)) + extension);
}

std::string WithExtension(const std::string& path, const std::string& extension) {
    if (path.size() >= extension.size()) {
        const std::string tail = path.substr(path.size() - extension.size());
        const bool same = std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
        if (same) return path;
    }
    return path + extension;
}

}  // namespace lap_file_names
