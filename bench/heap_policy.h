// How the benchmarks that build and free large models treat the heap.
//
// With glibc's defaults a freed model of many megabytes goes back to the
// kernel, so each repetition faults in fresh pages (costly on a virtual
// machine) while a peer that keeps its heap, as a Python process does, reads
// from memory it already holds. By default the thresholds are fixed so that
// freed memory is kept and reused ("heap kept"); PLU_BENCH_FRESH_HEAP=1
// keeps glibc's defaults and hands everything back between repetitions
// ("fresh heap": what the first open in a freshly started program pays).
#pragma once

#include <malloc.h>

#include <cstddef>
#include <cstdlib>

namespace plu::bench {

inline const bool kHeapKept = [] {
    if (std::getenv("PLU_BENCH_FRESH_HEAP")) return false;
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return true;
}();

// Between repetitions: a fresh heap gives back all it can.
inline void ReleaseFreedHeap() {
    if (!kHeapKept) malloc_trim(0);
}

inline const char* HeapLabel() { return kHeapKept ? "heap kept" : "fresh heap"; }

// Bytes the heap hands out now (arena and mmapped blocks).
inline std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace plu::bench
