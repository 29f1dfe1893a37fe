#include "kpass/secure_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

void (*kpass_release_hook)(const void* block, std::size_t size) = nullptr;

namespace {

std::atomic<std::size_t> blocks_in_use{0};

std::size_t page_size() {
    static const std::size_t size = [] {
        long page = sysconf(_SC_PAGESIZE);
        return page > 0 ? static_cast<std::size_t>(page) : std::size_t{4096};
    }();
    return size;
}

// Whole pages, so that locking or unlocking one block never touches the
// pages of another.
std::size_t rounded_to_pages(std::size_t size) {
    std::size_t page = page_size();
    if (size == 0) return page;
    if (size > SIZE_MAX - page) throw std::bad_alloc();
    return (size + page - 1) / page * page;
}

}  // namespace

void kpass_wipe(void* data, std::size_t size) noexcept {
    if (data != nullptr && size != 0) explicit_bzero(data, size);
}

void* kpass_secure_allocate(std::size_t size) {
    std::size_t rounded = rounded_to_pages(size);
    void* block = std::aligned_alloc(page_size(), rounded);
    if (block == nullptr) throw std::bad_alloc();
    // Both are best effort: a small RLIMIT_MEMLOCK or a kernel without
    // MADV_DONTDUMP leaves the block usable, only less protected.
    (void)mlock(block, rounded);
#ifdef MADV_DONTDUMP
    (void)madvise(block, rounded, MADV_DONTDUMP);
#endif
    blocks_in_use.fetch_add(1, std::memory_order_relaxed);
    return block;
}

void kpass_secure_release(void* block, std::size_t size) noexcept {
    if (block == nullptr) return;
    kpass_wipe(block, size);
    if (kpass_release_hook != nullptr) kpass_release_hook(block, size);
    std::size_t rounded = size == 0 ? page_size() : (size + page_size() - 1) / page_size() * page_size();
    (void)munlock(block, rounded);
#ifdef MADV_DODUMP
    (void)madvise(block, rounded, MADV_DODUMP);
#endif
    blocks_in_use.fetch_sub(1, std::memory_order_relaxed);
    std::free(block);
}

std::size_t kpass_secure_blocks_in_use() noexcept { return blocks_in_use.load(std::memory_order_relaxed); }
