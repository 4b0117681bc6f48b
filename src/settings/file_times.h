#pragma once
// File times as 64-bit nanoseconds since 1970. The "creation time" that
// Windows keeps is the birth time where the file system records one, else
// the last modification time.

#include <cstdint>
#include <filesystem>
#include <optional>

namespace file_times {

// nullopt when the file cannot be examined.
std::optional<int64_t> CreationTime(const std::filesystem::path& file);
std::optional<int64_t> ModificationTime(const std::filesystem::path& file);

}  // namespace file_times
