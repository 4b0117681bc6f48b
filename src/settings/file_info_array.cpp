#include "settings/file_info_array.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "settings/path_lookup.h"

namespace {

bool PathLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

struct Entry {
    std::string name;
    unsigned char type;  // DT_ value; DT_UNKNOWN when the file system does not say
};

// The entries of a folder other than "." and "..", in byte order of their
// names; empty when the folder cannot be read.
std::vector<Entry> SortedEntries(const std::string& folder) {
    std::vector<Entry> entries;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return entries;
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") entries.push_back({name, e->d_type});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return PathLess(a.name, b.name); });
    return entries;
}

bool Aborted(const std::atomic<bool>* abort) { return abort && abort->load(); }

}  // namespace

CFileInfoArray::CFileInfoArray() { records_.reserve(50); }

CFileInfoArray::~CFileInfoArray() = default;

int CFileInfoArray::AddFileInfo(const CFileInfo& record, int sort_order) {
    auto at = records_.end();
    switch (sort_order) {
    case kAscendingSize:
        at = std::find_if(records_.begin(), records_.end(), [&](const CFileInfo& r) { return r.size >= record.size; });
        break;
    case kDescendingSize:
        at = std::find_if(records_.begin(), records_.end(), [&](const CFileInfo& r) { return r.size <= record.size; });
        break;
    case kAscendingPath:
        at = std::find_if(records_.begin(), records_.end(),
                          [&](const CFileInfo& r) { return !PathLess(r.full_path, record.full_path); });
        break;
    case kDescendingPath:
        at = std::find_if(records_.begin(), records_.end(),
                          [&](const CFileInfo& r) { return !PathLess(record.full_path, r.full_path); });
        break;
    default: break;
    }
    return static_cast<int>(records_.insert(at, record) - records_.begin());
}

int CFileInfoArray::AddDir(const std::string& folder, std::string_view mask, bool recurse, int sort_order,
                           bool include_directories, const std::atomic<bool>* abort, std::atomic<int32_t>* counter) {
    std::vector<FolderId> entered;
    return Scan(folder, mask, recurse, sort_order, include_directories, abort, counter, entered);
}

int CFileInfoArray::Scan(const std::string& folder, std::string_view mask, bool recurse, int sort_order,
                         bool include_directories, const std::atomic<bool>* abort, std::atomic<int32_t>* counter,
                         std::vector<FolderId>& entered) {
    struct stat self {};
    if (folder.empty() || ::stat(folder.c_str(), &self) != 0 || !S_ISDIR(self.st_mode)) return 0;
    const FolderId id{static_cast<uint64_t>(self.st_dev), static_cast<uint64_t>(self.st_ino)};
    if (std::find(entered.begin(), entered.end(), id) != entered.end()) return 0;
    entered.push_back(id);

    const std::string prefix = folder.back() == '/' || folder.back() == '\\' ? folder : folder + "/";
    // Windows' "*.*" matches every name, with a dot or without.
    const std::string_view pattern = mask == "*.*" ? std::string_view("*") : mask;
    const std::vector<Entry> entries = SortedEntries(folder);
    int added = 0;

    for (const Entry& e : entries) {
        // Only entries that are or may be folders (links included) are looked at.
        if (e.type != DT_DIR && e.type != DT_LNK && e.type != DT_UNKNOWN) continue;
        const std::string path = prefix + e.name;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
        if (include_directories) {
            CFileInfo record;
            if (record.Fill(path, path)) {
                AddFileInfo(record, sort_order);
                ++added;
            }
        }
        if (recurse)
            added += Scan(path + "/", mask, recurse, sort_order, include_directories, abort, counter, entered);
        if (Aborted(abort)) return added;
    }

    for (const Entry& e : entries) {
        if (Aborted(abort)) break;
        if (e.type == DT_DIR || !path_lookup::MatchesNoCase(e.name, pattern)) continue;
        const std::string path = prefix + e.name;
        CFileInfo record;
        bool regular = false;
        // Only regular files: a FIFO or a device is never a replay.
        if (!record.Fill(path, path, &regular) || !regular) continue;
        AddFileInfo(record, sort_order);
        ++added;
        if (counter) ++*counter;
    }
    return added;
}
