#include "settings/path_lookup.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace path_lookup {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Entries of dir sorted by name; empty when it cannot be read.
// The entries of dir sorted by name, so lookups that several names could
// answer always give the same one.
std::vector<fs::directory_entry> SortedEntries(const fs::path& dir) {
    std::vector<std::pair<std::string, fs::directory_entry>> named;
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec) return {};
    for (const auto end = fs::directory_iterator(); it != end; it.increment(ec)) {
        if (ec) break;
        named.emplace_back(it->path().filename().string(), *it);
    }
    std::sort(named.begin(), named.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<fs::directory_entry> out;
    out.reserve(named.size());
    for (auto& n : named) out.push_back(std::move(n.second));
    return out;
}

std::optional<fs::path> FindComponent(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    if (fs::exists(dir / name, ec)) return dir / name;
    // Of several names that differ only in case, the first in sorted order.
    std::optional<std::string> best;
    fs::directory_iterator it(dir, ec);
    if (ec) return std::nullopt;
    for (const auto end = fs::directory_iterator(); it != end; it.increment(ec)) {
        if (ec) break;
        std::string entry = it->path().filename().string();
        if (EqualsNoCase(entry, name) && (!best || entry < *best)) best = std::move(entry);
    }
    if (!best) return std::nullopt;
    return dir / *best;
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool MatchesNoCase(std::string_view name, std::string_view pattern) {
    // Iterative wildcard match with one backtrack point for the last '*'.
    size_t n = 0, p = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<std::string> SplitComponents(std::string_view relative) {
    std::vector<std::string> parts;
    std::string current;
    auto flush = [&] {
        if (!current.empty() && current != ".") parts.push_back(current);
        current.clear();
    };
    for (char c : relative) {
        if (c == '\\' || c == '/') flush();
        else current.push_back(c);
    }
    flush();
    return parts;
}

std::optional<fs::path> Find(const fs::path& base, std::string_view relative) {
    std::error_code ec;
    if (!fs::is_directory(base, ec)) return std::nullopt;
    fs::path at = base;
    for (const auto& part : SplitComponents(relative)) {
        if (part == "..") {
            at = at.parent_path();
            continue;
        }
        auto next = FindComponent(at, part);
        if (!next) return std::nullopt;
        at = *next;
    }
    return at;
}

fs::path Resolve(const fs::path& base, std::string_view relative) {
    fs::path at = base;
    bool found = true;
    for (const auto& part : SplitComponents(relative)) {
        if (found && part != "..") {
            if (auto next = FindComponent(at, part)) {
                at = *next;
                continue;
            }
            found = false;
        }
        at /= part;
    }
    return at;
}

std::vector<fs::path> ListFiles(const fs::path& dir, std::string_view pattern) {
    std::vector<fs::path> out;
    for (const auto& e : SortedEntries(dir)) {
        std::error_code ec;
        if (e.is_regular_file(ec) && MatchesNoCase(e.path().filename().string(), pattern)) out.push_back(e.path());
    }
    return out;
}

std::vector<fs::path> ListFolders(const fs::path& dir) {
    std::vector<fs::path> out;
    for (const auto& e : SortedEntries(dir)) {
        std::error_code ec;
        if (e.is_directory(ec)) out.push_back(e.path());
    }
    return out;
}

bool IsSimulatorFolder(const fs::path& folder) {
    const auto local = ToLocalPath(folder.string());
    const auto exe = local ? Find(*local, "qel.exe") : std::nullopt;
    std::error_code ec;
    return exe && fs::is_regular_file(*exe, ec);
}

fs::path WinePrefix() {
    // Wine itself refuses a relative prefix.
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        return fs::path(prefix).is_absolute() ? fs::path(prefix) : fs::path();
    if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".wine";
    return {};
}

std::optional<fs::path> ToLocalPath(std::string_view stored) {
    if (stored.empty()) return std::nullopt;
    char drive = 0;
    std::string_view rest;
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (stored.size() >= 2 && letter(stored[0]) && stored[1] == ':') {
        drive = Lower(stored[0]);
        rest = stored.substr(2);
    } else if (stored[0] == '\\' && (stored.size() < 2 || stored[1] != '\\')) {
        // Rooted on the current drive, which is C for the simulator.
        drive = 'c';
        rest = stored;
    } else if (stored[0] == '\\') {
        return std::nullopt;  // a network share: no drive link leads there
    } else {
        return fs::path(stored);
    }
    const fs::path prefix = WinePrefix();
    if (prefix.empty()) return std::nullopt;
    // Wine names the links "c:"; a hand-made prefix may use "C:".
    const auto link = Find(prefix / "dosdevices", std::string(1, drive) + ":");
    if (!link) return std::nullopt;
    std::error_code ec;
    const fs::path root = fs::canonical(*link, ec);
    if (ec || !fs::is_directory(root, ec)) return std::nullopt;
    std::vector<std::string> parts;
    for (auto& part : SplitComponents(rest)) {
        if (part != "..") parts.push_back(std::move(part));
        else if (!parts.empty()) parts.pop_back();
    }
    std::string relative;
    for (const auto& part : parts) relative += (relative.empty() ? "" : "/") + part;
    return Resolve(root, relative);
}

}  // namespace path_lookup
