// The in-memory NTFS image builder.
#include "mft_image.h"

#include <algorithm>
#include <cstring>

namespace zyr::test {

namespace {

template <typename T> void Put(std::vector<uint8_t>& b, size_t offset, T value) {
    std::memcpy(b.data() + offset, &value, sizeof(T));
}

size_t Align8(size_t v) { return (v + 7) & ~size_t{7}; }

// Appends an attribute at position; returns the position after it.
size_t ResidentAttribute(std::vector<uint8_t>& r, size_t position, uint32_t type, const std::vector<uint8_t>& value) {
    const size_t length = Align8(24 + value.size());
    Put<uint32_t>(r, position, type);
    Put<uint32_t>(r, position + 4, static_cast<uint32_t>(length));
    r[position + 8] = 0;
    Put<uint32_t>(r, position + 16, static_cast<uint32_t>(value.size()));
    Put<uint16_t>(r, position + 20, 24);
    std::copy(value.begin(), value.end(), r.begin() + position + 24);
    return position + length;
}

std::vector<uint8_t> FileNameValue(uint32_t parent, const std::wstring& name, uint8_t nameSpace, bool directory) {
    std::vector<uint8_t> v(66 + name.size() * 2, 0);
    Put<uint64_t>(v, 0, uint64_t{parent} | (uint64_t{1} << 48));
    Put<uint64_t>(v, 40, 8192);
    Put<uint64_t>(v, 48, 5000);
    Put<uint32_t>(v, 56, directory ? 0x10000000u : 0x20u);
    v[64] = static_cast<uint8_t>(name.size());
    v[65] = nameSpace;
    for (size_t i = 0; i < name.size(); ++i) Put<uint16_t>(v, 66 + 2 * i, static_cast<uint16_t>(name[i]));
    return v;
}

void Header(std::vector<uint8_t>& r, uint32_t number, uint16_t flags, size_t firstAttribute) {
    std::memcpy(r.data(), "FILE", 4);
    Put<uint16_t>(r, 4, 48);
    Put<uint16_t>(r, 6, static_cast<uint16_t>(r.size() / 512 + 1));
    Put<uint16_t>(r, 20, static_cast<uint16_t>(firstAttribute));
    Put<uint16_t>(r, 22, flags);
    Put<uint32_t>(r, 28, static_cast<uint32_t>(r.size()));
    Put<uint32_t>(r, 44, number);
}

void ProtectStrides(std::vector<uint8_t>& r, bool corruptFirst) {
    const uint16_t usn = 0x0007;
    Put<uint16_t>(r, 48, usn);
    for (size_t k = 1; k <= r.size() / 512; ++k) {
        const size_t last = k * 512 - 2;
        std::memcpy(r.data() + 48 + 2 * k, r.data() + last, 2);
        Put<uint16_t>(r, last, (k == 1 && corruptFirst) ? uint16_t(0x1234) : usn);
    }
}

size_t FirstAttributeOffset(size_t recordSize) { return Align8(48 + 2 * (recordSize / 512 + 1)); }

std::vector<uint8_t> EncodeRuns(const std::vector<std::pair<int64_t, int64_t>>& runs) {
    std::vector<uint8_t> out;
    int64_t previous = 0;
    for (auto [lcn, length] : runs) {
        auto bytesOf = [](int64_t v, bool isSigned) {
            std::vector<uint8_t> b;
            do {
                b.push_back(static_cast<uint8_t>(v & 0xFF));
                v >>= 8;
            } while (isSigned ? !((v == 0 && !(b.back() & 0x80)) || (v == -1 && (b.back() & 0x80))) : v != 0);
            return b;
        };
        const auto len = bytesOf(length, false);
        const auto off = bytesOf(lcn - previous, true);
        out.push_back(static_cast<uint8_t>(len.size() | (off.size() << 4)));
        out.insert(out.end(), len.begin(), len.end());
        out.insert(out.end(), off.begin(), off.end());
        previous = lcn;
    }
    out.push_back(0);
    return out;
}

}  // namespace

std::vector<uint8_t> BuildFileRecord(int recordSize, const SyntheticRecord& record) {
    std::vector<uint8_t> r(static_cast<size_t>(recordSize), 0);
    const size_t first = FirstAttributeOffset(r.size());
    Header(r, record.number, static_cast<uint16_t>((record.inUse ? 1 : 0) | (record.directory ? 2 : 0)), first);
    size_t p = ResidentAttribute(r, first, 0x10, std::vector<uint8_t>(72, 0));
    if (!record.extraName.empty())
        p = ResidentAttribute(r, p, 0x30, FileNameValue(record.parent, record.extraName, 2, record.directory));
    if (!record.name.empty())
        p = ResidentAttribute(r, p, 0x30, FileNameValue(record.parent, record.name, record.nameSpace, record.directory));
    Put<uint32_t>(r, p, 0xFFFFFFFF);
    Put<uint32_t>(r, 24, static_cast<uint32_t>(p + 8));
    ProtectStrides(r, record.corruptFixup);
    return r;
}

std::vector<uint8_t> BuildMftImage(const MftImageLayout& layout, const std::vector<SyntheticRecord>& records) {
    const int64_t clusterSize = int64_t{layout.bytesPerSector} * layout.sectorsPerCluster;
    const int64_t tableBytes = layout.recordCount * layout.recordSize;
    auto runs = layout.mftRuns;
    if (runs.empty()) runs = {{4, (tableBytes + clusterSize - 1) / clusterSize}};
    int64_t end = 0;
    for (auto [lcn, length] : runs) end = std::max(end, (lcn + length) * clusterSize);
    std::vector<uint8_t> device(static_cast<size_t>(end + clusterSize), 0);

    // Boot sector.
    std::memcpy(device.data() + 3, "NTFS    ", 8);
    Put<uint16_t>(device, 0x0B, static_cast<uint16_t>(layout.bytesPerSector));
    device[0x0D] = static_cast<uint8_t>(layout.sectorsPerCluster);
    Put<int64_t>(device, 0x28, static_cast<int64_t>(device.size()) / layout.bytesPerSector - 1);
    Put<int64_t>(device, 0x30, runs[0].first);
    Put<int64_t>(device, 0x38, 2);
    device[0x40] = layout.clustersPerRecordByte;
    Put<uint16_t>(device, 0x1FE, 0xAA55);

    // The table's records, laid out through its runs.
    std::vector<uint8_t> table(static_cast<size_t>(tableBytes), 0);
    {
        std::vector<uint8_t> r(static_cast<size_t>(layout.recordSize), 0);
        const size_t first = FirstAttributeOffset(r.size());
        Header(r, 0, 1, first);
        size_t p = ResidentAttribute(r, first, 0x10, std::vector<uint8_t>(72, 0));
        p = ResidentAttribute(r, p, 0x30, FileNameValue(5, L"$MFT", 3, false));
        const auto mapping = EncodeRuns(runs);
        const size_t length = Align8(64 + mapping.size());
        int64_t clusters = 0;
        for (auto run : runs) clusters += run.second;
        Put<uint32_t>(r, p, 0x80);
        Put<uint32_t>(r, p + 4, static_cast<uint32_t>(length));
        r[p + 8] = 1;
        Put<int64_t>(r, p + 16, 0);
        Put<int64_t>(r, p + 24, clusters - 1);
        Put<uint16_t>(r, p + 32, 64);
        Put<int64_t>(r, p + 40, clusters * clusterSize);
        Put<int64_t>(r, p + 48, tableBytes);
        Put<int64_t>(r, p + 56, tableBytes);
        std::copy(mapping.begin(), mapping.end(), r.begin() + p + 64);
        p += length;
        Put<uint32_t>(r, p, 0xFFFFFFFF);
        ProtectStrides(r, false);
        std::copy(r.begin(), r.end(), table.begin());
    }
    for (const SyntheticRecord& record : records) {
        if (record.number >= layout.recordCount) continue;
        const auto r = BuildFileRecord(layout.recordSize, record);
        std::copy(r.begin(), r.end(), table.begin() + int64_t{record.number} * layout.recordSize);
    }
    int64_t offset = 0;
    for (auto [lcn, length] : runs) {
        const int64_t bytes = std::min(length * clusterSize, tableBytes - offset);
        if (bytes <= 0) break;
        std::copy(table.begin() + offset, table.begin() + offset + bytes, device.begin() + lcn * clusterSize);
        offset += bytes;
    }
    return device;
}

}  // namespace zyr::test
