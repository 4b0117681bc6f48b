#include "settings/file_info.h"

#include <fcntl.h>
#include <sys/stat.h>

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

int64_t Nanoseconds(const struct statx_timestamp& t) { return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; }

}  // namespace

bool CFileInfo::Fill(const std::filesystem::path& file, const std::string& path, bool* regular) {
    // One look at the file gives everything; a scan of a large replay
    // folder makes this call for every file.
    struct statx st {};
    const unsigned mask = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME;
    if (::statx(AT_FDCWD, file.c_str(), 0, mask, &st) != 0) return false;
    const bool folder = S_ISDIR(st.stx_mode);
    uint32_t attr = folder ? kDirectory : kArchive;
    if (!(st.stx_mode & S_IWUSR)) attr |= kReadOnly;
    // Files whose names start with a dot are the hidden ones here.
    const std::string name = file.filename().string();
    if (!name.empty() && name[0] == '.') attr |= kHidden;

    full_path = path;
    user_value = 0;
    attributes = attr;
    size = folder ? 0 : static_cast<uint64_t>(st.stx_size);
    last_write_time = Nanoseconds(st.stx_mtime);
    last_access_time = Nanoseconds(st.stx_atime);
    // Where the file system keeps no birth time, the last write stands in.
    creation_time = (st.stx_mask & STATX_BTIME) ? Nanoseconds(st.stx_btime) : last_write_time;
    if (regular) *regular = S_ISREG(st.stx_mode);
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
