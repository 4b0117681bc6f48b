#pragma once
// What the benchmarks share: the plain read() of a file that every
// benchmark is measured against, and a count of the heap bytes held (the
// global allocation functions of a benchmark that calls HeapHeld are
// replaced to keep it).

#include <cstddef>
#include <cstdint>
#include <string>

namespace bench {

// Reads the file whole with read() in 1 MB pieces; the bytes read.
int64_t ReadWholeFile(const std::string& path);

// Heap bytes held now, and the most held since the last ResetHeapPeak.
size_t HeapHeld();
size_t HeapPeak();
// Starts a new peak from what is held now; returns that.
size_t ResetHeapPeak();

}  // namespace bench
