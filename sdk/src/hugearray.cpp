#include "hugearray.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace HugeArray {
namespace {

std::atomic<std::size_t> g_liveBytes{0};

std::size_t RoundToHugePages(std::size_t bytes) {
    return (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
}

// Maps `len` bytes (a multiple of 2 MiB) at a 2 MiB boundary: map 2 MiB more than needed and
// unmap the unaligned head and the tail.
void* MapAligned(std::size_t len) {
    const std::size_t span = len + kHugePageBytes;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto base = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (base + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    const std::size_t head = aligned - base;
    const std::size_t tail = span - head - len;
    if (head) munmap(raw, head);
    if (tail) munmap(reinterpret_cast<void*>(aligned + len), tail);
    void* p = reinterpret_cast<void*>(aligned);
    // Only advice: a kernel without transparent huge pages still gives ordinary pages.
    madvise(p, len, MADV_HUGEPAGE);
    return p;
}

}  // namespace

void* AllocateZeroed(std::size_t bytes) {
    if (bytes == 0) return nullptr;
    void* p =
        bytes >= kHugeArrayThreshold ? MapAligned(RoundToHugePages(bytes)) : std::calloc(1, bytes);
    if (p) g_liveBytes.fetch_add(bytes, std::memory_order_relaxed);
    return p;
}

void Free(void* p, std::size_t bytes) {
    if (!p) return;
    if (bytes >= kHugeArrayThreshold) {
        munmap(p, RoundToHugePages(bytes));
    } else {
        std::free(p);
    }
    g_liveBytes.fetch_sub(bytes, std::memory_order_relaxed);
}

std::size_t LiveBytes() { return g_liveBytes.load(std::memory_order_relaxed); }

}  // namespace HugeArray
