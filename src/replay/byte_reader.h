#pragma once
// Bounds-checked little-endian reader over a byte span. Every binary reader
// of the program parses through it; raw bytes are never cast to structs.
//
// A read past the end fails, leaves the cursor where it was, returns zero or
// an empty string, and sets a sticky failure flag, so a caller may read a
// whole record and test ok() once at the end.

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

    // Reads at an absolute offset without moving the cursor.
    uint16_t U16At(size_t offset) const {
        if (!Has(offset, 2)) return 0;
        return static_cast<uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
    }
    uint32_t U32At(size_t offset) const {
        if (!Has(offset, 4)) return 0;
        return static_cast<uint32_t>(bytes_[offset]) | (static_cast<uint32_t>(bytes_[offset + 1]) << 8) |
               (static_cast<uint32_t>(bytes_[offset + 2]) << 16) | (static_cast<uint32_t>(bytes_[offset + 3]) << 24);
    }
    bool Has(size_t offset, size_t count) const { return offset <= bytes_.size() && count <= bytes_.size() - offset; }

    size_t pos() const { return pos_; }
    size_t size() const { return bytes_.size(); }
    size_t remaining() const { return bytes_.size() - pos_; }
    bool ok() const { return ok_; }
    void Fail() { ok_ = false; }

private:
    bool Take(size_t count) {
        if (Has(pos_, count)) return true;
        ok_ = false;
        return false;
    }

    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
    bool ok_ = true;
};
