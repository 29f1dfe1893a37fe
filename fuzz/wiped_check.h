// A release hook for the library's secure blocks that stops the fuzzer when
// a block is released without having been wiped first.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "kpass/secure_memory.h"

inline void fuzz_check_wiped(const void* block, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(block);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            std::fprintf(stderr, "a secure block of %zu bytes was released unwiped (byte %zu)\n", size, i);
            std::abort();
        }
    }
}

inline void fuzz_install_wiped_check() { kpass_release_hook = fuzz_check_wiped; }
