#pragma once
// Whole-file reading and writing for the files that hold user data (the
// registry hives, ini files, the season file). A write never leaves a half
// written file behind: the bytes go to a temporary file in the same folder,
// which is flushed to disk and then renamed over the target.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace atomic_file {

enum class ReadResult {
    kRead,        // out holds the whole file
    kMissing,     // no such file
    kUnreadable,  // exists but cannot be read, is not a regular file, or is larger than max_bytes
};

// Reads the whole file into out (emptied first). Files larger than max_bytes
// are refused rather than read in part.
ReadResult Read(const std::filesystem::path& path, size_t max_bytes, std::string& out);

// Replaces the file at path with bytes. mode gives the permissions of the
// new file; without it an existing file keeps its permissions and a new one
// gets 0666 less the process umask. A symbolic link at path is followed, so
// the file it names is replaced and the link stays. The folder must exist.
// False when any step fails; the old file is then untouched and no
// temporary file is left behind.
bool Write(const std::filesystem::path& path, std::string_view bytes,
           std::optional<std::filesystem::perms> mode = std::nullopt);

}  // namespace atomic_file
