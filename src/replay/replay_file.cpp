#include "replay/replay_file.h"

#include <algorithm>
#include <cstring>

ReplayFile::ReplayFile(size_t window_size, size_t backward_window)
    : window_size_(std::max<size_t>(window_size, 4096)),
      backward_window_(backward_window == 0 ? window_size_ : std::max<size_t>(backward_window, 4096)) {}

ReplayFile::~ReplayFile() { Close(); }

bool ReplayFile::Open(const std::string& path) {
    Close();
    if (file_.Open(path) != InputFile::Status::kOpened) return false;
    size_ = file_.size();
    return true;
}

void ReplayFile::Close() {
    file_.Close();
    size_ = 0;
    window_len_ = 0;
    bytes_read_ = 0;
}

bool ReplayFile::Fill(uint64_t start, size_t count) {
    bytes_read_ += count;
    if (count > window_capacity_) {
        window_ = std::make_unique_for_overwrite<uint8_t[]>(count);
        window_capacity_ = count;
    }
    window_len_ = 0;
    if (!file_.ReadAt(start, window_.get(), count)) return false;
    window_start_ = start;
    window_len_ = count;
    return true;
}

std::span<const uint8_t> ReplayFile::View(uint64_t offset, size_t count, Walk walk) {
    if (!file_.is_open() || !Contains(offset, count)) return {};
    if (offset < window_start_ || offset + count > window_start_ + window_len_) {
        const size_t want = std::max(count, walk == Walk::Backward ? backward_window_ : window_size_);
        uint64_t start = offset;
        if (walk == Walk::Backward) {
            const uint64_t end = offset + count;
            start = end > want ? end - want : 0;
        }
        const size_t len = static_cast<size_t>(std::min<uint64_t>(want, size_ - start));
        if (!Fill(start, len)) return {};
    }
    return {window_.get() + (offset - window_start_), count};
}

std::span<const uint8_t> ReplayFile::ViewAhead(uint64_t offset, size_t count) {
    if (!file_.is_open() || offset >= size_) return {};
    count = static_cast<size_t>(std::min<uint64_t>(count, size_ - offset));
    if (offset < window_start_ || offset + count > window_start_ + window_len_) {
        const size_t len = static_cast<size_t>(std::min<uint64_t>(std::max(count, window_size_), size_ - offset));
        if (!Fill(offset, len)) return {};
    }
    return {window_.get() + (offset - window_start_), static_cast<size_t>(window_start_ + window_len_ - offset)};
}

bool ReplayFile::Read(uint64_t offset, void* dst, size_t count) {
    const auto v = View(offset, count);
    if (v.size() != count) return false;
    if (count > 0) std::memcpy(dst, v.data(), count);
    return true;
}
