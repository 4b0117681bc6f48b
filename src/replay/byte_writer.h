#pragma once
// Appends little-endian numbers and NUL-terminated strings to a byte string;
// the writing side of ByteReader (catalogue records, written replay files).

#include <cstdint>
#include <string>
#include <string_view>

class ByteWriter {
public:
    void U8(uint8_t v) { out_.push_back(static_cast<char>(v)); }
    void U16(uint16_t v);
    void U32(uint32_t v);
    // The characters of text up to its first NUL, then one NUL byte.
    void CString(std::string_view text);
    void Raw(std::string_view bytes) { out_.append(bytes); }

    const std::string& bytes() const { return out_; }
    std::string& bytes() { return out_; }

private:
    std::string out_;
};
