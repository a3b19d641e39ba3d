// The defragmentation job: every fragmented file of the analysis (or, without one, every listed
// file) moved into one free stretch.
#include "engine/defrag.h"
#include "engine/jobs.h"
#include "engine/mft_parser.h"
#include "engine/platform_calls.h"

namespace zyr::engine {

void WalkForDefrag(const std::wstring& directory, IDefragParent* parent, VolumeContext& context,
                   int64_t& runningTotal, int64_t progressTotal, bool& result) {
    auto& api = vol::VolumeApi();
    vol::FindData found;
    const vol::Handle find = api.FindFirstFile(directory + L"*", &found);
    if (find == vol::kInvalidHandle) return;
    do {
        if (found.fileName == L"." || found.fileName == L".." ||
            (found.attributes & win::FILE_ATTRIBUTE_REPARSE_POINT_))
            continue;
        const std::wstring path = directory + found.fileName;
        const bool isDirectory = (found.attributes & win::FILE_ATTRIBUTE_DIRECTORY_) != 0;
        if (isDirectory) WalkForDefrag(path + L"\\", parent, context, runningTotal, progressTotal, result);
        const int moved = CDefrag().DefragFile(path, !isDirectory, context, parent, runningTotal, progressTotal);
        result = moved && result;
    } while (api.FindNextFile(find, &found) && !(parent && parent->IsStopRequested()));
    api.FindClose(find);
}

int RunDefragJob(std::unique_ptr<DefragJobArgs> args) noexcept {
    if (!args) return -1;
    IDefragParent* parent = args->parent;
    try {
        EnableDebugPrivilege();
        parent->OnJobStarted(0);
        std::unique_ptr<VolumeContext> context = OpenVolume(VolumeDevicePath(args->drive));
        if (!context) {
            parent->OnJobFinished(kJobNoVolume);
            return 0;
        }
        int64_t progressTotal = CountUsedClusters(context->bitmap);
        int64_t runningTotal = 0;
        bool result = true;
        const std::wstring root = RootDirectory(args->drive);
        CMFTParser reader(args->drive);
        CDefrag defrag;
        if (VolumeAnalysis* analysis = args->analysis) {
            progressTotal = analysis->fragmentedClusters;
            for (const auto& [path, file] : analysis->files) {
                if (parent->IsStopRequested()) break;
                if (file->fragmented != 1) continue;
                const int moved =
                    defrag.DefragFile(path, file->isFile != 0, *context, parent, runningTotal, progressTotal);
                result = result && moved;
            }
        } else if (reader.ReadMftLayout() && reader.ReadFileRecords(parent)) {
            for (size_t i = 0; i < reader.GetEntryCount(); ++i) {
                if (parent->IsStopRequested()) break;
                CMFTParser::EntryPath entry = reader.GetEntryPath(i);
                if (entry.path.empty()) continue;
                const int moved =
                    defrag.DefragFile(entry.path, entry.entry.isFile != 0, *context, parent, runningTotal, progressTotal);
                result = result && moved;
            }
        } else {
            WalkForDefrag(root, parent, *context, runningTotal, progressTotal, result);
        }
        CloseVolume(std::move(context));
        parent->OnJobFinished(result ? kJobSucceeded : kJobFilesNotMoved);
    } catch (const std::exception&) {
        parent->OnJobFinished(kJobFilesNotMoved);  // out of memory part-way
    }
    return 0;
}

}  // namespace zyr::engine
