// MD5 message digest (RFC 1321), incremental; the context is a plain value and may be copied.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zyr::dup {

class Md5 {
public:
    using Digest = std::array<uint8_t, 16>;

    void Update(const void* data, size_t size);
    Digest Finish() const;  // the digest of everything fed so far; the context stays usable

    // 32 lowercase hexadecimal digits, in digest order.
    static std::wstring ToHex(const Digest& digest);

private:
    void Blocks(const uint8_t* data, size_t count);

    uint32_t state_[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    uint64_t length_ = 0;  // bytes fed
    uint8_t pending_[64] = {};
};

}  // namespace zyr::dup
