#include "replay/byte_reader.h"

#include <algorithm>
#include <cstring>

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
