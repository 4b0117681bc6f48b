#include "replay/byte_reader.h"

#include <algorithm>
#include <cstring>

bool ByteReader::Take(size_t count) {
    if (!Has(pos_, count)) {
        ok_ = false;
        return false;
    }
    return true;
}

uint8_t ByteReader::U8() {
    if (!Take(1)) return 0;
    return bytes_[pos_++];
}

uint16_t ByteReader::U16() {
    if (!Take(2)) return 0;
    const uint16_t v = static_cast<uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

uint32_t ByteReader::U32() {
    if (!Take(4)) return 0;
    const uint32_t v = U32At(pos_);
    pos_ += 4;
    return v;
}

uint16_t ByteReader::U16At(size_t offset) const {
    if (!Has(offset, 2)) return 0;
    return static_cast<uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
}

uint32_t ByteReader::U32At(size_t offset) const {
    if (!Has(offset, 4)) return 0;
    return static_cast<uint32_t>(bytes_[offset]) | (static_cast<uint32_t>(bytes_[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes_[offset + 2]) << 16) | (static_cast<uint32_t>(bytes_[offset + 3]) << 24);
}

std::string ByteReader::CString(size_t max_chars) {
    const size_t limit = std::min(remaining(), max_chars + 1);
    for (size_t i = 0; i < limit; ++i) {
        if (bytes_[pos_ + i] == 0) {
            std::string s(reinterpret_cast<const char*>(bytes_.data() + pos_), i);
            pos_ += i + 1;
            return s;
        }
    }
    ok_ = false;
    return {};
}

std::string ByteReader::Field(size_t width, size_t max_chars) {
    if (!Take(width)) return {};
    const char* p = reinterpret_cast<const char*>(bytes_.data() + pos_);
    size_t n = 0;
    const size_t limit = std::min(width, max_chars);
    while (n < limit && p[n] != 0) ++n;
    pos_ += width;
    return std::string(p, n);
}

bool ByteReader::Bytes(void* dst, size_t count) {
    if (!Take(count)) return false;
    if (count > 0) std::memcpy(dst, bytes_.data() + pos_, count);
    pos_ += count;
    return true;
}

bool ByteReader::Skip(size_t count) {
    if (!Take(count)) return false;
    pos_ += count;
    return true;
}

bool ByteReader::Seek(size_t offset) {
    if (offset > bytes_.size()) {
        ok_ = false;
        return false;
    }
    pos_ = offset;
    return true;
}
