#include "settings/hive_cache.h"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

// What stat tells of a file; equal stamps mean the file did not change,
// unless it changed within the file system's time resolution (below).
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

Stamp StampOf(const std::filesystem::path& file) {
    Stamp s;
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return s;
    s.present = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtime_ns = Nanoseconds(st.st_mtim);
    s.ctime_ns = Nanoseconds(st.st_ctim);
    return s;
}

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A file written this close to the moment it was read may be written again
// with the same size and time stamp (coarse file-system clocks, up to the
// two seconds of FAT): such a read is not trusted, and the file is read
// again next time.
constexpr int64_t kTimeResolutionNs = 2'000'000'000;

struct Hive {
    // Each file is read with the root of its own hive: the machine hive's
    // keys stand under HKEY_LOCAL_MACHINE.
    explicit Hive(RegistryHive hive) : store(hive) {}
    RegistryStore store;
    HiveCache::Status status = HiveCache::Status::kOk;
    Stamp stamp;
    bool trusted = false;
};

struct State {
    std::map<std::string, std::unique_ptr<Hive>> hives;  // by file path
    std::set<std::string> barred;
    size_t parses = 0;
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
    const int64_t read_at = NowNs();
    const RegistryStore::LoadResult result = h.store.Load(file);
    if (now.present) ++state.parses;
    h.status = StatusOf(result);
    h.stamp = StampOf(file);
    h.trusted = h.stamp == now && (!now.present || now.mtime_ns + kTimeResolutionNs < read_at);
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
    Hive& h = *found->second;
    if (h.store.Save(file)) {
        h.stamp = StampOf(file);
        // Our own write: the store is what the file holds now, until the
        // time stamp says someone else wrote it.
        h.trusted = true;
        return SaveStatus::kSaved;
    }
    const bool read_only = errno == EROFS;
    state.hives.erase(found);
    return read_only ? SaveStatus::kReadOnly : SaveStatus::kFailed;
}

size_t HiveCache::ParseCount() { return TheState().parses; }

void HiveCache::Reset() {
    State& state = TheState();
    state.hives.clear();
    state.barred.clear();
}
