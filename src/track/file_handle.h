#pragma once
// Holds an open file for the track reader and closes it when it goes, so
// the file is closed on every failure after it was opened. Reads are
// checked against the file's size and refused when short.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class FileHandle {
public:
    // Opens path with an fopen mode; IsNull tells whether that failed.
    FileHandle(const std::string& path, const char* mode);
    ~FileHandle();
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsNull() const { return file_ == nullptr; }
    // Closes the file when it is open and returns fclose's result, else 0.
    int Close();

    // Size of the open file in bytes; false when it cannot be found.
    bool Size(uint64_t& size);
    // Replaces out with bytes [offset, offset + count) of the file. False,
    // with out empty, when the range does not lie wholly inside the file or
    // fewer bytes arrive.
    bool ReadAt(uint64_t offset, uint64_t count, std::vector<uint8_t>& out);

private:
    std::FILE* file_ = nullptr;
};
