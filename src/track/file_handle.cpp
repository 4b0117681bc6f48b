#include "track/file_handle.h"

namespace {

bool SeekTo(std::FILE* f, uint64_t offset, int whence) {
#if defined(_WIN32)
    return _fseeki64(f, static_cast<long long>(offset), whence) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), whence) == 0;
#endif
}

}  // namespace

FileHandle::FileHandle(const std::string& path, const char* mode) : file_(std::fopen(path.c_str(), mode)) {}

FileHandle::~FileHandle() { Close(); }

int FileHandle::Close() {
    if (!file_) return 0;
    const int result = std::fclose(file_);
    file_ = nullptr;
    return result;
}

bool FileHandle::Size(uint64_t& size) {
    if (!file_ || !SeekTo(file_, 0, SEEK_END)) return false;
#if defined(_WIN32)
    const long long end = _ftelli64(file_);
#else
    const off_t end = ftello(file_);
#endif
    if (end < 0 || !SeekTo(file_, 0, SEEK_SET)) return false;
    size = static_cast<uint64_t>(end);
    return true;
}

bool FileHandle::ReadAt(uint64_t offset, uint64_t count, std::vector<uint8_t>& out) {
    out.clear();
    uint64_t size = 0;
    // The size is taken afresh so that the buffer is never larger than what
    // the file holds, whatever a damaged count asks for.
    if (!Size(size) || offset > size || count > size - offset) return false;
    if (!SeekTo(file_, offset, SEEK_SET)) return false;
    out.resize(static_cast<size_t>(count));
    if (count > 0 && std::fread(out.data(), 1, out.size(), file_) != out.size()) {
        out.clear();
        return false;
    }
    return true;
}
