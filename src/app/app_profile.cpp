#include "app/app_profile.h"

#include <algorithm>

#include "settings/registry.h"

namespace {

constexpr const char* kFrameKey = "Software\\Ostrevan\\Ostrevan\\Frame";
constexpr const char* kRecentKey = "Software\\Ostrevan\\Ostrevan\\Recent File List";
constexpr std::array<const char*, 5> kFrameValues = {"Status", "Top", "Left", "Bottom", "Right"};

// A settings file that could not be read at start is left alone for the
// whole run, as the user was told then; not storing the profile in it is
// no failure to report again.
bool LeftAloneThisRun(const CRegistry& reg) { return reg.LastError() == CRegistry::kErrorUnreadAtStart; }

}  // namespace

std::optional<AppProfile::Placement> AppProfile::ReadPlacement() {
    CRegistry reg(RegistryHive::kCurrentUser);
    if (!reg.Open(RegistryHive::kCurrentUser, kFrameKey)) return std::nullopt;
    std::array<int, 5> v{};
    for (size_t i = 0; i < kFrameValues.size(); ++i) {
        uint32_t raw = 0xFFFFFFFF;
        reg.ReadDword(kFrameValues[i], raw);
        v[i] = static_cast<int>(raw);
        if (v[i] == -1) return std::nullopt;
    }
    return Placement{v[0], v[1], v[2], v[3], v[4]};
}

bool AppProfile::WritePlacement(const Placement& p) {
    CRegistry reg(RegistryHive::kCurrentUser);
    bool ok = reg.CreateKey(RegistryHive::kCurrentUser, kFrameKey);
    const std::array<int, 5> v = {p.status, p.top, p.left, p.bottom, p.right};
    for (size_t i = 0; ok && i < kFrameValues.size(); ++i) ok = reg.WriteDword(kFrameValues[i], static_cast<uint32_t>(v[i]));
    return ok || LeftAloneThisRun(reg);
}

AppProfile::Rect AppProfile::PlaceOnScreen(const Placement& p, const Rect& work_area, int screen_width,
                                           int screen_height, int icon_width, int icon_height) {
    Rect r;
    r.width = p.right - p.left;
    r.height = p.bottom - p.top;
    r.x = std::min(p.left + work_area.x, screen_width - icon_width);
    r.y = std::min(p.top + work_area.y, screen_height - icon_height);
    return r;
}

std::vector<std::string> AppProfile::ReadRecentFiles() {
    std::vector<std::string> files;
    CRegistry reg(RegistryHive::kCurrentUser);
    if (!reg.Open(RegistryHive::kCurrentUser, kRecentKey)) return files;
    for (size_t i = 1; i <= kRecentFiles; ++i) {
        std::string path;
        if (reg.ReadString("File" + std::to_string(i), path) && !path.empty()) files.push_back(path);
    }
    return files;
}

bool AppProfile::WriteRecentFiles(const std::vector<std::string>& files) {
    CRegistry reg(RegistryHive::kCurrentUser);
    bool ok = reg.CreateKey(RegistryHive::kCurrentUser, kRecentKey);
    for (size_t i = 1; ok && i <= kRecentFiles; ++i) {
        const std::string name = "File" + std::to_string(i);
        if (i <= files.size())
            ok = reg.WriteString(name, files[i - 1]);
        else
            reg.DeleteValue(name);
    }
    return ok || LeftAloneThisRun(reg);
}

std::vector<std::string> AppProfile::AddRecentFile(std::vector<std::string> files, const std::string& path) {
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    files.insert(files.begin(), path);
    if (files.size() > kRecentFiles) files.resize(kRecentFiles);
    return files;
}
