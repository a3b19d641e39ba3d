// MD5 block function and padding, as RFC 1321 gives them.
#include "duplicates/core/md5.h"

#include <cstring>

namespace zyr::dup {
namespace {

inline uint32_t Rotl(uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

inline uint32_t Load32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

#define ZYR_MD5_STEP(f, a, b, c, d, x, t, s) \
    a += f(b, c, d) + (x) + (t);             \
    a = Rotl(a, s) + b;

inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return y ^ (z & (x ^ y)); }
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

}  // namespace

void Md5::Blocks(const uint8_t* data, size_t count) {
    uint32_t a0 = state_[0], b0 = state_[1], c0 = state_[2], d0 = state_[3];
    for (; count > 0; --count, data += 64) {
        uint32_t x[16];
        for (int i = 0; i < 16; ++i) x[i] = Load32(data + 4 * i);
        uint32_t a = a0, b = b0, c = c0, d = d0;

        ZYR_MD5_STEP(F, a, b, c, d, x[0], 0xd76aa478, 7)
        ZYR_MD5_STEP(F, d, a, b, c, x[1], 0xe8c7b756, 12)
        ZYR_MD5_STEP(F, c, d, a, b, x[2], 0x242070db, 17)
        ZYR_MD5_STEP(F, b, c, d, a, x[3], 0xc1bdceee, 22)
        ZYR_MD5_STEP(F, a, b, c, d, x[4], 0xf57c0faf, 7)
        ZYR_MD5_STEP(F, d, a, b, c, x[5], 0x4787c62a, 12)
        ZYR_MD5_STEP(F, c, d, a, b, x[6], 0xa8304613, 17)
        ZYR_MD5_STEP(F, b, c, d, a, x[7], 0xfd469501, 22)
        ZYR_MD5_STEP(F, a, b, c, d, x[8], 0x698098d8, 7)
        ZYR_MD5_STEP(F, d, a, b, c, x[9], 0x8b44f7af, 12)
        ZYR_MD5_STEP(F, c, d, a, b, x[10], 0xffff5bb1, 17)
        ZYR_MD5_STEP(F, b, c, d, a, x[11], 0x895cd7be, 22)
        ZYR_MD5_STEP(F, a, b, c, d, x[12], 0x6b901122, 7)
        ZYR_MD5_STEP(F, d, a, b, c, x[13], 0xfd987193, 12)
        ZYR_MD5_STEP(F, c, d, a, b, x[14], 0xa679438e, 17)
        ZYR_MD5_STEP(F, b, c, d, a, x[15], 0x49b40821, 22)

        ZYR_MD5_STEP(G, a, b, c, d, x[1], 0xf61e2562, 5)
        ZYR_MD5_STEP(G, d, a, b, c, x[6], 0xc040b340, 9)
        ZYR_MD5_STEP(G, c, d, a, b, x[11], 0x265e5a51, 14)
        ZYR_MD5_STEP(G, b, c, d, a, x[0], 0xe9b6c7aa, 20)
        ZYR_MD5_STEP(G, a, b, c, d, x[5], 0xd62f105d, 5)
        ZYR_MD5_STEP(G, d, a, b, c, x[10], 0x02441453, 9)
        ZYR_MD5_STEP(G, c, d, a, b, x[15], 0xd8a1e681, 14)
        ZYR_MD5_STEP(G, b, c, d, a, x[4], 0xe7d3fbc8, 20)
        ZYR_MD5_STEP(G, a, b, c, d, x[9], 0x21e1cde6, 5)
        ZYR_MD5_STEP(G, d, a, b, c, x[14], 0xc33707d6, 9)
        ZYR_MD5_STEP(G, c, d, a, b, x[3], 0xf4d50d87, 14)
        ZYR_MD5_STEP(G, b, c, d, a, x[8], 0x455a14ed, 20)
        ZYR_MD5_STEP(G, a, b, c, d, x[13], 0xa9e3e905, 5)
        ZYR_MD5_STEP(G, d, a, b, c, x[2], 0xfcefa3f8, 9)
        ZYR_MD5_STEP(G, c, d, a, b, x[7], 0x676f02d9, 14)
        ZYR_MD5_STEP(G, b, c, d, a, x[12], 0x8d2a4c8a, 20)

        ZYR_MD5_STEP(H, a, b, c, d, x[5], 0xfffa3942, 4)
        ZYR_MD5_STEP(H, d, a, b, c, x[8], 0x8771f681, 11)
        ZYR_MD5_STEP(H, c, d, a, b, x[11], 0x6d9d6122, 16)
        ZYR_MD5_STEP(H, b, c, d, a, x[14], 0xfde5380c, 23)
        ZYR_MD5_STEP(H, a, b, c, d, x[1], 0xa4beea44, 4)
        ZYR_MD5_STEP(H, d, a, b, c, x[4], 0x4bdecfa9, 11)
        ZYR_MD5_STEP(H, c, d, a, b, x[7], 0xf6bb4b60, 16)
        ZYR_MD5_STEP(H, b, c, d, a, x[10], 0xbebfbc70, 23)
        ZYR_MD5_STEP(H, a, b, c, d, x[13], 0x289b7ec6, 4)
        ZYR_MD5_STEP(H, d, a, b, c, x[0], 0xeaa127fa, 11)
        ZYR_MD5_STEP(H, c, d, a, b, x[3], 0xd4ef3085, 16)
        ZYR_MD5_STEP(H, b, c, d, a, x[6], 0x04881d05, 23)
        ZYR_MD5_STEP(H, a, b, c, d, x[9], 0xd9d4d039, 4)
        ZYR_MD5_STEP(H, d, a, b, c, x[12], 0xe6db99e5, 11)
        ZYR_MD5_STEP(H, c, d, a, b, x[15], 0x1fa27cf8, 16)
        ZYR_MD5_STEP(H, b, c, d, a, x[2], 0xc4ac5665, 23)

        ZYR_MD5_STEP(I, a, b, c, d, x[0], 0xf4292244, 6)
        ZYR_MD5_STEP(I, d, a, b, c, x[7], 0x432aff97, 10)
        ZYR_MD5_STEP(I, c, d, a, b, x[14], 0xab9423a7, 15)
        ZYR_MD5_STEP(I, b, c, d, a, x[5], 0xfc93a039, 21)
        ZYR_MD5_STEP(I, a, b, c, d, x[12], 0x655b59c3, 6)
        ZYR_MD5_STEP(I, d, a, b, c, x[3], 0x8f0ccc92, 10)
        ZYR_MD5_STEP(I, c, d, a, b, x[10], 0xffeff47d, 15)
        ZYR_MD5_STEP(I, b, c, d, a, x[1], 0x85845dd1, 21)
        ZYR_MD5_STEP(I, a, b, c, d, x[8], 0x6fa87e4f, 6)
        ZYR_MD5_STEP(I, d, a, b, c, x[15], 0xfe2ce6e0, 10)
        ZYR_MD5_STEP(I, c, d, a, b, x[6], 0xa3014314, 15)
        ZYR_MD5_STEP(I, b, c, d, a, x[13], 0x4e0811a1, 21)
        ZYR_MD5_STEP(I, a, b, c, d, x[4], 0xf7537e82, 6)
        ZYR_MD5_STEP(I, d, a, b, c, x[11], 0xbd3af235, 10)
        ZYR_MD5_STEP(I, c, d, a, b, x[2], 0x2ad7d2bb, 15)
        ZYR_MD5_STEP(I, b, c, d, a, x[9], 0xeb86d391, 21)

        a0 += a, b0 += b, c0 += c, d0 += d;
    }
    state_[0] = a0, state_[1] = b0, state_[2] = c0, state_[3] = d0;
}

#undef ZYR_MD5_STEP

void Md5::Update(const void* data, size_t size) {
    auto p = static_cast<const uint8_t*>(data);
    size_t used = length_ % 64;
    length_ += size;
    if (used > 0) {
        const size_t take = size < 64 - used ? size : 64 - used;
        std::memcpy(pending_ + used, p, take);
        p += take, size -= take, used += take;
        if (used < 64) return;
        Blocks(pending_, 1);
    }
    Blocks(p, size / 64);
    std::memcpy(pending_, p + (size & ~size_t(63)), size % 64);
}

Md5::Digest Md5::Finish() const {
    Md5 tail = *this;
    const uint64_t bits = length_ * 8;
    static const uint8_t kPad[64] = {0x80};
    const size_t used = length_ % 64;
    tail.Update(kPad, used < 56 ? 56 - used : 120 - used);
    uint8_t lengthBytes[8];
    for (int i = 0; i < 8; ++i) lengthBytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    tail.Update(lengthBytes, 8);
    Digest digest;
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 4; ++k) digest[4 * i + k] = static_cast<uint8_t>(tail.state_[i] >> (8 * k));
    }
    return digest;
}

std::wstring Md5::ToHex(const Digest& digest) {
    static const wchar_t kHex[] = L"0123456789abcdef";
    std::wstring text;
    text.reserve(32);
    for (uint8_t byte : digest) {
        text.push_back(kHex[byte >> 4]);
        text.push_back(kHex[byte & 15]);
    }
    return text;
}

}  // namespace zyr::dup
