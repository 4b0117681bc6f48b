#pragma once
// Read-only access to a replay file through one large buffer window, so the
// readers walk frame blocks forwards or backwards without a system call per
// block. Every range is checked against the file size before it is read.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "replay/input_file.h"

class ReplayFile {
public:
    // Direction of the walk that asks for a range: the window that is read
    // around it then reaches ahead of the range, or behind it.
    enum class Walk { Forward, Backward };

    // Windows are at least 4 KiB; a walk backwards reads backward_window
    // bytes at a time, or window_size when none is given.
    explicit ReplayFile(size_t window_size = 64 * 1024, size_t backward_window = 0);
    ~ReplayFile();
    ReplayFile(const ReplayFile&) = delete;
    ReplayFile& operator=(const ReplayFile&) = delete;

    // Opens the file for reading (through InputFile: without blocking, and
    // only a regular file) and takes its size. False when it cannot be
    // opened, is not a regular file, or its size cannot be found.
    bool Open(const std::string& path);
    void Close();
    bool is_open() const { return file_.is_open(); }
    uint64_t size() const { return size_; }
    // Last-write time (seconds since 1970) when the file was opened.
    int64_t modified() const { return file_.modified(); }

    // Bytes [offset, offset + count) of the file, valid until the next call.
    // Empty when the range is not wholly inside the file or the read fails.
    std::span<const uint8_t> View(uint64_t offset, size_t count, Walk walk = Walk::Forward);

    // Bytes from offset to the end of the window read around it: at least
    // count bytes, or all that the file holds after offset when fewer, valid
    // until the next call. For walks that step through many small records:
    // one call serves every record the window holds. Empty when offset is
    // not inside the file or the read fails.
    std::span<const uint8_t> ViewAhead(uint64_t offset, size_t count);

    // Copies [offset, offset + count) into dst; false when out of the file.
    bool Read(uint64_t offset, void* dst, size_t count);

    bool Contains(uint64_t offset, uint64_t count) const { return offset <= size_ && count <= size_ - offset; }

    // Bytes asked of the file since it was opened: every window read,
    // whether or not the read succeeded.
    uint64_t bytes_read() const { return bytes_read_; }

private:
    bool Fill(uint64_t start, size_t count);

    InputFile file_;
    uint64_t size_ = 0;
    // Bytes beyond window_len_ are never read, so the window is not
    // cleared when it grows.
    std::unique_ptr<uint8_t[]> window_;
    size_t window_capacity_ = 0;
    size_t window_size_;
    size_t backward_window_;
    uint64_t window_start_ = 0;
    size_t window_len_ = 0;
    uint64_t bytes_read_ = 0;
};
