#include "records/season_file.h"

#include <string_view>

#include "settings/path_lookup.h"

namespace {

constexpr const char* kRelativePath = "seasons\\67season.ini";
constexpr const char* kSeasonSection = "Season";
constexpr const char* kNumEvents = "numEvents";

std::string EventSection(int k) { return "Event" + std::to_string(k); }

// Leading decimal digits, saturating at limit.
int LeadingNumber(std::string_view text, int limit) {
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        n = n * 10 + (c - '0');
        if (n >= limit) return limit;
    }
    return n;
}

}  // namespace

std::filesystem::path SeasonFile::PathIn(const std::filesystem::path& simulator_folder) {
    // The folder is a stored one, perhaps a Windows path inside Wine.
    const auto folder = path_lookup::ToLocalPath(simulator_folder.string());
    if (!folder) return {};
    if (auto found = path_lookup::Find(*folder, kRelativePath)) return *found;
    return path_lookup::Resolve(*folder, kRelativePath);
}

SeasonFile::SeasonFile() = default;

bool SeasonFile::Load(const std::filesystem::path& file) { return ini_.Load(file); }

std::string SeasonFile::NumEventsText() const { return ini_.GetString(kSeasonSection, kNumEvents, kMissingText); }

int SeasonFile::EventCount() const { return LeadingNumber(NumEventsText(), kMaxEvents); }

SeasonFile::Event SeasonFile::GetEvent(int k) const {
    const std::string section = EventSection(k);
    auto get = [&](const char* key) { return ini_.GetString(section, key, kMissingText); };
    return Event{get("name"), get("shortname"), get("trackDirectory"), get("numberOfLaps"),
                 get("day"),  get("month"),     get("startingGrid")};
}

std::vector<SeasonFile::Event> SeasonFile::Events() const {
    std::vector<Event> events;
    const int count = EventCount();
    events.reserve(static_cast<size_t>(count));
    for (int k = 1; k <= count; ++k) events.push_back(GetEvent(k));
    return events;
}
