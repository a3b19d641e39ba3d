// Index root and INDX block parsing with every entry checked against its node.
#include "volumes/ntfsimage/index_node.h"

#include "volumes/ntfsimage/ntfs_layout.h"

#include <cstring>

namespace zyr::ntfs {

std::optional<std::vector<IndexEntry>> ParseIndexNode(Bytes container, size_t headerOffset) noexcept {
    try {
        ByteReader r(container);
        const uint32_t entriesOffset = r.U32(headerOffset + index::kHeaderEntriesOffset);
        const uint32_t indexLength = r.U32(headerOffset + index::kHeaderIndexLength);
        if (!r.ok() || entriesOffset < 16 || entriesOffset > indexLength || !r.Has(headerOffset, indexLength))
            return std::nullopt;
        ByteReader node(container.subspan(headerOffset, indexLength));
        std::vector<IndexEntry> entries;
        size_t pos = entriesOffset;
        for (;;) {
            const uint16_t length = node.U16(pos + index::kEntryLength);
            const uint16_t keyLength = node.U16(pos + index::kEntryKeyLength);
            const uint16_t flags = node.U16(pos + index::kEntryFlags);
            if (!node.ok() || length < 16 || (length & 7) || !node.Has(pos, length)) return std::nullopt;
            IndexEntry e;
            e.reference = node.U64(pos + index::kEntryRef);
            e.hasChild = flags & index::kEntryHasChild;
            e.last = flags & index::kEntryLast;
            if (e.hasChild) {
                if (length < 24 + (e.last ? 0u : keyLength)) return std::nullopt;
                e.childVcn = node.I64(pos + length - 8);
                if (e.childVcn < 0) return std::nullopt;
            }
            if (!e.last) {
                if (size_t(index::kEntryKey) + keyLength > length) return std::nullopt;
                auto key = ParseFileName(node.Sub(pos + index::kEntryKey, keyLength));
                if (!key) return std::nullopt;
                e.key = std::move(*key);
            }
            entries.push_back(std::move(e));
            if (entries.back().last) break;
            pos += length;
        }
        return entries;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<IndexRootInfo> ParseIndexRoot(Bytes value) noexcept {
    ByteReader r(value);
    IndexRootInfo info;
    info.blockSize = r.U32(index::kRootBlockSize);
    if (!r.ok() || info.blockSize < 512 || info.blockSize > 65536 || (info.blockSize & (info.blockSize - 1)))
        return std::nullopt;
    auto entries = ParseIndexNode(value, index::kRootHeader);
    if (!entries) return std::nullopt;
    info.entries = std::move(*entries);
    return info;
}

std::optional<std::vector<IndexEntry>> ParseIndexBlock(Bytes block, int64_t expectedVcn) noexcept {
    ByteReader r(block);
    if (!r.Has(0, index::kBlockHeader + 16) || std::memcmp(block.data(), "INDX", 4) != 0) return std::nullopt;
    if (r.I64(index::kBlockVcn) != expectedVcn) return std::nullopt;
    return ParseIndexNode(block, index::kBlockHeader);
}

}  // namespace zyr::ntfs
