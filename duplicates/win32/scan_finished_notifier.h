// Hands the end of a duplicate scan to a window: posts the finder's message to it.
#pragma once
#include "duplicates/core/duplicate_file_scanner.h"

#include <windows.h>

namespace zyr::dup {

inline constexpr UINT kScanFinishedMessage = 1932;

// The receiver a finder page gives its scanner. Called on the worker thread under the
// scanner's lock, it only posts (never sends) the message; the window handles it later.
class ScanFinishedNotifier final : public IDuplicateFileScanResultsReceiver {
public:
    explicit ScanFinishedNotifier(HWND window, UINT message = kScanFinishedMessage)
        : window_(window), message_(message) {}
    void OnScanFinished() override;

private:
    HWND window_;
    UINT message_;
};

}  // namespace zyr::dup
