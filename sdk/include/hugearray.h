// Raw storage for the large element arrays of meshes (vertices, faces, map vertices and faces).
//
// Meshes of tens of millions of vertices are sized once and then filled by index, so the cost
// that matters is the first touch of fresh memory: a 4 KiB page fault for every 4 KiB. Blocks of
// at least kHugeArrayThreshold bytes are therefore mapped directly, aligned to 2 MiB and advised
// as transparent huge pages, so the kernel backs them with 2 MiB pages (one fault per 2 MiB).
// Smaller blocks come from the C heap.
//
// Every block is zero-filled when handed out (fresh anonymous mappings already are, so large
// blocks cost nothing extra). Elements are raw: no constructor runs, which is why only trivially
// copyable types are allowed.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>

namespace HugeArray {

inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;
// Blocks of this size and above are 2 MiB-aligned mappings advised for huge pages.
inline constexpr std::size_t kHugeArrayThreshold = kHugePageBytes;

// A zero-filled block of `bytes` bytes, or nullptr when bytes is 0 or the memory is not there.
void* AllocateZeroed(std::size_t bytes);
// Releases a block from AllocateZeroed; `bytes` must be the size it was allocated with.
void Free(void* p, std::size_t bytes);
// Bytes currently held in blocks from AllocateZeroed (as requested, before rounding). For leak
// checks and statistics.
std::size_t LiveBytes();

// Resizes the array p of capacity `cap` elements, whose first `used` elements are in use, so
// that it holds `count` elements. Entries that become newly in use are zero.
//  - count 0 frees the array.
//  - keep: the first min(used, count) entries are kept. A count within the capacity never
//    reallocates (so shrinking keeps the block); growing past it reallocates to
//    max(count, 1.5 x capacity) so that repeated appends stay linear overall.
//  - no keep: the block is reused (and cleared) when count lies between a quarter of the
//    capacity and the capacity; otherwise a block of exactly count elements replaces it.
// Returns false, leaving p and cap as they were, when count is negative or memory runs out.
template <class T>
bool ResizeArray(T*& p, std::size_t& cap, std::size_t used, long long count, bool keep) {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "HugeArray elements are raw memory");
    static_assert(alignof(T) <= alignof(std::max_align_t));
    if (count < 0) return false;
    const std::size_t n = static_cast<std::size_t>(count);
    if (used > cap) used = cap;
    if (n == 0) {
        Free(p, cap * sizeof(T));
        p = nullptr;
        cap = 0;
        return true;
    }
    if (keep) {
        if (p && n <= cap) {
            if (n > used) std::memset(static_cast<void*>(p + used), 0, (n - used) * sizeof(T));
            return true;
        }
        std::size_t newCap = cap + cap / 2;
        if (newCap < n) newCap = n;
        T* q = static_cast<T*>(AllocateZeroed(newCap * sizeof(T)));
        if (!q && newCap > n) {  // the headroom may be what does not fit
            newCap = n;
            q = static_cast<T*>(AllocateZeroed(newCap * sizeof(T)));
        }
        if (!q) return false;
        if (p && used) std::memcpy(static_cast<void*>(q), p, used * sizeof(T));
        Free(p, cap * sizeof(T));
        p = q;
        cap = newCap;
        return true;
    }
    if (p && n <= cap && n >= cap / 4) {
        std::memset(static_cast<void*>(p), 0, n * sizeof(T));
        return true;
    }
    T* q = static_cast<T*>(AllocateZeroed(n * sizeof(T)));
    if (!q) return false;
    Free(p, cap * sizeof(T));
    p = q;
    cap = n;
    return true;
}

// A copy of the first `count` elements of src in a block of exactly that size (nullptr for 0).
// Returns false when memory runs out.
template <class T>
bool CopyArray(T*& dst, std::size_t& dstCap, const T* src, std::size_t count) {
    dst = nullptr;
    dstCap = 0;
    if (count == 0) return true;
    T* q = static_cast<T*>(AllocateZeroed(count * sizeof(T)));
    if (!q) return false;
    std::memcpy(static_cast<void*>(q), src, count * sizeof(T));
    dst = q;
    dstCap = count;
    return true;
}

}  // namespace HugeArray
