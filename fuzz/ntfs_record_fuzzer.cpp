// Fuzzes the NTFS structure parsers: file records (with fixups) and their summaries, run lists,
// attribute lists, index nodes, file names and the boot sector. Run lists must also survive
// re-encoding.
#include "volumes/ntfsimage/boot_sector.h"
#include "volumes/ntfsimage/file_record.h"
#include "volumes/ntfsimage/fixup.h"
#include "volumes/ntfsimage/index_node.h"
#include "volumes/ntfsimage/record_summary.h"
#include "volumes/ntfsimage/run_list.h"

#include <cstdlib>
#include <vector>

using namespace zyr::ntfs;

namespace {

void CheckRunList(Bytes bytes, int64_t lowestVcn) {
    auto runs = DecodeRunList(bytes, lowestVcn);
    if (!runs) return;
    // Whatever decodes must encode back to the same runs.
    auto again = DecodeRunList(EncodeRunList(*runs), lowestVcn);
    if (!again || *again != *runs) std::abort();
    AllocatedClusters(*runs);
    if (!runs->empty()) SliceRuns(MergeRuns(*runs), runs->front().vcn + 1, runs->back().vcn + runs->back().length - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Bytes input(data, size);
    CheckRunList(input, 0);
    ParseAttributeList(input);
    ParseFileName(input);
    ParseBootSector(input);
    ParseIndexRoot(input);
    ParseIndexNode(input, 0);

    if (size >= 512) {
        std::vector<uint8_t> record(data, data + size / 512 * 512);
        if (ApplyFixups(record) == FixupResult::kOk) {
            std::vector<uint8_t> copy = record;
            if (ProtectFixups(copy) && ApplyFixups(copy) != FixupResult::kOk) std::abort();
        }
        if (auto rec = ParseFileRecord(record)) {
            for (const AttributeView& a : rec->attributes) {
                if (a.nonResident) {
                    if (a.offset + a.length > record.size()) std::abort();
                    CheckRunList(Bytes(record).subspan(a.offset + a.mappingPairsOffset, a.length - a.mappingPairsOffset), a.lowestVcn);
                } else {
                    const Bytes value = ResidentValue(record, a);
                    if (value.size() != a.valueLength) std::abort();
                    if (a.type == 0x20) ParseAttributeList(value);
                    if (a.type == 0x30) ParseFileName(value);
                    if (a.type == 0x90) ParseIndexRoot(value);
                }
            }
        }
        ParseIndexBlock(record, 0);
        // A summary is simple only for a record that parses, and its runs stay inside the volume.
        Geometry g;
        g.bytesPerCluster = 4096;
        g.totalClusters = 1 << 20;
        RunList store;
        const RecordSummary summary = SummariseRecord(record, g, &store);
        if (summary.state == RecordSummary::State::kSimple) {
            if (!ParseFileRecord(record) || summary.runCount != store.size()) std::abort();
            for (const Run& r : store)
                if (r.length <= 0 || (r.lcn != kHoleLcn && r.lcn + r.length > g.totalClusters)) std::abort();
        }
    }
    return 0;
}
