#include "settings/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "replay/input_file.h"

namespace fs = std::filesystem;

namespace atomic_file {

namespace {

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

constexpr std::string_view kTemporaryMark = ".ostrevan-";
constexpr size_t kRandomLetters = 6;

}  // namespace

std::string TemporaryPattern(std::string_view name) {
    // Built piece by piece: GCC 12 misreads a chain of string + as an
    // overlapping copy (-Wrestrict).
    std::string pattern = ".";
    pattern += name;
    pattern += kTemporaryMark;
    pattern.append(kRandomLetters, 'X');
    return pattern;
}

bool IsTemporaryOf(std::string_view entry, std::string_view name) {
    const size_t head = 1 + name.size() + kTemporaryMark.size();
    if (entry.size() != head + kRandomLetters || entry[0] != '.' || entry.substr(1, name.size()) != name ||
        entry.substr(1 + name.size(), kTemporaryMark.size()) != kTemporaryMark)
        return false;
    for (char c : entry.substr(head))
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
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

fs::path FollowLinks(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_symlink(path, ec)) return path;
    fs::path target = fs::weakly_canonical(path, ec);
    if (ec) {
        errno = ec.value();
        return {};
    }
    return target;
}

ReadResult Read(const fs::path& path, size_t max_bytes, std::string& out) {
    out.clear();
    InputFile file;
    switch (file.Open(path.string())) {
    case InputFile::Status::kOpened: break;
    case InputFile::Status::kMissing: return ReadResult::kMissing;
    default: return ReadResult::kUnreadable;
    }
    if (file.size() > max_bytes) return ReadResult::kUnreadable;
    out.resize(static_cast<size_t>(file.size()));
    if (!file.ReadAt(0, out.data(), out.size())) {
        out.clear();
        return ReadResult::kUnreadable;
    }
    return ReadResult::kRead;
}

bool Write(const fs::path& path, std::string_view bytes, std::optional<fs::perms> mode, Links links) {
    AtomicFile file;
    return file.Begin(path, mode, links) && file.Append(bytes) && file.Commit();
}

}  // namespace atomic_file

namespace {

constexpr size_t kBufferBytes = 64 * 1024;

}  // namespace

AtomicFile::AtomicFile() = default;

AtomicFile::~AtomicFile() {
    if (!committed_) Discard();
}

bool AtomicFile::Begin(const fs::path& path, std::optional<fs::perms> mode, atomic_file::Links links) {
    Discard();
    failed_ = finished_ = committed_ = false;
    if (path.empty()) {
        errno = ENOENT;
        return Fail();
    }
    target_ = links == atomic_file::Links::kFollow ? atomic_file::FollowLinks(path) : path;
    if (target_.empty()) return Fail();
    // lstat never opens what it looks at, so a FIFO is not waited on; a
    // special file is refused rather than replaced by a regular one.
    struct stat st {};
    bool exists = ::lstat(target_.c_str(), &st) == 0;
    // A link to be replaced is no file of ours: the new one takes the
    // permissions of a new file.
    if (exists && S_ISLNK(st.st_mode) && links == atomic_file::Links::kReplace) {
        exists = false;
    } else if (exists && !S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return Fail();
    }
    if (mode) mode_ = static_cast<uint32_t>(static_cast<mode_t>(*mode) & 07777);
    else mode_ = exists ? (st.st_mode & 07777) : (0666 & ~atomic_file::CurrentUmask());

    std::string pattern = (target_.parent_path() / atomic_file::TemporaryPattern(target_.filename().string())).string();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) return Fail();
    temp_ = pattern;
    if (::fchmod(fd_, static_cast<mode_t>(mode_)) != 0) return Fail();
    buffer_.reserve(kBufferBytes);
    return true;
}

bool AtomicFile::Fail() {
    const int saved = errno;
    Discard();
    failed_ = true;
    errno = saved;
    return false;
}

bool AtomicFile::Append(std::string_view bytes) {
    if (failed_ || fd_ < 0 || finished_) return false;
    if (buffer_.size() + bytes.size() <= kBufferBytes) {
        buffer_.append(bytes);
        return true;
    }
    // Large pieces go straight out: the text is not copied a second time.
    if (!Flush() || !WriteOut(fd_, bytes)) return Fail();
    return true;
}

bool AtomicFile::Flush() {
    if (buffer_.empty()) return true;
    const bool ok = WriteOut(fd_, buffer_);
    buffer_.clear();
    return ok;
}

bool AtomicFile::Finish() {
    if (finished_) return true;
    if (failed_ || fd_ < 0) return false;
    if (!Flush() || ::fsync(fd_) != 0) return Fail();
    const int fd = fd_;
    fd_ = -1;
    // A failing close can carry a delayed write error.
    if (::close(fd) != 0) return Fail();
    finished_ = true;
    return true;
}

bool AtomicFile::Commit(FolderSync folder_sync) {
    if (committed_) return true;
    if (!Finish()) return false;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return Fail();
    temp_.clear();
    committed_ = true;
    if (folder_sync == FolderSync::kNow) atomic_file::SyncFolder(target_.parent_path());
    return true;
}

bool AtomicFile::CommitNew() {
    if (committed_) return true;
    if (!Finish()) return false;
    // renameat2 refuses to replace; where the file system cannot do that,
    // a hard link does the same.
    if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS) return Fail();
        if (::link(temp_.c_str(), target_.c_str()) != 0) return Fail();
        ::unlink(temp_.c_str());
    }
    temp_.clear();
    committed_ = true;
    atomic_file::SyncFolder(target_.parent_path());
    return true;
}

void AtomicFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    buffer_.clear();
    buffer_.shrink_to_fit();
    finished_ = false;
}

bool AtomicFile::WriteOut(int fd, std::string_view bytes) { return atomic_file::WriteAll(fd, bytes); }
