#include "replay/replay_file.h"

#include <algorithm>
#include <cstring>

namespace {

bool SeekTo(std::FILE* f, uint64_t offset) {
#if defined(_WIN32)
    return _fseeki64(f, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool SizeOf(std::FILE* f, uint64_t& size) {
#if defined(_WIN32)
    if (_fseeki64(f, 0, SEEK_END) != 0) return false;
    const long long end = _ftelli64(f);
#else
    if (fseeko(f, 0, SEEK_END) != 0) return false;
    const off_t end = ftello(f);
#endif
    if (end < 0) return false;
    size = static_cast<uint64_t>(end);
    return true;
}

}  // namespace

ReplayFile::ReplayFile(size_t window_size) : window_size_(std::max<size_t>(window_size, 4096)) {}

ReplayFile::~ReplayFile() { Close(); }

bool ReplayFile::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return false;
    if (!SizeOf(file_, size_)) {
        Close();
        return false;
    }
    return true;
}

void ReplayFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    size_ = 0;
    window_len_ = 0;
}

bool ReplayFile::Fill(uint64_t start, size_t count) {
    window_.resize(std::max(window_.size(), count));
    window_len_ = 0;
    if (!SeekTo(file_, start)) return false;
    if (std::fread(window_.data(), 1, count, file_) != count) return false;
    window_start_ = start;
    window_len_ = count;
    return true;
}

std::span<const uint8_t> ReplayFile::View(uint64_t offset, size_t count, Walk walk) {
    if (!file_ || !Contains(offset, count)) return {};
    if (offset < window_start_ || offset + count > window_start_ + window_len_) {
        const size_t want = std::max(count, window_size_);
        uint64_t start = offset;
        if (walk == Walk::Backward) {
            const uint64_t end = offset + count;
            start = end > want ? end - want : 0;
        }
        const size_t len = static_cast<size_t>(std::min<uint64_t>(want, size_ - start));
        if (!Fill(start, len)) return {};
    }
    return {window_.data() + (offset - window_start_), count};
}

std::span<const uint8_t> ReplayFile::ViewAhead(uint64_t offset, size_t count) {
    if (!file_ || offset >= size_) return {};
    count = static_cast<size_t>(std::min<uint64_t>(count, size_ - offset));
    if (offset < window_start_ || offset + count > window_start_ + window_len_) {
        const size_t len = static_cast<size_t>(std::min<uint64_t>(std::max(count, window_size_), size_ - offset));
        if (!Fill(offset, len)) return {};
    }
    return {window_.data() + (offset - window_start_), static_cast<size_t>(window_start_ + window_len_ - offset)};
}

bool ReplayFile::Read(uint64_t offset, void* dst, size_t count) {
    const auto v = View(offset, count);
    if (v.size() != count) return false;
    if (count > 0) std::memcpy(dst, v.data(), count);
    return true;
}
