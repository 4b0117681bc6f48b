#include "settings/hive_cache.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "settings/atomic_file.h"

namespace {

// What stat tells of a file; equal stamps mean the file did not change.
struct Stamp {
    bool present = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    int64_t mtime_ns = 0;
    int64_t ctime_ns = 0;
    bool operator==(const Stamp&) const = default;
};

int64_t Nanoseconds(const timespec& t) { return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; }

Stamp StampOf(const struct stat& st) {
    Stamp s;
    s.present = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime_ns = Nanoseconds(st.st_mtim);
    s.ctime_ns = Nanoseconds(st.st_ctim);
    return s;
}

Stamp StampOf(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return {};
    return StampOf(st);
}

// A descriptor closed with its owner.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            Close();
            fd_ = other.fd_;
            other.fd_ = -1;
        }
        return *this;
    }
    int get() const { return fd_; }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

// Opens the file that now stands at the path, to be held while its store
// is cached; its stamp comes from the open file itself. An empty stamp when
// it cannot be opened (the caller then knows the file by its stamp alone).
Stamp Hold(const std::filesystem::path& file, Descriptor& held) {
    held = Descriptor(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (held.get() < 0 || ::fstat(held.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        held.Close();
        return {};
    }
    return StampOf(st);
}

constexpr std::chrono::milliseconds kDefaultLockWait{10'000};

struct Hive {
    // Each file is read with the root of its own hive: the machine hive's
    // keys stand under HKEY_LOCAL_MACHINE.
    explicit Hive(RegistryHive hive) : store(hive) {}
    RegistryStore store;
    HiveCache::Status status = HiveCache::Status::kOk;
    Stamp stamp;
    bool trusted = false;
    // The file the store was read from (or written to), held open: while
    // it is, no other file on its file system can take its inode number.
    Descriptor held;
};

// A hive lock this process holds, with the Lock objects that share it.
struct HeldLock {
    Descriptor fd;
    int users = 0;
};

struct State {
    std::map<std::string, std::unique_ptr<Hive>> hives;  // by file path
    std::set<std::string> barred;
    std::map<std::string, HeldLock> locks;  // by lock file path
    bool write_nothing = false;
    std::chrono::milliseconds lock_wait = kDefaultLockWait;
    size_t parses = 0;
    // Read by tests while a save waits on another thread.
    std::atomic<size_t> lock_waits = 0;
};

State& TheState() {
    static State state;
    return state;
}

HiveCache::Status StatusOf(RegistryStore::LoadResult result) {
    switch (result) {
    case RegistryStore::LoadResult::kUnreadable: return HiveCache::Status::kUnreadable;
    case RegistryStore::LoadResult::kDamaged: return HiveCache::Status::kDamaged;
    case RegistryStore::LoadResult::kLoaded:
    case RegistryStore::LoadResult::kMissing: break;
    }
    return HiveCache::Status::kOk;
}

// The lock file of a hive file: beside the file its link leads to, when it
// is one, so that runs reaching one file through different links (two
// configuration folders linked to one file of the user's) lock each other
// out. Empty when the link cannot be resolved.
std::filesystem::path LockFileOf(const std::filesystem::path& file) {
    std::filesystem::path lock_file = atomic_file::FollowLinks(file);
    if (!lock_file.empty()) lock_file += ".lock";
    return lock_file;
}

// Takes the lock of the hive file, waiting at most wait for another run
// to let it go.
HiveCache::LockStatus TakeLock(const std::filesystem::path& file, const std::filesystem::path& lock_file,
                               std::chrono::milliseconds wait, Descriptor& fd) {
    using Clock = std::chrono::steady_clock;
    if (!RegistryStore::MakeFolder(file) || lock_file.empty()) return HiveCache::LockStatus::kFailed;
    fd = Descriptor(::open(lock_file.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return HiveCache::LockStatus::kFailed;
    const Clock::time_point deadline = Clock::now() + wait;
    Clock::duration pause = std::chrono::milliseconds(1);
    bool waited = false;
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        // A file system without locks (some network and FUSE ones) cannot
        // keep runs apart; saving as before beats never saving.
        if (errno == ENOLCK || errno == EOPNOTSUPP) return HiveCache::LockStatus::kHeld;
        if (errno != EWOULDBLOCK) return HiveCache::LockStatus::kFailed;
        if (!waited) ++TheState().lock_waits;
        waited = true;
        const Clock::duration left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) return HiveCache::LockStatus::kBusy;
        std::this_thread::sleep_for(std::min(pause, left));
        pause = std::min<Clock::duration>(pause * 2, std::chrono::milliseconds(50));
    }
    return HiveCache::LockStatus::kHeld;
}

}  // namespace

RegistryStore& HiveCache::Get(RegistryHive hive, Status& status) {
    State& state = TheState();
    const std::filesystem::path file = RegistryStore::FileOf(hive);
    const std::string key = file.string();
    auto& slot = state.hives[key];
    const Stamp now = StampOf(file);
    if (slot && slot->trusted && slot->stamp == now) {
        status = slot->status;
        return slot->store;
    }
    const bool first = !slot;
    if (!slot) slot = std::make_unique<Hive>(hive);
    Hive& h = *slot;
    const RegistryStore::LoadResult result = h.store.Load(file);
    if (now.present) ++state.parses;
    h.status = StatusOf(result);
    // The store holds the file now held open when nothing about it changed
    // while it was read; one that cannot be opened again is known by its
    // stamp alone.
    const bool read = result == RegistryStore::LoadResult::kLoaded || result == RegistryStore::LoadResult::kDamaged;
    h.stamp = read ? Hold(file, h.held) : Stamp{};
    if (!h.stamp.present) {
        h.held.Close();
        h.stamp = StampOf(file);
    }
    h.trusted = h.stamp == now;
    if (first && h.status != Status::kOk) state.barred.insert(key);
    status = h.status;
    return h.store;
}

HiveCache::SaveStatus HiveCache::Save(RegistryHive hive) {
    State& state = TheState();
    const std::filesystem::path file = RegistryStore::FileOf(hive);
    const std::string key = file.string();
    auto found = state.hives.find(key);
    if (found == state.hives.end()) return SaveStatus::kFailed;
    if (state.barred.count(key)) {
        state.hives.erase(found);
        return SaveStatus::kBarred;
    }
    if (state.write_nothing) {
        state.hives.erase(found);
        return SaveStatus::kReadOnly;
    }
    // Without the lock another run's save could fall between the read and
    // this one, and be lost.
    if (!state.locks.count(LockFileOf(file).string())) {
        state.hives.erase(found);
        return SaveStatus::kFailed;
    }
    Hive& h = *found->second;
    if (h.store.Save(file)) {
        // Our own write, under the lock: the store is what the file holds.
        h.stamp = Hold(file, h.held);
        h.trusted = h.stamp.present;
        return SaveStatus::kSaved;
    }
    const bool read_only = errno == EROFS;
    state.hives.erase(found);
    return read_only ? SaveStatus::kReadOnly : SaveStatus::kFailed;
}

void HiveCache::Forget(RegistryHive hive) { TheState().hives.erase(RegistryStore::FileOf(hive).string()); }

HiveCache::Lock::Lock(RegistryHive hive) {
    State& state = TheState();
    const std::filesystem::path file = RegistryStore::FileOf(hive);
    if (file.empty()) return;
    const std::string key = file.string();
    // What no save may change is refused before the folder is touched.
    if (state.barred.count(key)) {
        status_ = LockStatus::kBarred;
        return;
    }
    if (state.write_nothing || RegistryStore::IsReadOnly(file)) {
        status_ = LockStatus::kReadOnly;
        return;
    }
    const std::string lock_key = LockFileOf(file).string();
    auto found = state.locks.find(lock_key);
    if (found == state.locks.end()) {
        Descriptor fd;
        status_ = TakeLock(file, lock_key, state.lock_wait, fd);
        if (status_ != LockStatus::kHeld) return;
        found = state.locks.try_emplace(lock_key).first;
        found->second.fd = std::move(fd);
    }
    ++found->second.users;
    key_ = lock_key;
    status_ = LockStatus::kHeld;
}

HiveCache::Lock::~Lock() {
    if (status_ != LockStatus::kHeld) return;
    auto& locks = TheState().locks;
    const auto found = locks.find(key_);
    // Closing the lock file lets the lock go.
    if (found != locks.end() && --found->second.users == 0) locks.erase(found);
}

void HiveCache::WriteNothing() { TheState().write_nothing = true; }

void HiveCache::SetLockWait(std::chrono::milliseconds wait) { TheState().lock_wait = wait; }

size_t HiveCache::ParseCount() { return TheState().parses; }

size_t HiveCache::LockWaitCount() { return TheState().lock_waits; }

void HiveCache::Reset() {
    State& state = TheState();
    state.hives.clear();
    state.barred.clear();
    state.locks.clear();
    state.write_nothing = false;
    state.lock_wait = kDefaultLockWait;
}
