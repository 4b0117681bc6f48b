#include "settings/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace file_times {

namespace {

int64_t Nanoseconds(const struct statx_timestamp& t) { return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; }

std::optional<struct statx> Examine(const std::filesystem::path& file) {
    struct statx st {};
    if (statx(AT_FDCWD, file.c_str(), 0, STATX_BTIME | STATX_MTIME, &st) != 0) return std::nullopt;
    return st;
}

}  // namespace

std::optional<int64_t> CreationTime(const std::filesystem::path& file) {
    const auto st = Examine(file);
    if (!st) return std::nullopt;
    return Nanoseconds((st->stx_mask & STATX_BTIME) ? st->stx_btime : st->stx_mtime);
}

std::optional<int64_t> ModificationTime(const std::filesystem::path& file) {
    const auto st = Examine(file);
    if (!st) return std::nullopt;
    return Nanoseconds(st->stx_mtime);
}

}  // namespace file_times
