// Bounds-checked little-endian reads over a byte span; a failed read sticks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace zyr::ntfs {

using Bytes = std::span<const uint8_t>;
using MutableBytes = std::span<uint8_t>;

// Every read checks its range; an out-of-range read returns 0 and marks the reader failed,
// so a parser can read a header in one go and test ok() once.
class ByteReader {
public:
    explicit ByteReader(Bytes bytes) noexcept : bytes_(bytes) {}

    bool ok() const noexcept { return ok_; }
    size_t size() const noexcept { return bytes_.size(); }
    Bytes bytes() const noexcept { return bytes_; }

    bool Has(size_t offset, size_t length) const noexcept {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    uint8_t U8(size_t offset) noexcept { return Read<uint8_t>(offset); }
    uint16_t U16(size_t offset) noexcept { return Read<uint16_t>(offset); }
    uint32_t U32(size_t offset) noexcept { return Read<uint32_t>(offset); }
    uint64_t U64(size_t offset) noexcept { return Read<uint64_t>(offset); }
    int64_t I64(size_t offset) noexcept { return static_cast<int64_t>(Read<uint64_t>(offset)); }
    int8_t I8(size_t offset) noexcept { return static_cast<int8_t>(Read<uint8_t>(offset)); }

    // A sub-span, or an empty span (and failure) when out of range.
    Bytes Sub(size_t offset, size_t length) noexcept {
        if (!Has(offset, length)) {
            ok_ = false;
            return {};
        }
        return bytes_.subspan(offset, length);
    }

private:
    template <typename T> T Read(size_t offset) noexcept {
        if (!Has(offset, sizeof(T))) {
            ok_ = false;
            return 0;
        }
        T value = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            value |= static_cast<T>(static_cast<T>(bytes_[offset + i]) << (8 * i));
        return value;
    }

    Bytes bytes_;
    bool ok_ = true;
};

inline void StoreLe16(uint8_t* p, uint16_t v) noexcept {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLe32(uint8_t* p, uint32_t v) noexcept {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void StoreLe64(uint8_t* p, uint64_t v) noexcept {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace zyr::ntfs
