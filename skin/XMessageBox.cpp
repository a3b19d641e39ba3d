// XMessageBox: run-time template, own message loop, clipboard copy.
#include "skin/XMessageBox.h"
#include <algorithm>
#include <memory>
#include <vector>
#include "framework/Gdi.h"
#include "framework/ModalSeam.h"

namespace {

// One control of the run-time template (rectangle in pixels until written).
struct CXDialogItem {
    virtual ~CXDialogItem() = default;
    WORD windowClass = 0x0080;  // 0x0080 button, 0x0082 static
    DWORD style = 0;
    RECT rect{};
    WORD id = 0;
    std::wstring caption;
};

// The state of one box.
struct CXDialogTemplate {
    virtual ~CXDialogTemplate() {
        if (font) ::DeleteObject(font);
        if (backgroundBrush) ::DeleteObject(backgroundBrush);
    }
    MessageBoxParams params;
    std::wstring text, title;
    std::vector<std::unique_ptr<CXDialogItem>> items;
    int defaultButton = 0;
    UINT checkBoxFlag = 0;
    HFONT font = nullptr;
    HBRUSH backgroundBrush = nullptr;
    HICON icon = nullptr;
    RECT messageRect{};
    int result = -1;
    bool done = false;
    bool modern = false;
    int buttonCount = 0;
    COLORREF textColor = 0;
};

std::wstring ResolveText(const wchar_t* text, HMODULE module) {
    if (!text) return L"";
    if (IS_INTRESOURCE(text)) {
        const wchar_t* stored = nullptr;
        const int length = ::LoadStringW(module, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)), reinterpret_cast<LPWSTR>(&stored), 0);
        return length > 0 && stored ? std::wstring(stored, static_cast<size_t>(length)) : std::wstring();
    }
    return text;
}

std::wstring BuiltInCaption(HMODULE module, UINT id, const wchar_t* english) {
    std::wstring text = ResolveText(MAKEINTRESOURCEW(id), module);
    return text.empty() ? english : text;
}

std::vector<std::wstring> SplitCaptions(const std::wstring& text) {
    std::vector<std::wstring> captions;
    size_t start = 0;
    while (start <= text.size() && captions.size() < 4) {
        const size_t end = text.find(L'\n', start);
        std::wstring part = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!part.empty() && part.back() == L'\r') part.pop_back();
        if (!part.empty()) captions.push_back(part);
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return captions;
}

SIZE MeasureText(HDC dc, const std::wstring& text, int limit, UINT flags) {
    RECT r{0, 0, limit, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | flags);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// DLGTEMPLATE writer.
class TemplateWriter {
public:
    void Word(WORD w) { data_.push_back(w); }
    void Dword(DWORD d) { Word(LOWORD(d)); Word(HIWORD(d)); }
    void String(const std::wstring& s) { for (wchar_t c : s) Word(static_cast<WORD>(c)); Word(0); }
    void Align() { if (data_.size() % 2) Word(0); }
    std::vector<WORD>& Data() { return data_; }

private:
    std::vector<WORD> data_;
};

std::wstring StripAmpersands(std::wstring text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            if (i + 1 < text.size() && text[i + 1] == L'&') { out += L'&'; ++i; }
            continue;
        }
        out += text[i];
    }
    return out;
}

void CopyToClipboard(HWND box) {
    const std::wstring text = XMessageBoxClipboardText(box);
    if (!::OpenClipboard(box)) return;
    ::EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* target = ::GlobalLock(memory)) {
            memcpy(target, text.c_str(), bytes);
            ::GlobalUnlock(memory);
            if (!::SetClipboardData(CF_UNICODETEXT, memory)) ::GlobalFree(memory);
        } else {
            ::GlobalFree(memory);
        }
    }
    ::CloseClipboard();
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    auto* box = reinterpret_cast<CXDialogTemplate*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    try {
        switch (msg) {
        case WM_INITDIALOG: {
            box = reinterpret_cast<CXDialogTemplate*>(lp);
            ::SetWindowLongPtrW(dialog, DWLP_USER, lp);
            ::SetWindowTextW(dialog, box->title.c_str());
            for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
                ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(box->font), FALSE);
            if (box->icon) ::SendDlgItemMessageW(dialog, kXmbIcon, STM_SETICON, reinterpret_cast<WPARAM>(box->icon), 0);
            if (box->checkBoxFlag) ::CheckDlgButton(dialog, kXmbCheckBox, BST_UNCHECKED);
            // No button answers Cancel: the close box is greyed.
            if (HMENU menu = ::GetSystemMenu(dialog, FALSE)) ::EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
            HWND owner = ::GetWindow(dialog, GW_OWNER);
            RECT area{};
            if (owner) ::GetWindowRect(owner, &area);
            else ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
            RECT self{};
            ::GetWindowRect(dialog, &self);
            const int w = self.right - self.left, h = self.bottom - self.top;
            ::SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ::SetForegroundWindow(dialog);
            const int focusId = kXmbFirstCustomButton + box->defaultButton;
            if (HWND focus = ::GetDlgItem(dialog, focusId)) ::SetFocus(focus);
            return FALSE;  // the focus is set
        }
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            if (!box) break;
            if (id >= kXmbFirstCustomButton && id < kXmbFirstCustomButton + box->buttonCount) {
                box->result = id;
                if (box->checkBoxFlag && ::IsDlgButtonChecked(dialog, kXmbCheckBox) == BST_CHECKED) box->result |= static_cast<int>(box->checkBoxFlag);
                box->done = true;
                return TRUE;
            }
            // Cancel (Escape, the close box) does nothing: one of the buttons has to be chosen.
            return TRUE;
        }
        case WM_CLOSE:
            return TRUE;
        case WM_ERASEBKGND:
            if (box && box->modern) {
                HDC dc = reinterpret_cast<HDC>(wp);
                RECT client{};
                ::GetClientRect(dialog, &client);
                ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
                RECT upper = client;
                upper.bottom = box->messageRect.bottom;
                ::FillRect(dc, &upper, box->backgroundBrush);
                ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
                return TRUE;
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (box && box->backgroundBrush) {
                HWND control = reinterpret_cast<HWND>(lp);
                const int id = ::GetDlgCtrlID(control);
                if (id == kXmbMessageText || id == kXmbIcon) {
                    HDC dc = reinterpret_cast<HDC>(wp);
                    ::SetTextColor(dc, box->textColor);
                    ::SetBkMode(dc, TRANSPARENT);
                    return reinterpret_cast<INT_PTR>(box->backgroundBrush);
                }
            }
            break;
        default:
            break;
        }
    } catch (...) {
    }
    return FALSE;
}

// Disables the owner and its ancestors; enables them again on destruction.
class DisabledOwners {
public:
    explicit DisabledOwners(HWND owner) {
        for (HWND w = owner; w; w = ::GetParent(w))
            if (::IsWindowEnabled(w)) {
                ::EnableWindow(w, FALSE);
                disabled_.push_back(w);
            }
    }
    ~DisabledOwners() {
        for (auto it = disabled_.rbegin(); it != disabled_.rend(); ++it)
            if (::IsWindow(*it)) ::EnableWindow(*it, TRUE);
    }

private:
    std::vector<HWND> disabled_;
};

}  // namespace

std::wstring XMessageBoxClipboardText(HWND box) {
    const std::wstring line = L"---------------------------\r\n";
    auto windowText = [](HWND w) {
        wchar_t buffer[65536];
        const int length = ::GetWindowTextW(w, buffer, 65536);
        return std::wstring(buffer, static_cast<size_t>(std::max(length, 0)));
    };
    std::wstring text = line + windowText(box) + L"\r\n" + line + windowText(::GetDlgItem(box, kXmbMessageText)) + L"\r\n" + line;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        ::GetClassNameW(child, className, 32);
        if (_wcsicmp(className, L"Button") == 0) text += StripAmpersands(windowText(child)) + L"   ";
    }
    text += L"\r\n" + line;
    if (text.size() > 8192) text.resize(8192);
    return text;
}

int XMessageBox(HWND owner, const wchar_t* textIn, const wchar_t* captionIn, UINT style, const MessageBoxParams* paramsIn) {
    auto box = std::make_unique<CXDialogTemplate>();
    if (paramsIn) box->params = *paramsIn;
    MessageBoxParams& params = box->params;
    HMODULE module = params.stringModule ? params.stringModule : ::GetModuleHandleW(nullptr);
    box->text = ResolveText(textIn, module).substr(0, 65535);
    box->title = ResolveText(captionIn, module).substr(0, 1023);

    ModalRequest request;
    request.kind = ModalKind::QuestionBox;
    request.owner = owner;
    request.text = box->text;
    request.caption = box->title;
    request.style = style;
    request.customButtons = params.customButtons;
    ModalAnswer answer;
    if (AnswerModal(request, answer)) return answer.result;

    if (!owner) {
        HWND active = ::GetActiveWindow();
        owner = active ? ::GetLastActivePopup(active) : nullptr;
    }
    if ((::GetVersion() & 0xFF) > 5) params.options |= 2;
    box->modern = (params.options & 2) != 0;
    const bool rightAligned = (params.options & 3) != 0;

    // Metrics.
    const LONG base = ::GetDialogBaseUnits();
    const int bx = LOWORD(base), by = HIWORD(base);
    LOGFONTW logFont = MessageLogFont();
    box->font = ::CreateFontIndirectW(&logFont);
    const int minButtonWidth = ::MulDiv(38, bx, 4) + (box->modern ? ::MulDiv(6, bx, 4) : 0);
    const int buttonHeight = ::MulDiv(12, by, 8) + (box->modern ? ::MulDiv(1, by, 8) : 0);
    const int square = ::MulDiv(10, by, 8);

    WindowDc screen(nullptr);
    ScopedSelect selectFont(screen, box->font);
    auto captionWidth = [&](const std::wstring& caption) {
        return std::max<int>(minButtonWidth, MeasureText(screen, caption, 0, DT_SINGLELINE).cx + 20);
    };

    // Icon.
    const UINT iconBits = style & 0xF0;
    const wchar_t* iconId = iconBits == 0x10 ? IDI_HAND : iconBits == 0x20 ? IDI_QUESTION : iconBits == 0x30 ? IDI_EXCLAMATION
                          : iconBits == 0x40 ? IDI_ASTERISK : nullptr;
    if (iconId) box->icon = ::LoadIconW(nullptr, iconId);
    const int iconSize = box->icon ? ::GetSystemMetrics(SM_CXICON) : 0;

    // Message.
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    int limit = box->modern ? screenWidth / 2 - 10 : screenWidth / 2 + 80;
    if (box->icon) limit -= iconSize + 16;
    const SIZE message = MeasureText(screen, box->text.empty() ? L" " : box->text, std::max(limit, 100),
                                     DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    RECT messageRect{16, box->modern ? 32 : 16, message.cx + 28, message.cy + (box->modern ? 61 : 29)};
    int dialogWidth = message.cx + (box->modern ? 44 : 28);
    int dialogHeight = std::max<int>(message.cy + (box->modern ? 45 : 29), 70);
    RECT iconRect{};
    if (box->icon) {
        const int at = box->modern ? 24 : 8;
        iconRect = RECT{at, at, at + iconSize + 2, at + iconSize + 2};
        const int shift = (box->modern ? 24 : 8) + iconSize;
        messageRect.left += shift;
        messageRect.right += shift;
        dialogWidth = messageRect.right + (box->modern ? 24 : 8);
        const TEXTMETRICW metrics = [&] { TEXTMETRICW tm{}; ::GetTextMetricsW(screen, &tm); return tm; }();
        if (box->modern && message.cy > metrics.tmHeight) {
            const int height = messageRect.bottom - messageRect.top;
            messageRect.top = iconRect.top;
            messageRect.bottom = messageRect.top + height;
        }
    }
    // Background brush of the upper area.
    if (params.backgroundColor != static_cast<COLORREF>(-1)) box->backgroundBrush = ::CreateSolidBrush(params.backgroundColor);
    else if (box->modern) box->backgroundBrush = ::CreateSolidBrush(::GetSysColor(COLOR_WINDOW));
    box->textColor = params.textColor != static_cast<COLORREF>(-1) ? params.textColor : ::GetSysColor(COLOR_WINDOWTEXT);

    // Buttons.
    const std::vector<std::wstring> captions = SplitCaptions(params.customButtons);
    box->buttonCount = static_cast<int>(captions.size());
    std::vector<int> widths;
    int rowWidth = 0;
    for (const auto& caption : captions) {
        widths.push_back(captionWidth(caption));
        rowWidth += widths.back();
    }
    if (!captions.empty()) rowWidth += 6 * (static_cast<int>(captions.size()) - 1);
    const int rowTop = std::max<int>(messageRect.bottom, iconRect.bottom) + (box->icon || box->backgroundBrush ? 14 : 5);
    dialogWidth = std::max(dialogWidth, rowWidth + 32);

    std::wstring checkCaption;
    if (style & kXmbDontAskAgain) { box->checkBoxFlag = kXmbDontAskAgain; checkCaption = BuiltInCaption(module, 218, L"Don't ask me again"); }
    else if (style & kXmbDontTellAgain) { box->checkBoxFlag = kXmbDontTellAgain; checkCaption = BuiltInCaption(module, 220, L"Don't tell me again"); }
    else if (style & kXmbDontShowAgain) { box->checkBoxFlag = kXmbDontShowAgain; checkCaption = BuiltInCaption(module, 221, L"Don't show again"); }
    int checkWidth = 0;
    if (box->checkBoxFlag) {
        checkWidth = captionWidth(checkCaption) + square;
        if (dialogWidth < rowWidth + checkWidth + 18) dialogWidth = rowWidth + checkWidth + 34;
    }
    dialogHeight = rowTop + buttonHeight + 12;

    int x = rightAligned ? dialogWidth - rowWidth - 16 : (dialogWidth - rowWidth) / 2;
    box->defaultButton = static_cast<int>((style & 0xF00) >> 8);
    if (box->defaultButton >= box->buttonCount) box->defaultButton = 0;
    for (size_t i = 0; i < captions.size(); ++i) {
        auto item = std::make_unique<CXDialogItem>();
        item->windowClass = 0x0080;
        item->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                      (static_cast<int>(i) == box->defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        item->rect = RECT{x, rowTop, x + widths[i], rowTop + buttonHeight};
        item->id = static_cast<WORD>(kXmbFirstCustomButton + i);
        item->caption = captions[i];
        box->items.push_back(std::move(item));
        x += widths[i] + 6;
    }
    if (box->checkBoxFlag) {
        auto item = std::make_unique<CXDialogItem>();
        item->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
        const int top = rowTop + (buttonHeight - square) / 2;
        item->rect = RECT{17, top, 17 + checkWidth, top + square};
        item->id = kXmbCheckBox;
        item->caption = checkCaption;
        box->items.push_back(std::move(item));
        dialogHeight = std::max<int>(dialogHeight, top + square + 14);
        dialogWidth = std::max(dialogWidth, rowWidth + checkWidth + 16);
    }
    if (box->icon) {
        auto item = std::make_unique<CXDialogItem>();
        item->windowClass = 0x0082;
        item->style = WS_CHILD | WS_VISIBLE | SS_ICON;
        item->rect = iconRect;
        item->id = kXmbIcon;
        box->items.insert(box->items.begin(), std::move(item));
    }
    {
        auto item = std::make_unique<CXDialogItem>();
        item->windowClass = 0x0082;
        item->style = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL;
        item->rect = RECT{messageRect.left, messageRect.top, messageRect.left + message.cx + 4, messageRect.top + message.cy};
        item->id = kXmbMessageText;
        item->caption = box->text;
        box->items.insert(box->items.begin() + (box->icon ? 1 : 0), std::move(item));
    }
    box->messageRect = messageRect;
    box->messageRect.bottom = std::max<LONG>(messageRect.bottom, iconRect.bottom) + 4;

    // The in-memory template, sizes in dialog units.
    auto toDluX = [&](int px) { return static_cast<short>(px * 4 / bx); };
    auto toDluY = [&](int px) { return static_cast<short>(px * 8 / by); };
    TemplateWriter writer;
    DWORD dialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    if (style & 0x1000) dialogStyle |= DS_SYSMODAL;
    writer.Dword(dialogStyle);
    writer.Dword(0);
    writer.Word(static_cast<WORD>(box->items.size()));
    writer.Word(0);
    writer.Word(0);
    writer.Word(static_cast<WORD>(toDluX(dialogWidth)));
    writer.Word(static_cast<WORD>(toDluY(dialogHeight)));
    writer.Word(0);  // menu
    writer.Word(0);  // class
    writer.String(box->title);
    for (const auto& item : box->items) {
        writer.Align();
        writer.Dword(item->style);
        writer.Dword(0);
        writer.Word(static_cast<WORD>(toDluX(item->rect.left)));
        writer.Word(static_cast<WORD>(toDluY(item->rect.top)));
        writer.Word(static_cast<WORD>(toDluX(item->rect.right - item->rect.left)));
        writer.Word(static_cast<WORD>(toDluY(item->rect.bottom - item->rect.top)));
        writer.Word(item->id);
        writer.Word(0xFFFF);
        writer.Word(item->windowClass);
        writer.String(item->caption);
        writer.Word(0);  // no creation data
    }

    ::MessageBeep(style & 0xF0);
    auto disabled = std::make_unique<DisabledOwners>(owner && !::IsIconic(owner) ? owner : nullptr);
    HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(writer.Data().data()),
                                               owner && !::IsIconic(owner) ? owner : nullptr, &BoxProc,
                                               reinterpret_cast<LPARAM>(box.get()));
    if (!dialog) return -1;
    ::ShowWindow(dialog, SW_SHOW);
    MSG msg{};
    while (!box->done) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::WaitMessage();
            continue;
        }
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            box->result = -1;
            break;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == 'C' && (::GetKeyState(VK_CONTROL) & 0x8000) &&
            (msg.hwnd == dialog || ::IsChild(dialog, msg.hwnd))) {
            CopyToClipboard(dialog);
            continue;
        }
        if (!::IsDialogMessageW(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    disabled.reset();  // the owner takes the activation back
    ::DestroyWindow(dialog);
    return box->result;
}
