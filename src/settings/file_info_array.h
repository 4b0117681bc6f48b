#pragma once
// A list of files found by folder scans (CFileInfo records), optionally
// recursive and optionally kept sorted while it is filled.
//
// Scans never depend on the order in which the file system returns a
// folder's entries: each folder's entries are taken in byte order of their
// names. Masks match without regard to case, as on the simulator's Windows
// disks. A folder reached twice in one scan (a symbolic link back to a
// folder above it, or two links to one folder) is scanned only the first
// time, so link loops end.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/file_info.h"

class CFileInfoArray {
public:
    // Where AddFileInfo puts a new record; any other code appends.
    enum SortOrder {
        kAppend = 0,
        kAscendingSize = 2,   // before the first record whose size is >= its size
        kDescendingSize = 3,  // before the first record whose size is <= its size
        kAscendingPath = 4,   // before the first record whose path is >= its path
        kDescendingPath = 5,  // before the first record whose path is <= its path
    };

    CFileInfoArray();
    virtual ~CFileInfoArray();

    // Inserts a copy of the record and returns its index. Paths compare byte
    // by byte as unsigned characters, case-sensitively.
    int AddFileInfo(const CFileInfo& record, int sort_order);

    // Scans folder (a folder on this machine; stored Windows paths are
    // mapped with path_lookup::ToLocalPath first) for regular files whose
    // names match mask ("*.rpy"; "*.*" matches every name). Each record's
    // path is the folder's text, a '/' when it ends in no separator, and the
    // name. With recurse, each sub-folder's matches come first (sub-folders
    // in name order, depth first), then the folder's own; with
    // include_directories the sub-folders themselves are added too.
    // abort, when given, stops the scan once it is true; counter, when
    // given, is incremented for every file added. Returns the number of
    // records added; a folder that cannot be read adds nothing.
    int AddDir(const std::string& folder, std::string_view mask, bool recurse, int sort_order = kAppend,
               bool include_directories = false, const std::atomic<bool>* abort = nullptr,
               std::atomic<int32_t>* counter = nullptr);

    size_t GetSize() const { return records_.size(); }
    const CFileInfo& operator[](size_t i) const { return records_.at(i); }
    CFileInfo& operator[](size_t i) { return records_.at(i); }
    const std::vector<CFileInfo>& records() const { return records_; }
    void RemoveAll() { records_.clear(); }

private:
    struct FolderId {
        uint64_t device = 0;
        uint64_t inode = 0;
        bool operator==(const FolderId&) const = default;
    };
    int Scan(const std::string& folder, std::string_view mask, bool recurse, int sort_order, bool include_directories,
             const std::atomic<bool>* abort, std::atomic<int32_t>* counter, std::vector<FolderId>& entered);

    std::vector<CFileInfo> records_;
};
