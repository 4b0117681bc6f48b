#pragma once
// Where Help > View Readme file finds the users' readme, Ostrevan.txt: in
// the current folder (where the simulator's tools keep theirs), beside the
// program (a build folder holds a copy) and in the documentation folder of
// the install the program stands in.

#include <filesystem>
#include <optional>
#include <vector>

namespace readme_file {

inline constexpr const char* kName = "Ostrevan.txt";

// The folders to look in, in that order, each once; program_folder may be
// empty (unknown).
std::vector<std::filesystem::path> Folders(const std::filesystem::path& current,
                                           const std::filesystem::path& program_folder);
// The readme in the first of folders that holds it as a regular file.
std::optional<std::filesystem::path> Find(const std::vector<std::filesystem::path>& folders);

}  // namespace readme_file
