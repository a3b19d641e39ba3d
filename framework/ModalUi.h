// The one door for modal user interface (message boxes, questions, pickers, confirmations).
// The product shows the real windows; an in-process test installs an answerer instead.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace zyr::fw {

struct ModalRequest {
    enum class Kind { MessageBox, QuestionBox, FolderPicker, ShellConfirmation };
    Kind kind = Kind::MessageBox;
    std::wstring text;
    std::wstring caption;
    UINT flags = 0;
};

// Returns what the window would have returned (IDOK, IDYES, a custom button code, ...).
using ModalAnswerer = std::function<int(const ModalRequest&)>;

// Installs (or, with an empty function, removes) the test answerer for this process.
void SetModalAnswerer(ModalAnswerer answerer);
// The answerer when a test installed one, else null.
const ModalAnswerer* CurrentModalAnswerer();

// MessageBoxW through the door.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);

}  // namespace zyr::fw
