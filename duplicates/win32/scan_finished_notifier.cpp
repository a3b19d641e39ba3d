// The posting receiver of a finished scan.
#include "duplicates/win32/scan_finished_notifier.h"

namespace zyr::dup {

void ScanFinishedNotifier::OnScanFinished() { ::PostMessageW(window_, message_, 0, 0); }

}  // namespace zyr::dup
