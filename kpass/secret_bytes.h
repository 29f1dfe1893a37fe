// Copies, lengths and compares of secrets (a typed password, keys, the
// clipboard's handover) that leave no copy of them in a register nothing
// clears. The C library's string functions load their bytes into vector
// registers (xmm, ymm, and on processors with AVX-512 ymm16 to ymm31, which
// vzeroupper leaves as they are), and whatever sits there reaches memory at
// the next signal frame, lazy binding of a symbol or context switch that
// saves the registers: a copy outside the secure blocks.
//
// These use general registers only, one byte at a time through volatile
// accesses, so that the compiler can neither widen them into vector loads
// nor turn them back into calls of memcpy, strlen or memcmp. No register
// ever holds more than one byte of the secret. They are meant for the small
// secrets above, not for bulk data.
#pragma once

#include <cstddef>

// Copies size bytes from `from` to `to`; the two may overlap (as memmove).
void kpass_copy_secret(void* to, const void* from, std::size_t size) noexcept;

// The number of bytes before the NUL that ends text (as strlen).
std::size_t kpass_secret_length(const char* text) noexcept;

// Whether the size bytes at a and b are the same. It reads every byte of
// both whatever they hold, so that its time does not tell where they
// differ (for MACs and keys).
bool kpass_secrets_equal(const void* a, const void* b, std::size_t size) noexcept;

// Sets every vector register to zero: xmm0 to xmm15 (all of ymm and zmm 0
// to 15 where the processor has them), and zmm16 to zmm31 where the
// processor and the system use AVX-512 (checked at run time, once: those
// instructions fault elsewhere). For after the code of others that runs
// over secrets in vector registers (the hashes and ciphers), whose
// registers only a clear gets back. Does nothing on other processors.
void kpass_clear_vector_registers() noexcept;
