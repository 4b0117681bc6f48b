#include "app/chooselap_model.h"

#include <algorithm>
#include <cstdio>

#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"
#include "replay/name_tables.h"

namespace {

constexpr const char* kCountries[ChooselapModel::kCountryCount] = {
    "ARG", "AUS", "AUT", "BEL", "BRA", "CAN", "CHI", "COL", "DEN", "FIN", "FRA", "GER", "GBR", "IRE", "ITA",
    "JPN", "MEX", "MON", "MOR", "HOL", "NZL", "POR", "RSA", "SPA", "SWE", "SUI", "USA", "URU", "VEN"};

constexpr uint32_t kOffTrack = 0x40;
constexpr uint32_t kInvalid = 0x10;
constexpr uint32_t kUnknownBits = 0xAF;
constexpr size_t kSavedByChars = 33;

std::string TimeText(uint32_t word) {
    const uint32_t ms = word & 0xFFFFFF;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%um %02u.%03us", ms / 60000, (ms / 1000) % 60, ms % 1000);
    return buf;
}

std::string IncidentText(uint32_t flags) {
    if (flags == 0) return "None reported";
    std::string out;
    auto add = [&out](const char* s) { out += out.empty() ? s : std::string(", ") + s; };
    if (flags & kOffTrack) add("Off track");
    if (flags & kInvalid) add("Invalid");
    if (flags & kUnknownBits) add("Unknown");
    return out;
}

}  // namespace

void ChooselapModel::Fill(const Header& header, Drivers& table) {
    drivers = &table;
    replay_path = table.path;
    driver_count = std::clamp<int>(table.driver_count, 0, kMaxDrivers);
    practice_present = table.practice_present != 0;
    race_present = table.race_present != 0;
    for (int i = 0; i < driver_count; ++i) {
        first_names[i] = table.first_names[i];
        last_names[i] = table.last_names[i];
        ai[i] = table.ai[i] != 0;
        engine_index[i] = static_cast<uint8_t>(table.engine_index[i]);
        classes[i] = table.driver_code[i];
        race_numbers[i] = static_cast<int>(table.value128[i]);
        helmet_colours[i] = table.value140[i] & 0xFFFFFF;
        season_codes[i] = table.season_code[i];
        // The record counts countries from 1, the dialog's table from 0.
        countries[i] = static_cast<int>(table.country_index[i]) - 1;
        const int counts[2] = {table.practice_lap_count[i], table.race_lap_count[i]};
        for (int s = 0; s < 2; ++s) {
            const auto& words = s == 0 ? table.practice_times[i] : table.race_times[i];
            const auto& flags = s == 0 ? table.practice_selectable[i] : table.race_selectable[i];
            last_lap[s][i] = std::clamp(counts[s], 0, kLapEntries - 1);
            for (int j = 0; j < kLapEntries; ++j) {
                times[s][i][j] = words[j];
                selectable[s][i][j] = flags[j] != 0;
            }
        }
    }
    std::string saved_by = header.player_first_name + " " + header.player_last_name;
    if (saved_by.size() > kSavedByChars) saved_by.resize(kSavedByChars);
    replay_texts[kSavedBy] = saved_by;
    replay_texts[kCarset] = header.car_set;
    replay_texts[kLength] = Header::RecordingLengthText(header.recording_length);
    replay_texts[kTrack] = header.track_folder;
    replay_texts[kAiCars] = std::to_string(header.ai_cars);
    replay_texts[kNoOfCars] = std::to_string(table.driver_count);
    replay_texts[kPractice] = practice_present ? "Yes" : "No";
    replay_texts[kRace] = race_present ? "Yes" : "No";
    replay_texts[kQelVersion] = Header::VersionText(header.version);
    replay_texts[kGameMode] = Header::GameModeText(header.game_mode);
    replay_texts[kDamage] = Header::DamageLevelText(header.damage_level);
    replay_texts[kRaceLaps] = std::to_string(header.race_laps);
    replay_texts[kSessions] = std::to_string(header.session_count);
}

std::string ChooselapModel::FormatLapEntry(uint32_t word, int lap) {
    if (word == kNoTime) return "No time";
    std::string text = lap > 0 ? "Lap " + std::to_string(lap) : std::string("Time before start/finish");
    text += ": " + TimeText(word);
    if (word >> 24) text += " [" + std::to_string(word >> 24) + "]";
    return text;
}

std::string ChooselapModel::GetDriverFullName(int driver) const {
    if (driver < 0 || driver >= driver_count) return {};
    const std::string& first = first_names[driver];
    const std::string& last = last_names[driver];
    if (first.empty()) return last;
    if (last.empty()) return first;
    return first + " " + last;
}

std::string ChooselapModel::CountryText(int index) {
    if (index < 0 || index >= kCountryCount) return {};
    return kCountries[index];
}

std::string ChooselapModel::Title() const { return "Choose Lap To Load from " + replay_path; }

std::vector<ChooselapEntry> ChooselapModel::BuildTree(bool only_selectable) const {
    std::vector<ChooselapEntry> tree;
    const bool present[2] = {practice_present, race_present};
    for (int i = 0; i < driver_count; ++i) {
        ChooselapEntry driver{i, -1, -1, GetDriverFullName(i) + " #" + std::to_string(race_numbers[i]), false, {}};
        for (int s = 0; s < 2; ++s) {
            if (!present[s]) continue;
            std::vector<ChooselapEntry> laps;
            for (int j = 0; j <= last_lap[s][i]; ++j) {
                const bool bold = selectable[s][i][j];
                if (only_selectable && !bold) continue;
                laps.push_back({i, s, j, FormatLapEntry(times[s][i][j], j), bold, {}});
            }
            if (practice_present && race_present)
                driver.children.push_back({i, s, -1, s == 0 ? "Practice Laps" : "Race Laps", false, std::move(laps)});
            else
                driver.children = std::move(laps);
        }
        tree.push_back(std::move(driver));
    }
    return tree;
}

ChooselapModel::LapDetails ChooselapModel::DetailsOfLap(const ChooselapEntry& entry) const {
    LapDetails d;
    const bool known = entry.IsLap() && entry.lap > 0 && entry.lap < kLapEntries && entry.driver >= 0 &&
                       entry.driver < kMaxDrivers && (entry.session == 0 || entry.session == 1);
    const uint32_t word = known ? times[entry.session][entry.driver][entry.lap] : kNoTime;
    if (word == kNoTime) {
        d.laptime = "None selected";
        d.selectable = "No";
        return d;
    }
    d.laptime = TimeText(word);
    d.incidents = IncidentText(word >> 24);
    d.session = entry.session == 1 ? "Race" : "Practice";
    d.quality_enabled = entry.bold;
    d.selectable = entry.bold ? "Yes" : "No";
    return d;
}

ChooselapModel::DriverDetails ChooselapModel::DetailsOfDriver(int i) const {
    DriverDetails d;
    d.name = GetDriverFullName(i);
    d.country = CountryText(countries[i]);
    d.type = ai[i] ? "AI-car" : "Human";
    if (d.name == "Maltrevik") {
        d.type = "Alien";
        d.sound = kSoundMaltrevik;
    } else if (d.name == "Dersenov") {
        d.sound = kSoundDersenov;
    } else if (d.name == "Pallorin") {
        d.type = "Alien";
        d.sound = kSoundPallorin;
    }
    d.helmet_rgb = helmet_colours[i] & 0xFFFFFF;
    d.picture = engine_index[i] % 7;
    static const char* const kClassSuffix[] = {"", "/F3", "/F2", "/F1"};
    d.car_class = name_tables::GetCarName(season_codes[i], engine_index[i]) +
                  (classes[i] <= 3 ? kClassSuffix[classes[i]] : "") + " (" +
                  name_tables::GetModYearText(season_codes[i]) + ")";
    return d;
}

ChooselapModel::SelectionUpdate ChooselapModel::Select(const ChooselapEntry* entry) {
    SelectionUpdate u;
    if (!entry) {
        u.lap.laptime = "None selected";
        u.lap.selectable = "No";
        return u;
    }
    u.lap = DetailsOfLap(*entry);
    if (entry->driver >= 0 && entry->driver < driver_count && entry->driver != selected_driver_) {
        selected_driver_ = entry->driver;
        u.driver = DetailsOfDriver(entry->driver);
    }
    return u;
}

ChooselapModel::OkVerdict ChooselapModel::Ok(const ChooselapEntry* entry) const {
    if (!entry || !entry->IsLap()) return {std::nullopt, "Choose a lap to view!", "No lap choosen!"};
    // Lap 0 is the run to the line, never a lap to load.
    if (entry->bold && entry->lap >= 1) return {LapChoice{entry->driver, entry->session, entry->lap}, {}, {}};
    return {std::nullopt, "Data for this lap is not stored in the replay file\nor lap isn't complete.",
            "Not a valid lap!"};
}

std::string ChooselapModel::QualityReport(const LapChoice& lap) const {
    if (!drivers || lap.driver < 0 || lap.driver >= driver_count || lap.lap < 1 || lap.lap >= kLapEntries)
        return "RpyDataClass: Error reading file!";
    GetRpyInfo info;
    if (info.ExtractLap(*drivers, lap.driver, lap.lap, lap.session) != GetRpyInfo::kOk)
        return "RpyDataClass: Error reading file!";
    const auto& words = lap.session == 0 ? drivers->practice_times : drivers->race_times;
    return QualityText(info.sample_count, info.decoded_count, info.missing_count, info.longest_missing_run,
                       Drivers::LapMs(words[lap.driver][lap.lap]));
}

std::string ChooselapModel::QualityText(uint32_t samples, uint32_t decoded, uint32_t missing, uint32_t longest_run,
                                        uint32_t lap_ms) {
    const double p = samples == 0 ? 0.0 : 100.0 - static_cast<double>(missing) / samples * 100.0;
    std::string text = "Online quality of lapdata: " + std::to_string(static_cast<int>(p)) +
                       "%\nLargest online gap: " + std::to_string(longest_run / 36) + " seconds";
    if (static_cast<uint64_t>(samples) * 1000 / 36 < lap_ms)
        text += "\n\nPossible partly loss of data due to accelerated time\nor other disturbance.";
    if (decoded == 0 && p > 0)
        text = "This laps seems to be a lap set under\r\naccelerated time and contains no data.";
    return text;
}
