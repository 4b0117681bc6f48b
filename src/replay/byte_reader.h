#pragma once
// Bounds-checked little-endian reader over a byte span. Every binary reader
// of the program parses through it; raw bytes are never cast to structs.
//
// Every read past the end (at the cursor or at an absolute offset, a skip
// or a seek) fails, leaves the cursor where it was, returns zero or an empty
// string, and sets a sticky failure flag, so a caller may read a whole
// record and test ok() once at the end. Has() only asks and never fails.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    ByteReader(const void* data, size_t size)
        : bytes_(static_cast<const uint8_t*>(data), size) {}

    uint8_t U8() { return Take(1) ? bytes_[pos_++] : 0; }
    uint16_t U16() {
        if (!Take(2)) return 0;
        pos_ += 2;
        return U16At(pos_ - 2);
    }
    uint32_t U32() {
        if (!Take(4)) return 0;
        pos_ += 4;
        return U32At(pos_ - 4);
    }
    int8_t I8() { return static_cast<int8_t>(U8()); }

    // Reads a NUL-terminated string and consumes its NUL. Fails when no NUL
    // follows within max_chars characters: a longer string is a damaged
    // record, not something to cut or overrun.
    std::string CString(size_t max_chars);

    // Reads a fixed-width field holding a NUL-terminated string: the
    // characters before the first NUL, at most max_chars of them. Consumes
    // the whole field.
    std::string Field(size_t width, size_t max_chars);

    // Copies count bytes into dst.
    bool Bytes(void* dst, size_t count);
    bool Skip(size_t count);
    bool Seek(size_t offset);

    // Reads at an absolute offset without moving the cursor. A read out of
    // range sets the failure flag also on a const reader: the flag records
    // what was asked of the bytes, not a change to them.
    uint16_t U16At(size_t offset) const {
        if (!HasOrFail(offset, 2)) return 0;
        return static_cast<uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
    }
    uint32_t U32At(size_t offset) const {
        if (!HasOrFail(offset, 4)) return 0;
        return static_cast<uint32_t>(bytes_[offset]) | (static_cast<uint32_t>(bytes_[offset + 1]) << 8) |
               (static_cast<uint32_t>(bytes_[offset + 2]) << 16) | (static_cast<uint32_t>(bytes_[offset + 3]) << 24);
    }
    bool Has(size_t offset, size_t count) const { return offset <= bytes_.size() && count <= bytes_.size() - offset; }

    // Little-endian words at p, for loops over a range whose size was
    // checked once before them (by Has(), or a span of fixed size): the
    // check is not repeated for every field. Compilers make each a single
    // load on little-endian machines.
    static uint32_t LoadU32(const uint8_t* p) {
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
               (static_cast<uint32_t>(p[3]) << 24);
    }
    static uint64_t LoadU64(const uint8_t* p) {
        return static_cast<uint64_t>(LoadU32(p)) | (static_cast<uint64_t>(LoadU32(p + 4)) << 32);
    }

    size_t pos() const { return pos_; }
    size_t size() const { return bytes_.size(); }
    size_t remaining() const { return bytes_.size() - pos_; }
    bool ok() const { return ok_; }
    void Fail() { ok_ = false; }

private:
    bool Take(size_t count) { return HasOrFail(pos_, count); }
    bool HasOrFail(size_t offset, size_t count) const {
        if (Has(offset, count)) return true;
        ok_ = false;
        return false;
    }

    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
    mutable bool ok_ = true;
};
