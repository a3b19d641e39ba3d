// The one seam for modal UI: message boxes, the question box and folder pickers.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

// What the program is about to ask the user.
enum class ModalKind { MessageBox, QuestionBox, FolderPicker };

struct ModalRequest {
    ModalKind kind = ModalKind::MessageBox;
    HWND owner = nullptr;
    std::wstring text;
    std::wstring caption;
    UINT style = 0;               // message-box or question-box style bits
    std::wstring customButtons;   // question box: captions separated by "\n"
};

struct ModalAnswer {
    int result = 0;               // the value the real dialog would return
    std::wstring path;            // folder picker: the chosen folder ("" for Cancel)
};

// Without an answerer the product shows the real dialogs. A test installs one for a scope;
// it sees every request in order and answers it without any window.
using ModalAnswerer = std::function<ModalAnswer(const ModalRequest&)>;

class ScopedModalAnswerer {
public:
    explicit ScopedModalAnswerer(ModalAnswerer answerer);
    ~ScopedModalAnswerer();
    ScopedModalAnswerer(const ScopedModalAnswerer&) = delete;
    ScopedModalAnswerer& operator=(const ScopedModalAnswerer&) = delete;

private:
    ModalAnswerer previous_;
};

// True (and `answer` filled) when a test answers the request.
bool AnswerModal(const ModalRequest& request, ModalAnswer& answer);

// MessageBoxW through the seam.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style);
