#pragma once
// The one way every reader of outside files (replays, tracks, ini, season
// and settings files) opens a file. The open never blocks, so a FIFO or a
// device put where a file belongs cannot hang the program, and anything
// that is not a regular file is refused before a byte of it is read.
//
// Reads are positioned (pread), so a reader never depends on a file
// position and a failed read leaves nothing to restore.

#include <cstddef>
#include <cstdint>
#include <string>

class InputFile {
public:
    enum class Status {
        kOpened,
        kMissing,     // no such file, or a folder on its path is missing
        kNotRegular,  // a FIFO, a device, a socket or a folder
        kUnreadable,  // exists but cannot be opened or examined
    };

    InputFile() = default;
    ~InputFile();
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens path for reading; a file already open is closed first. Returns
    // the outcome, kept in status().
    Status Open(const std::string& path);
    void Close();

    bool is_open() const { return fd_ >= 0; }
    Status status() const { return status_; }
    // Size in bytes when the file was opened.
    uint64_t size() const { return size_; }
    // Last-write time (seconds since 1970) when the file was opened.
    int64_t modified() const { return modified_; }

    // Copies bytes [offset, offset + count) into dst. False when the file is
    // not open, the range does not lie inside the size taken at open, or
    // fewer bytes arrive (the file shrank).
    bool ReadAt(uint64_t offset, void* dst, size_t count) const;

private:
    int fd_ = -1;
    uint64_t size_ = 0;
    int64_t modified_ = 0;
    Status status_ = Status::kMissing;
};
