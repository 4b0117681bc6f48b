#include "settings/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace atomic_file {

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now so that a failing close (a delayed write error) is seen.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

mode_t CurrentUmask() {
    // The only way to learn the umask is to set it; the program has a single
    // thread that touches files, so the short change is not observed.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

void SyncFolder(const fs::path& folder) {
    // Makes the rename itself durable; a folder that cannot be opened for
    // this still holds the renamed file, so failure here is not an error.
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

ReadResult Read(const fs::path& path, size_t max_bytes, std::string& out) {
    out.clear();
    // Non-blocking, so a FIFO put where a file belongs cannot hang the program;
    // it is refused below as not a regular file.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::kMissing : ReadResult::kUnreadable;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return ReadResult::kUnreadable;
    if (static_cast<unsigned long long>(st.st_size) > max_bytes) return ReadResult::kUnreadable;
    // The size is only a hint: the file may change while it is read, so the
    // loop reads to the end and still refuses to grow past max_bytes.
    std::vector<char> chunk(64 * 1024);
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk.data(), chunk.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            out.clear();
            return ReadResult::kUnreadable;
        }
        if (n == 0) break;
        if (out.size() + static_cast<size_t>(n) > max_bytes) {
            out.clear();
            return ReadResult::kUnreadable;
        }
        out.append(chunk.data(), static_cast<size_t>(n));
    }
    return ReadResult::kRead;
}

bool Write(const fs::path& path, std::string_view bytes, std::optional<fs::perms> mode) {
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(target, ec)) {
        target = fs::weakly_canonical(target, ec);
        if (ec) return false;
    }
    mode_t new_mode = 0;
    if (mode) {
        new_mode = static_cast<mode_t>(*mode) & 07777;
    } else {
        struct stat st {};
        if (::stat(target.c_str(), &st) == 0) new_mode = st.st_mode & 07777;
        else new_mode = 0666 & ~CurrentUmask();
    }

    const fs::path folder = target.parent_path();
    std::string temp_name = ".";
    temp_name += target.filename().string();
    temp_name += ".XXXXXX";
    std::string pattern = (folder / temp_name).string();
    Fd fd(::mkstemp(pattern.data()));
    if (fd.get() < 0) return false;
    const fs::path temp = pattern;
    const bool written = ::fchmod(fd.get(), new_mode) == 0 && WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (!fd.Close() || !written || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

}  // namespace atomic_file
