// The modal-UI door.
#include "framework/ModalUi.h"

namespace zyr::fw {
namespace {
ModalAnswerer g_answerer;
}

void SetModalAnswerer(ModalAnswerer answerer) { g_answerer = std::move(answerer); }

const ModalAnswerer* CurrentModalAnswerer() { return g_answerer ? &g_answerer : nullptr; }

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
    if (g_answerer) return g_answerer(ModalRequest{ModalRequest::Kind::MessageBox, text, caption, flags});
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

}  // namespace zyr::fw
