#include "records/catalogue_format.h"

#include <algorithm>
#include <system_error>

#include "settings/path_lookup.h"

namespace fs = std::filesystem;

namespace catalogue_format {

namespace {

// A medium deeper than this is damaged or a trap; Windows paths end long before.
constexpr int kMaxDepth = 64;

void Collect(const fs::path& folder, std::string_view pattern, int depth, std::vector<fs::path>& out) {
    std::vector<fs::path> files, folders;
    std::error_code ec;
    for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path& p = it->path();
        std::error_code type_ec;
        if (it->is_symlink(type_ec)) {
            if (it->is_regular_file(type_ec) && path_lookup::MatchesNoCase(p.filename().string(), pattern))
                files.push_back(p);
            continue;
        }
        if (it->is_directory(type_ec))
            folders.push_back(p);
        else if (it->is_regular_file(type_ec) && path_lookup::MatchesNoCase(p.filename().string(), pattern))
            files.push_back(p);
    }
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    out.insert(out.end(), files.begin(), files.end());
    if (depth >= kMaxDepth) return;
    for (const fs::path& f : folders) Collect(f, pattern, depth + 1, out);
}

}  // namespace

std::optional<fs::path> FolderIn(const std::string& simulator_folder) {
    const auto folder = path_lookup::ToLocalPath(simulator_folder);
    if (!folder) return std::nullopt;
    if (auto found = path_lookup::Find(*folder, kFolder)) return *found;
    return path_lookup::Resolve(*folder, kFolder);
}

bool IsAcceptableName(std::string_view name) {
    return !name.empty() && name.find_first_of(std::string_view("\\/\0", 3)) == std::string_view::npos;
}

std::vector<fs::path> FindFiles(const fs::path& root, std::string_view pattern) {
    std::vector<fs::path> out;
    Collect(root, pattern, 0, out);
    return out;
}

std::string MediumPath(const fs::path& root, const fs::path& file) {
    std::string out;
    for (const fs::path& part : file.lexically_relative(root)) {
        if (!out.empty()) out += '\\';
        out += part.string();
    }
    return out;
}

}  // namespace catalogue_format
