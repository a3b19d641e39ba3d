// Adler-32 checksum (start value 1, modulus 65521), the scanner's first-block check.
#pragma once
#include <cstddef>
#include <cstdint>

namespace zyr::dup {

// Continues `adler` over `size` bytes; start with 1.
uint32_t Adler32(uint32_t adler, const void* data, size_t size);

}  // namespace zyr::dup
