#include "replay/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

InputFile::~InputFile() { Close(); }

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_), modified_(other.modified_), status_(other.status_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
        modified_ = other.modified_;
        status_ = other.status_;
    }
    return *this;
}

InputFile::Status InputFile::Open(const std::string& path) {
    Close();
    // O_NONBLOCK makes the open of a FIFO without a writer return at once
    // instead of waiting for one; the file type is examined on the open
    // descriptor, so nothing can swap the file between the test and use.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        status_ = errno == ENOENT || errno == ENOTDIR ? Status::kMissing : Status::kUnreadable;
        return status_;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return status_ = Status::kUnreadable;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return status_ = Status::kNotRegular;
    }
    // Regular files ignore the flag, but reads are plain blocking reads.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    size_ = static_cast<uint64_t>(st.st_size);
    modified_ = static_cast<int64_t>(st.st_mtime);
    return status_ = Status::kOpened;
}

void InputFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
    modified_ = 0;
}

bool InputFile::ReadAt(uint64_t offset, void* dst, size_t count) const {
    if (fd_ < 0 || offset > size_ || count > size_ - offset) return false;
    auto* p = static_cast<char*>(dst);
    while (count > 0) {
        const ssize_t n = ::pread(fd_, p, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        offset += static_cast<uint64_t>(n);
        count -= static_cast<size_t>(n);
    }
    return true;
}
