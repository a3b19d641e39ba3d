// The scan mask from the start page's choices.
#include "duplicates/core/scan_options.h"

#include "duplicates/core/file_category.h"

namespace zyr::dup {

uint32_t ScanMaskFor(const DuplicateScanOptions& options) {
    if (options.scanAllFiles == 1) return CategoryOther;
    uint32_t mask = 0;
    if (options.scanImage) mask |= CategoryImage;
    if (options.scanAudio) mask |= CategoryAudio;
    if (options.scanVideo) mask |= CategoryVideo;
    if (options.scanDocs) mask |= CategoryDocument;
    return mask;
}

}  // namespace zyr::dup
