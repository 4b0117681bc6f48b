#pragma once
// The simulator's folders come from Windows disks, where names are not case
// sensitive: "Replay\QEL.EXE" and "replay/qel.exe" name the same file. These
// helpers find each named component of a path without regard to case
// (ASCII letters), accept both separators, and list folders in sorted order
// so results never depend on the order of the directory.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace path_lookup {

// Splits a relative path at '\' and '/'; empty components and "." are
// dropped.
std::vector<std::string> SplitComponents(std::string_view relative);

// The existing path below base that names `relative` when each component is
// compared without regard to case. An entry whose name matches exactly wins;
// otherwise the first match in sorted order. nullopt when a component is
// missing (or base is not a folder). An empty relative path gives base.
std::optional<std::filesystem::path> Find(const std::filesystem::path& base, std::string_view relative);

// base joined with relative, each component replaced by the existing entry
// it names without regard to case where there is one; the components from
// the first missing one on are kept as given. For files about to be written.
std::filesystem::path Resolve(const std::filesystem::path& base, std::string_view relative);

// Regular files directly in dir whose names match a wildcard pattern ("*"
// any run, "?" any one character) without regard to case, sorted by name.
// Empty when dir does not exist.
std::vector<std::filesystem::path> ListFiles(const std::filesystem::path& dir, std::string_view pattern);

// Sub-folders directly in dir, sorted by name.
std::vector<std::filesystem::path> ListFolders(const std::filesystem::path& dir);

// True when folder (a stored path, see ToLocalPath) holds the simulator's
// program file qel.exe.
bool IsSimulatorFolder(const std::filesystem::path& folder);

// The Wine prefix the simulator runs in: $WINEPREFIX when it is an absolute
// path, else $HOME/.wine; empty when neither names one.
std::filesystem::path WinePrefix();

// A path read from stored data (settings, Wine's registry, ini and season
// files, catalogues) as a path on this machine. Windows paths ("C:\Games\QEL",
// "d:/replays", "\Games" on drive C) go through the Wine prefix's drive
// links (dosdevices/c: to drive_c): the drive's folder, then each component
// found without regard to case, missing ones kept as given; ".." never
// climbs above the drive. Other paths (Linux paths) stay as they are.
// nullopt for an empty path, and for a drive with no link in the prefix (or
// a link that leads nowhere), so callers treat it as a missing folder.
std::optional<std::filesystem::path> ToLocalPath(std::string_view stored);

// Case-blind comparison and wildcard match of ASCII names.
bool EqualsNoCase(std::string_view a, std::string_view b);
bool MatchesNoCase(std::string_view name, std::string_view pattern);

}  // namespace path_lookup
