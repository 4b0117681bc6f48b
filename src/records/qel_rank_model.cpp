#include "records/qel_rank_model.h"

#include <algorithm>
#include <cstdio>

#include "records/player_profile.h"
#include "records/season_file.h"
#include "replay/input_file.h"
#include "settings/path_lookup.h"

namespace {

// The 1967 car tags, whatever the season: the rank is run in those cars.
constexpr const char* kTags[QELRankModel::kCarCount] = {"bra", "brm", "cov", "eag", "fer", "lot", "mur"};

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace

const std::array<const char*, 11>& QELRankModel::Tracks() {
    static const std::array<const char*, 11> tracks = {"kyalami", "mexico", "monaco", "monza",   "mosport", "nurburg",
                                                       "rouen",   "silver", "spa",    "watglen", "zandvort"};
    return tracks;
}

QELRankModel::QELRankModel(std::string simulator_folder) : simulator_folder_(std::move(simulator_folder)) {}

const std::vector<std::string>& QELRankModel::FillDriverList() {
    entries_.clear();
    profiles_.clear();
    for (const PlayerProfile::Driver& d : PlayerProfile::ListDrivers(simulator_folder_)) {
        entries_.push_back(d.entry);
        profiles_.push_back(d.profile.string());
    }
    return entries_;
}

std::string QELRankModel::MissingText(int n) { return "Missing " + std::to_string(n) + " laptime(s)"; }

std::string QELRankModel::FormatSignedTime(int64_t d) {
    const bool faster = d > 0;
    const uint32_t magnitude = static_cast<uint32_t>(faster ? d : -d) & 0xFFFFFF;
    char text[32];
    std::snprintf(text, sizeof text, "%s%u.%02u ", faster ? "-" : "", magnitude / 1000 % 1000, magnitude % 1000 / 10);
    return text;
}

uint32_t QELRankModel::ParseTimeText(const std::string& text) {
    const size_t blank = text.find(' ');
    size_t i = blank == std::string::npos ? 0 : blank;
    while (i < text.size() && text[i] == ' ') ++i;
    uint64_t seconds = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        seconds = std::min<uint64_t>(seconds * 10 + static_cast<uint64_t>(text[i] - '0'), 1000000);
        digits = true;
    }
    int fraction[3] = {0, 0, 0};
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (int k = 0; k < 3 && i < text.size() && text[i] >= '0' && text[i] <= '9'; ++k, ++i) {
            fraction[k] = text[i] - '0';
            digits = true;
        }
    }
    if (!digits) return kNoTime;
    uint64_t ms = seconds * 1000 + static_cast<uint64_t>(fraction[0] * 100 + fraction[1] * 10);
    if (fraction[2] >= 5) ms += 10;
    return ms >= kNoTime ? kNoTime : static_cast<uint32_t>(ms);
}

QELRankModel::Result QELRankModel::Calculate(int driver_index) const {
    // Per rank track (in rank order), the best of the three times per car.
    std::array<std::array<uint32_t, kCarCount>, 11> cells;
    for (auto& row : cells) row.fill(kNoTime);

    if (driver_index >= 0 && driver_index < static_cast<int>(profiles_.size())) {
        PlayerProfile profile;
        const bool readable = profile.Load(profiles_[static_cast<size_t>(driver_index)]);
        const auto folder = path_lookup::ToLocalPath(simulator_folder_);
        SeasonFile season;
        if (readable && folder) season.Load(SeasonFile::PathIn(simulator_folder_));
        const std::vector<std::string> sections = profile.ini().SectionNames();
        std::array<bool, 11> seen{};
        const int n = season.EventCount();
        for (int k = 1; k <= n; ++k) {
            const std::string dir = Lower(season.ini().GetString("Event" + std::to_string(k), "trackDirectory", "default"));
            // The events after one whose track is not installed are not read.
            const auto track_ini = path_lookup::Find(*folder, "tracks\\" + dir + "\\track.ini");
            InputFile probe;
            if (dir.empty() || !track_ini || probe.Open(track_ini->string()) != InputFile::Status::kOpened) break;
            const auto& tracks = Tracks();
            const auto at = std::find_if(tracks.begin(), tracks.end(), [&](const char* t) { return dir == t; });
            if (at == tracks.end()) continue;
            const size_t t = static_cast<size_t>(at - tracks.begin());
            // A track the season holds twice counts once.
            if (seen[t]) continue;
            seen[t] = true;
            if (std::find(sections.begin(), sections.end(), dir) == sections.end()) continue;
            for (int j = 0; j < kCarCount; ++j) {
                uint32_t best = kNoTime;
                for (const char* session : {"T", "R", "P"}) {
                    if (auto v = profile.ini().Find(dir, std::string(kTags[j]) + session))
                        best = std::min(best, ParseTimeText(*v));
                }
                cells[t][static_cast<size_t>(j)] = best;
            }
        }
    }

    Result result;
    const int tracks = static_cast<int>(Tracks().size());
    int monster_count = 0;
    int64_t monster_sum = 0;
    for (int column = 0; column <= kCarCount; ++column) {
        int64_t sum = 0;
        int count = 0;
        for (const auto& row : cells) {
            const uint32_t time = column == 0 ? *std::min_element(row.begin(), row.end()) : row[column - 1];
            if (time == kNoTime) continue;
            sum += time;
            ++count;
        }
        const int64_t h = kReferenceSum - sum;
        result.columns[static_cast<size_t>(column)] = count == tracks ? FormatSignedTime(h) : MissingText(tracks - count);
        if (column > 0) {
            monster_count += count;
            monster_sum += h;
        }
    }
    const int all = tracks * kCarCount;
    result.monster = monster_count == all ? FormatSignedTime(monster_sum) : MissingText(all - monster_count);
    return result;
}
