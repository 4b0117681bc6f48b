#include "records/player_profile.h"

#include "settings/atomic_file.h"
#include "settings/path_lookup.h"

namespace {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, start)) {
        out.append(text.substr(start, at - start));
        out.append(to);
        start = at + from.size();
    }
    out.append(text.substr(start));
    return out;
}

}  // namespace

bool PlayerProfile::Load(const std::filesystem::path& profile) {
    std::string text;
    if (atomic_file::Read(profile, IniFile::kMaxFileBytes, text) != atomic_file::ReadResult::kRead) {
        ini_ = IniFile();
        return false;
    }
    ini_ = IniFile(ReplaceAll(ReplaceAll(text, "[ ", "["), " ]", "]"));
    return true;
}

std::string PlayerProfile::CleanName(std::string name) {
    if (!name.empty() && name.front() == ';') name.clear();
    if (const size_t semi = name.find(';', 2); semi != std::string::npos) name.resize(semi);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

std::vector<PlayerProfile::Driver> PlayerProfile::ListDrivers(const std::string& simulator_folder) {
    std::vector<Driver> drivers;
    const auto folder = path_lookup::ToLocalPath(simulator_folder);
    if (!folder) return drivers;
    const auto players = path_lookup::Find(*folder, "players");
    if (!players) return drivers;
    for (const auto& entry : path_lookup::ListFolders(*players)) {
        const auto profile = path_lookup::Find(entry, "player.ini");
        PlayerProfile p;
        if (!profile || !p.Load(*profile)) continue;
        Driver d;
        d.profile = *profile;
        d.first_name = CleanName(p.ini().GetString("Personal Information", "firstName", "default"));
        d.last_name = CleanName(p.ini().GetString("Personal Information", "lastName", "default"));
        std::string text = std::to_string(drivers.size() + 1) + ". " + d.first_name;
        while (!text.empty() && text.back() == ' ') text.pop_back();
        text += " " + d.last_name;
        while (!text.empty() && text.back() == ' ') text.pop_back();
        d.entry = std::move(text);
        drivers.push_back(std::move(d));
    }
    return drivers;
}
