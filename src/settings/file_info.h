#pragma once
// One file found on disk by a folder scan: its full path, Win32-style
// attributes, size and times.
//
// Times are 64-bit nanoseconds since 1970 (see file_times.h), so dates after
// 2038 stay right; a record that was never filled holds 0 for each.

#include <cstdint>
#include <filesystem>
#include <string>

class CFileInfo {
public:
    // The attribute bits a scan sets, with their Win32 values.
    static constexpr uint32_t kReadOnly = 0x01;
    static constexpr uint32_t kHidden = 0x02;
    static constexpr uint32_t kDirectory = 0x10;
    static constexpr uint32_t kArchive = 0x20;
    static constexpr uint32_t kNoAttributes = 0xFFFFFFFF;  // a fresh record

    CFileInfo() = default;

    // Fills the record from the file at `file` (following a link), whose
    // path is kept as `full_path` (the scanned folder's text followed by the
    // name). False, with the record left as it was, when the file cannot be
    // examined. *regular, when given, tells whether it is a regular file.
    bool Fill(const std::filesystem::path& file, const std::string& full_path, bool* regular = nullptr);

    // The file's name without folder and extension: "b.c" for D:\a\b.c.rpy.
    std::string GetFileTitle() const;
    // The extension with its leading dot (".rpy"); empty when the name has
    // no dot.
    std::string GetFileExt() const;
    // Title followed by extension.
    std::string GetFileName() const;

    int32_t user_value = 0;
    std::string full_path;
    uint32_t attributes = kNoAttributes;
    uint64_t size = 0;
    int64_t creation_time = 0;
    int64_t last_access_time = 0;
    int64_t last_write_time = 0;
};
