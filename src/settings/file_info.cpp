#include "settings/file_info.h"

#include <sys/stat.h>
#include <unistd.h>

#include "settings/file_times.h"

namespace {

// The name part of a path: after the last folder separator of either kind,
// or after the drive of a Windows path such as "D:b.rpy".
std::string NamePart(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    if (cut != std::string::npos) return path.substr(cut + 1);
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return drive ? path.substr(2) : path;
}

}  // namespace

bool CFileInfo::Fill(const std::filesystem::path& file, const std::string& path) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return false;
    const bool folder = S_ISDIR(st.st_mode);
    uint32_t attr = folder ? kDirectory : kArchive;
    if (::access(file.c_str(), W_OK) != 0) attr |= kReadOnly;
    // Files whose names start with a dot are the hidden ones here.
    const std::string name = file.filename().string();
    if (!name.empty() && name[0] == '.') attr |= kHidden;

    full_path = path;
    user_value = 0;
    attributes = attr;
    size = folder ? 0 : static_cast<uint64_t>(st.st_size);
    last_write_time = file_times::ModificationTime(file).value_or(0);
    creation_time = file_times::CreationTime(file).value_or(last_write_time);
    last_access_time = file_times::AccessTime(file).value_or(last_write_time);
    return true;
}

std::string CFileInfo::GetFileTitle() const {
    const std::string name = NamePart(full_path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string CFileInfo::GetFileExt() const {
    const std::string name = NamePart(full_path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string CFileInfo::GetFileName() const { return GetFileTitle() + GetFileExt(); }
