#pragma once
// Holds an open file for the track reader and closes it when it goes, so
// the file is closed on every failure after it was opened. The file is
// opened through InputFile: without blocking, and only a regular file.
// Reads are checked against the file's size and refused when short.

#include <cstdint>
#include <string>
#include <vector>

#include "replay/input_file.h"

class FileHandle {
public:
    // Opens path for reading; mode is an fopen mode and must be a reading
    // one ("r" or "rb"): the holder never writes. IsNull tells whether the
    // open failed or the file is not a regular file.
    FileHandle(const std::string& path, const char* mode);
    ~FileHandle();
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsNull() const { return !file_.is_open(); }
    // Closes the file when it is open; returns 0.
    int Close();

    // Size of the open file in bytes; false when no file is open.
    bool Size(uint64_t& size);
    // Replaces out with bytes [offset, offset + count) of the file. False,
    // with out empty, when the range does not lie wholly inside the file or
    // fewer bytes arrive.
    bool ReadAt(uint64_t offset, uint64_t count, std::vector<uint8_t>& out);

private:
    InputFile file_;
};
