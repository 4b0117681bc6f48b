#include "records/lap_times_file.h"

#include <cstdio>

#include "records/export_records_model.h"
#include "replay/name_tables.h"
#include "settings/atomic_file.h"

namespace {

// The ranking service expects this token before every time.
constexpr const char* kToken = "482917036";

}  // namespace

LapTimesFile::LapTimesFile(int season_code, std::vector<Row> rows) : season_code_(season_code), rows_(std::move(rows)) {}

LapTimesFile::LapTimesFile(const ExportRecordsModel& model) : season_code_(model.GetModYear()) {
    for (int row = 0; row < model.GetNumTracks(); ++row) {
        Row r;
        r.directory = model.GetTrackDirectory(row);
        for (int car = 0; car < model.GetNumCars(); ++car)
            r.cells.push_back({model.GetPracticeTime(car, row), model.GetTrainingTime(car, row),
                               model.GetRaceTime(car, row)});
        rows_.push_back(std::move(r));
    }
}

LapTimesFile::~LapTimesFile() = default;

std::string LapTimesFile::FormatSeconds(uint32_t ms) {
    // Ten significant digits, the point always written, then trailing
    // zeros dropped: "83." for a whole number of seconds.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%#.10g", ms * 0.001);
    std::string text = buffer;
    while (!text.empty() && text.back() == '0') text.pop_back();
    return text;
}

std::string LapTimesFile::WithIniExtension(const std::string& path) {
    if (path.size() >= 4) {
        std::string tail = path.substr(path.size() - 4);
        for (char& c : tail)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (tail == ".ini") return path;
    }
    return path + ".ini";
}

std::string LapTimesFile::Text() const {
    std::string text = "season = " + name_tables::GetModFolderName(season_code_) + "\r\n";
    bool any_section = false;
    for (const Row& row : rows_) {
        std::string keys;
        for (size_t car = 0; car < row.cells.size(); ++car) {
            const std::string tag = name_tables::GetCarTag(season_code_, static_cast<int>(car));
            const BestLapCell& cell = row.cells[car];
            for (const auto& [letter, time] : {std::pair{'T', cell.training}, std::pair{'P', cell.practice},
                                               std::pair{'R', cell.race}}) {
                if (time == BestLapCell::kNoTime) continue;
                keys += tag + letter + " = " + kToken + " " + FormatSeconds(time) + "\r\n";
            }
        }
        if (keys.empty()) continue;
        text += "[ " + row.directory + " ]\r\n" + keys;
        any_section = true;
    }
    // The file has always ended with one empty line after its last section.
    if (any_section) text += "\r\n";
    return text;
}

bool LapTimesFile::Write(const std::string& path) const { return atomic_file::Write(path, Text()); }
