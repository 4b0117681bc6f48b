#pragma once
// Another process holding an flock on a file (the settings lock, say) until
// the test lets it go: a run of another program, as the user would have it.
// The constructor returns once the lock is held; Release (or the destructor)
// ends the process, which lets the lock go with it.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace fixture {

class LockHolder {
public:
    explicit LockHolder(const std::filesystem::path& lock_file) {
        int held[2];
        if (::pipe(held) != 0 || ::pipe(release_) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(held[0]);
            ::close(release_[1]);
            const int fd = ::open(lock_file.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
            const char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 1 : 0;
            while (::write(held[1], &ok, 1) < 0 && errno == EINTR) {
            }
            char ch = 0;
            // Until the test closes its end.
            while (::read(release_[0], &ch, 1) < 0 && errno == EINTR) {
            }
            ::_exit(0);
        }
        ::close(held[1]);
        ::close(release_[0]);
        char ok = 0;
        while (::read(held[0], &ok, 1) < 0 && errno == EINTR) {
        }
        ::close(held[0]);
        held_ = pid_ > 0 && ok == 1;
    }
    ~LockHolder() { Release(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    // True once the other process holds the lock.
    bool held() const { return held_; }

    // Ends the other process and waits for it: the lock is free afterwards.
    // Safe to call from another thread than the constructor's, once.
    void Release() {
        if (pid_ <= 0) return;
        ::close(release_[1]);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        held_ = false;
    }

private:
    pid_t pid_ = -1;
    int release_[2] = {-1, -1};
    bool held_ = false;
};

}  // namespace fixture
