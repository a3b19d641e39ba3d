// Mapping-pairs codec, after ntfs-3g's ntfs_mapping_pairs_decompress and _build.
#include "volumes/ntfsimage/run_list.h"

#include <algorithm>

namespace zyr::ntfs {
namespace {

constexpr int64_t kMaxVcn = int64_t(1) << 62;

int64_t ReadSigned(const uint8_t* p, unsigned bytes) {
    uint64_t v = 0;
    for (unsigned i = 0; i < bytes; ++i) v |= uint64_t(p[i]) << (8 * i);
    if (bytes < 8 && (p[bytes - 1] & 0x80)) v |= ~uint64_t(0) << (8 * bytes);
    return int64_t(v);
}

unsigned SignedWidth(int64_t v) {
    unsigned n = 1;
    while (n < 8) {
        const int64_t lo = -(int64_t(1) << (8 * n - 1));
        const int64_t hi = (int64_t(1) << (8 * n - 1)) - 1;
        if (v >= lo && v <= hi) break;
        ++n;
    }
    return n;
}

void AppendSigned(std::vector<uint8_t>& out, int64_t v, unsigned bytes) {
    for (unsigned i = 0; i < bytes; ++i) out.push_back(uint8_t(uint64_t(v) >> (8 * i)));
}

}  // namespace

std::optional<RunList> DecodeRunList(Bytes pairs, int64_t lowestVcn) noexcept {
    if (lowestVcn < 0 || lowestVcn > kMaxVcn) return std::nullopt;
    RunList runs;
    int64_t vcn = lowestVcn;
    int64_t lcn = 0;
    size_t pos = 0;
    for (;;) {
        if (pos >= pairs.size()) return std::nullopt;  // no terminator inside the attribute
        const uint8_t header = pairs[pos];
        if (header == 0) break;
        const unsigned lengthBytes = header & 0x0F;
        const unsigned deltaBytes = header >> 4;
        if (lengthBytes == 0 || lengthBytes > 8 || deltaBytes > 8) return std::nullopt;
        if (pairs.size() - pos - 1 < size_t(lengthBytes) + deltaBytes) return std::nullopt;
        const int64_t length = ReadSigned(&pairs[pos + 1], lengthBytes);
        if (length <= 0 || length > kMaxVcn - vcn) return std::nullopt;
        Run run{vcn, kHoleLcn, length};
        if (deltaBytes) {
            const int64_t delta = ReadSigned(&pairs[pos + 1 + lengthBytes], deltaBytes);
            if ((delta > 0 && lcn > kMaxVcn - delta) || (delta < 0 && lcn + delta < 0)) return std::nullopt;
            lcn += delta;
            if (lcn > kMaxVcn - length) return std::nullopt;
            run.lcn = lcn;
        }
        try {
            runs.push_back(run);
        } catch (...) {
            return std::nullopt;
        }
        vcn += length;
        pos += 1 + lengthBytes + deltaBytes;
    }
    return runs;
}

std::vector<uint8_t> EncodeRunList(const RunList& runs) {
    std::vector<uint8_t> out;
    int64_t previousLcn = 0;
    for (const Run& run : runs) {
        const unsigned lengthBytes = SignedWidth(run.length);
        unsigned deltaBytes = 0;
        int64_t delta = 0;
        if (run.lcn != kHoleLcn) {
            delta = run.lcn - previousLcn;
            deltaBytes = SignedWidth(delta);
            previousLcn = run.lcn;
        }
        out.push_back(uint8_t(lengthBytes | (deltaBytes << 4)));
        AppendSigned(out, run.length, lengthBytes);
        AppendSigned(out, delta, deltaBytes);
    }
    out.push_back(0);
    return out;
}

RunList MergeRuns(const RunList& runs) {
    RunList out;
    for (const Run& run : runs) {
        if (!out.empty()) {
            Run& last = out.back();
            const bool bothHoles = last.lcn == kHoleLcn && run.lcn == kHoleLcn;
            const bool contiguous = last.lcn != kHoleLcn && run.lcn == last.lcn + last.length;
            if (last.vcn + last.length == run.vcn && (bothHoles || contiguous)) {
                last.length += run.length;
                continue;
            }
        }
        out.push_back(run);
    }
    return out;
}

RunList SliceRuns(const RunList& runs, int64_t begin, int64_t end) {
    RunList out;
    for (const Run& run : runs) {
        const int64_t b = std::max(begin, run.vcn);
        const int64_t e = std::min(end, run.vcn + run.length);
        if (b >= e) continue;
        out.push_back({b, run.lcn == kHoleLcn ? kHoleLcn : run.lcn + (b - run.vcn), e - b});
    }
    return out;
}

int64_t AllocatedClusters(const RunList& runs) noexcept {
    int64_t n = 0;
    for (const Run& run : runs)
        if (run.lcn != kHoleLcn) n += run.length;
    return n;
}

}  // namespace zyr::ntfs
