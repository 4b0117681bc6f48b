#include "bench_support.h"

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace bench {

namespace {

std::atomic<size_t> g_held{0};
std::atomic<size_t> g_peak{0};

void* Counted(size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    const size_t held = g_held += malloc_usable_size(p);
    size_t peak = g_peak.load();
    while (held > peak && !g_peak.compare_exchange_weak(peak, held)) {
    }
    return p;
}

void Uncounted(void* p) {
    if (!p) return;
    g_held -= malloc_usable_size(p);
    std::free(p);
}

}  // namespace

int64_t ReadWholeFile(const std::string& path) {
    static thread_local std::vector<char> buffer(1 << 20);
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    int64_t bytes = 0;
    ssize_t n;
    while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) bytes += n;
    ::close(fd);
    return bytes;
}

size_t HeapHeld() { return g_held.load(); }
size_t HeapPeak() { return g_peak.load(); }

size_t ResetHeapPeak() {
    const size_t now = g_held.load();
    g_peak.store(now);
    return now;
}

}  // namespace bench

void* operator new(size_t size) { return bench::Counted(size); }
void* operator new[](size_t size) { return bench::Counted(size); }
void operator delete(void* p) noexcept { bench::Uncounted(p); }
void operator delete[](void* p) noexcept { bench::Uncounted(p); }
void operator delete(void* p, size_t) noexcept { bench::Uncounted(p); }
void operator delete[](void* p, size_t) noexcept { bench::Uncounted(p); }
