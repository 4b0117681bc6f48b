#pragma once
// What the writer and the reader of replay CD catalogues (*.rdb) share: the
// head's constants, where catalogues live, which names a catalogue may
// have, and the scan for files below a folder. A catalogue is:
//   "ZAVROCDDB" NUL, version byte (4 is written; 1 to 4 are read),
//   label text NUL, signed 32-bit count of replays found on the medium,
//   then records up to the end of the file, each the replay's path below
//   the medium's root NUL, the header record, the driver-table record.
// All numbers little-endian, no padding.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace catalogue_format {

inline constexpr char kMagic[] = "ZAVROCDDB";
inline constexpr uint8_t kVersion = 4;
inline constexpr uint8_t kOldestVersion = 1;
inline constexpr char kExtension[] = ".rdb";
// The catalogue folder below the simulator's folder.
inline constexpr char kFolder[] = "replay\\ZAVRO_CDDB";
// The longest label or medium path a reader takes: catalogues are read
// with texts of at most this many characters, so a writer never writes a
// longer one.
inline constexpr size_t kMaxTextChars = 199;

// The catalogue folder of a simulator folder (a stored path, perhaps a
// Windows one): the existing folder, found without regard to case, or the
// path it would have. nullopt when the simulator folder names a drive that
// does not exist.
std::optional<std::filesystem::path> FolderIn(const std::string& simulator_folder);

// A catalogue name the user may give: not empty, and no separator ('\',
// '/') or NUL, so that name + ".rdb" is a file directly in the catalogue
// folder.
bool IsAcceptableName(std::string_view name);

// Regular files below root (sub-folders included) whose names match the
// wildcard pattern without regard to case: each folder's files in name
// order, then its sub-folders in name order. Links to folders are not
// followed (a medium may hold a loop of them); unreadable folders are
// passed over.
std::vector<std::filesystem::path> FindFiles(const std::filesystem::path& root, std::string_view pattern);

// The path of file below root as a catalogue stores it: relative, with '\'
// between the components, as on the medium's Windows drive
// ("replays\monza\race.rpy").
std::string MediumPath(const std::filesystem::path& root, const std::filesystem::path& file);

}  // namespace catalogue_format
