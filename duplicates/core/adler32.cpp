// Adler-32 with both sums reduced every 5552 bytes, the longest run that cannot overflow 32 bits.
#include "duplicates/core/adler32.h"

namespace zyr::dup {

uint32_t Adler32(uint32_t adler, const void* data, size_t size) {
    constexpr uint32_t kModulus = 65521;
    constexpr size_t kMaxRun = 5552;
    auto p = static_cast<const uint8_t*>(data);
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
    while (size > 0) {
        size_t run = size < kMaxRun ? size : kMaxRun;
        size -= run;
        while (run--) {
            a += *p++;
            b += a;
        }
        a %= kModulus;
        b %= kModulus;
    }
    return (b << 16) | a;
}

}  // namespace zyr::dup
