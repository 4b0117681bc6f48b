#include "app/readme_file.h"

#include <algorithm>

#include "app/desktop_registration.h"

namespace fs = std::filesystem;

namespace readme_file {

std::vector<fs::path> Folders(const fs::path& current, const fs::path& program_folder) {
    std::vector<fs::path> folders;
    const auto add = [&](const fs::path& folder) {
        if (folder.empty()) return;
        const fs::path normal = folder.lexically_normal();
        if (std::find(folders.begin(), folders.end(), normal) == folders.end()) folders.push_back(normal);
    };
    add(current);
    add(program_folder);
    // The install keeps its documents in its data folder, the same one
    // that holds its desktop entry.
    if (!program_folder.empty())
        add(program_folder / DesktopRegistration::DataFromProgramFolder() / "doc" / "ostrevan");
    return folders;
}

std::optional<fs::path> Find(const std::vector<fs::path>& folders) {
    for (const fs::path& folder : folders) {
        std::error_code error;
        if (fs::is_regular_file(folder / kName, error)) return folder / kName;
    }
    return std::nullopt;
}

}  // namespace readme_file
