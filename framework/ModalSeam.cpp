// The one seam for modal UI.
#include "framework/ModalSeam.h"
#include <utility>

namespace {
ModalAnswerer& CurrentAnswerer() {
    static ModalAnswerer answerer;
    return answerer;
}
}  // namespace

ScopedModalAnswerer::ScopedModalAnswerer(ModalAnswerer answerer)
    : previous_(std::exchange(CurrentAnswerer(), std::move(answerer))) {}

ScopedModalAnswerer::~ScopedModalAnswerer() { CurrentAnswerer() = std::move(previous_); }

bool AnswerModal(const ModalRequest& request, ModalAnswer& answer) {
    const ModalAnswerer& answerer = CurrentAnswerer();
    if (!answerer) return false;
    answer = answerer(request);
    return true;
}

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
    ModalRequest request;
    request.kind = ModalKind::MessageBox;
    request.owner = owner;
    request.text = text;
    request.caption = caption;
    request.style = style;
    ModalAnswer answer;
    if (AnswerModal(request, answer)) return answer.result;
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), style);
}
