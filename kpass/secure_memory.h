// Memory for secrets (keys, decrypted contents, the unlocked records): every
// block is wiped before it goes back to the system, kept out of swap where the
// system allows it (failure to lock is ignored), and left out of core dumps.
// Containers over secure_allocator get this on every path through RAII.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

// A block of at least size bytes, page aligned; throws std::bad_alloc.
void* kpass_secure_allocate(std::size_t size);

// Wipes size bytes of the block, then releases it. Null is ignored.
void kpass_secure_release(void* block, std::size_t size) noexcept;

// Overwrites size bytes with zeros in a way the compiler keeps.
void kpass_wipe(void* data, std::size_t size) noexcept;

// Blocks handed out and not yet released (for leak checks in tests).
std::size_t kpass_secure_blocks_in_use() noexcept;

// Test hook: when set, called with every block after it was wiped and just
// before it is released, so that a test can check it reads as zeros.
extern void (*kpass_release_hook)(const void* block, std::size_t size);

template <class T>
struct secure_allocator {
    using value_type = T;

    secure_allocator() noexcept = default;
    template <class U>
    secure_allocator(const secure_allocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(kpass_secure_allocate(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept { kpass_secure_release(block, count * sizeof(T)); }

    // resize(n) leaves plain bytes and records as they are, since their
    // users write every one (this saves a pass over large buffers); an
    // explicit value is still copied in.
    template <class U>
    void construct(U* at) noexcept(noexcept(U())) {
        ::new (static_cast<void*>(at)) U;
    }
    template <class U, class... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }

    template <class U>
    bool operator==(const secure_allocator<U>&) const noexcept {
        return true;
    }
};

template <class T>
using secure_vector = std::vector<T, secure_allocator<T>>;

// A value (a key, a cipher context) that is wiped when it goes out of scope.
template <class T>
struct wiped {
    T value{};

    wiped() = default;
    wiped(const wiped&) = delete;
    wiped& operator=(const wiped&) = delete;
    ~wiped() { kpass_wipe(&value, sizeof value); }
};
