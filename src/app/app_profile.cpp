#include "app/app_profile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "settings/registry.h"

namespace {

constexpr const char* kFrameKey = "Software\\Ostrevan\\Ostrevan\\Frame";
constexpr const char* kRecentKey = "Software\\Ostrevan\\Ostrevan\\Recent File List";
constexpr std::array<const char*, 5> kFrameValues = {"Status", "Top", "Left", "Bottom", "Right"};

// A settings file that could not be read at start is left alone for the
// whole run, as the user was told then; not storing the profile in it is
// no failure to report again.
bool LeftAloneThisRun(long error) { return error == CRegistry::kErrorUnreadAtStart; }

// v brought into [low, high]; low wins when the range is empty.
int64_t Within(int64_t v, int64_t low, int64_t high) { return std::max(low, std::min(v, high)); }

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
    // The five values are one change, so windows closing at once leave the
    // placement of one of them, never a mix.
    CRegistry::Batch batch(RegistryHive::kCurrentUser, kFrameKey);
    const std::array<int, 5> v = {p.status, p.top, p.left, p.bottom, p.right};
    for (size_t i = 0; i < kFrameValues.size(); ++i) batch.WriteDword(kFrameValues[i], static_cast<uint32_t>(v[i]));
    return batch.Commit() || LeftAloneThisRun(batch.LastError());
}

AppProfile::Rect AppProfile::PlaceOnScreen(const Placement& p, const Rect& work_area, const std::vector<Rect>& screens,
                                           int icon_width, int icon_height) {
    // A window larger than all the screens together shows no more of
    // itself; the window system may not even draw it.
    int64_t max_width = kMaxCoordinate, max_height = kMaxCoordinate;
    if (!screens.empty()) {
        int64_t x0 = screens[0].x, y0 = screens[0].y, x1 = x0 + screens[0].width, y1 = y0 + screens[0].height;
        for (const Rect& s : screens) {
            x0 = std::min<int64_t>(x0, s.x);
            y0 = std::min<int64_t>(y0, s.y);
            x1 = std::max(x1, int64_t{s.x} + s.width);
            y1 = std::max(y1, int64_t{s.y} + s.height);
        }
        max_width = Within(x1 - x0, 0, kMaxCoordinate);
        max_height = Within(y1 - y0, 0, kMaxCoordinate);
    }
    // In 64 bits, so that no sum or difference of stored numbers overflows.
    const int64_t width = Within(int64_t{p.right} - p.left, 0, max_width);
    const int64_t height = Within(int64_t{p.bottom} - p.top, 0, max_height);
    const int64_t x = Within(p.left, -kMaxCoordinate, kMaxCoordinate) + work_area.x;
    const int64_t y = Within(p.top, -kMaxCoordinate, kMaxCoordinate) + work_area.y;
    // How much of the title bar must show: an icon's width, or all of a
    // narrower window.
    const int64_t shown = std::min<int64_t>(std::max(icon_width, 1), std::max<int64_t>(width, 1));
    // The title bar is taken as an icon's height above the window; at
    // least its lower half shows (title bars are often lower than icons).
    const int64_t bar = std::max(icon_height, 0);
    // Of every screen's nearest place, the one reached by the shortest
    // move; on a screen that shows the title bar already, the window stays.
    int64_t best_x = x, best_y = y, best_move = -1;
    for (const Rect& s : screens) {
        const int64_t sx = Within(x, int64_t{s.x} - width + shown, int64_t{s.x} + s.width - shown);
        const int64_t sy = Within(y, int64_t{s.y} + bar / 2, int64_t{s.y} + s.height - bar);
        const int64_t move = std::abs(sx - x) + std::abs(sy - y);
        if (best_move < 0 || move < best_move) {
            best_x = sx;
            best_y = sy;
            best_move = move;
        }
    }
    Rect r;
    r.x = static_cast<int>(Within(best_x, -kMaxCoordinate, kMaxCoordinate));
    r.y = static_cast<int>(Within(best_y, -kMaxCoordinate, kMaxCoordinate));
    r.width = static_cast<int>(width);
    r.height = static_cast<int>(height);
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
    // One list, one change, as for the placement.
    CRegistry::Batch batch(RegistryHive::kCurrentUser, kRecentKey);
    for (size_t i = 1; i <= kRecentFiles; ++i) {
        const std::string name = "File" + std::to_string(i);
        if (i <= files.size())
            batch.WriteString(name, files[i - 1]);
        else
            batch.DeleteValue(name);
    }
    return batch.Commit() || LeftAloneThisRun(batch.LastError());
}

std::vector<std::string> AppProfile::AddRecentFile(std::vector<std::string> files, const std::string& path) {
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    files.insert(files.begin(), path);
    if (files.size() > kRecentFiles) files.resize(kRecentFiles);
    return files;
}
