// The volume analysis pass: every file from the master file table (or a directory walk) into a
// new VolumeAnalysis handed to the parent.
#include "engine/defrag.h"
#include "engine/jobs.h"
#include "engine/mft_parser.h"
#include "engine/platform_calls.h"

namespace zyr::engine {

namespace {

bool IsDotEntry(const std::wstring& name) { return name == L"." || name == L".."; }

}  // namespace

void WalkForAnalysis(const std::wstring& directory, IDefragParent* parent, VolumeAnalysis& analysis,
                     VolumeContext& context, int64_t& runningTotal, int64_t progressTotal) {
    auto& api = vol::VolumeApi();
    vol::FindData found;
    const vol::Handle find = api.FindFirstFile(directory + L"*", &found);
    if (find == vol::kInvalidHandle) return;
    do {
        if (IsDotEntry(found.fileName) || (found.attributes & win::FILE_ATTRIBUTE_REPARSE_POINT_)) continue;
        auto file = std::make_unique<AnalyzedFile>();
        file->isFile = 1;
        const std::wstring path = directory + found.fileName;
        if (found.attributes & win::FILE_ATTRIBUTE_DIRECTORY_) {
            WalkForAnalysis(path + L"\\", parent, analysis, context, runningTotal, progressTotal);
            file->isFile = 0;
        } else {
            file->fileSize = static_cast<int64_t>(found.fileSize);
        }
        CDefrag().AnalyzeFile(path, context, parent, runningTotal, progressTotal, analysis, std::move(file));
    } while (api.FindNextFile(find, &found) && !(parent && parent->IsStopRequested()));
    api.FindClose(find);
}

VolumeAnalysis* AnalyzeVolume(const std::wstring& drive, IDefragParent* parent) {
    EnableDebugPrivilege();
    std::unique_ptr<VolumeContext> context = OpenVolume(VolumeDevicePath(drive));
    if (!context) return nullptr;
    const std::wstring root = RootDirectory(drive);

    auto analysis = std::make_unique<VolumeAnalysis>();
    if (!analysis->bitmap.Allocate(context->bitmap.BitmapSize())) return nullptr;
    std::copy(context->bitmap.Data(), context->bitmap.Data() + context->bitmap.ByteSize(), analysis->bitmap.Data());
    const ReservedAreas areas = GetReservedAreas(context->ntfsData);
    analysis->mftZoneStart = areas.mftZoneStart;
    analysis->mftZoneEnd = areas.mftZoneEnd;
    analysis->mftStart = areas.mftStart;
    analysis->mftEnd = areas.mftEnd;
    analysis->mirrorStart = areas.mirrorStart;
    analysis->mirrorEnd = areas.mirrorEnd;
    VolumeAnalysis* record = analysis.release();  // the parent owns it from here on
    if (parent) parent->OnProgress(nullptr, 0, kProgressAnalysisCreated, record);

    const int64_t progressTotal = CountUsedClusters(context->bitmap);
    int64_t runningTotal = 0;
    CMFTParser reader(drive);
    if (reader.ReadMftLayout() && reader.ReadFileRecords(parent)) {
        CDefrag defrag;
        for (size_t i = 0; i < reader.GetEntryCount(); ++i) {
            if (parent && parent->IsStopRequested()) break;
            CMFTParser::EntryPath entry = reader.GetEntryPath(i);
            if (entry.path.empty()) continue;
            auto file = std::make_unique<AnalyzedFile>();
            file->isFile = entry.entry.isFile;
            defrag.AnalyzeFile(entry.path, *context, parent, runningTotal, progressTotal, *record, std::move(file));
        }
    } else {
        WalkForAnalysis(root, parent, *record, *context, runningTotal, progressTotal);
    }
    CloseVolume(std::move(context));
    return record;
}

}  // namespace zyr::engine
