// CSkin: GDI+ start-up, colors.xml, brushes and fonts.
#include "skin/Skin.h"
#include <vector>

namespace {

std::wstring ColorsPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    const size_t slash = folder.rfind(L'\\');
    if (slash != std::wstring::npos) folder.resize(slash);
    return folder + L"\\colors.xml";
}

// The file's bytes as text of the ANSI code page, up to the first zero byte.
bool ReadAnsiFile(const std::wstring& path, std::wstring& text) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<char> bytes;
    char chunk[16384];
    DWORD read = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) bytes.insert(bytes.end(), chunk, chunk + read);
    ::CloseHandle(file);
    size_t length = 0;
    while (length < bytes.size() && bytes[length] != 0) ++length;
    text.clear();
    if (length == 0) return true;
    const int wide = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(length), nullptr, 0);
    text.resize(static_cast<size_t>(wide));
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(length), text.data(), wide);
    return true;
}

int ScreenDpi(int index) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, index) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

CSkin::CSkin() {
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    std::wstring text;
    if (!ReadAnsiFile(ColorsPath(), text)) {
        // The resource library is not loaded yet: the message is built in.
        ::MessageBoxW(nullptr, L"The colour file colors.xml is missing from the program folder. Please reinstall the application.",
                      L"Zyr Disk Care", MB_OK | MB_ICONERROR);
        ::ExitProcess(0);
    }
    static_cast<SkinColors&>(*this) = ReadSkinColors(text);
    MakeBrushes();
    MakeFonts(false);
}

CSkin::~CSkin() {
    itemTextBrush.reset();
    bodyTextBrush.reset();
    clientBrush.reset();
    titleFont.reset();
    titleUnderlineFont.reset();
    subtitleFont.reset();
    mediumFont.reset();
    mediumBoldFont.reset();
    textFont.reset();
    buttonFont.reset();
    titleBoldFont.reset();
    textBoldFont.reset();
    linkFont.reset();
    if (gdiplusToken) Gdiplus::GdiplusShutdown(gdiplusToken);
    if (clientGdiBrush) ::DeleteObject(clientGdiBrush);
}

bool CSkin::LoadColorsFrom(const std::wstring& path) {
    std::wstring text;
    if (!ReadAnsiFile(path, text)) return false;
    static_cast<SkinColors&>(*this) = ReadSkinColors(text);
    MakeBrushes();
    return true;
}

void CSkin::MakeBrushes() {
    bodyTextBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(body_text));
    clientBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(client));
    itemTextBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(item_text));
    if (clientGdiBrush) ::DeleteObject(clientGdiBrush);
    clientGdiBrush = ::CreateSolidBrush(ToColorRef(client));
}

void CSkin::MakeFonts(bool japanese) {
    const int dpiX = ScreenDpi(LOGPIXELSX);
    auto make = [&](SkinFontId id) {
        const SkinFontStyle& style = SkinFontStyleOf(id);
        return CreateSkinFont(SkinFontPoints(japanese ? style.baseSizeJa : style.baseSize, dpiX), style.bold, false, style.underline);
    };
    titleFont = make(SkinFontId::Title);
    titleUnderlineFont = make(SkinFontId::TitleUnderline);
    subtitleFont = make(SkinFontId::Subtitle);
    mediumFont = make(SkinFontId::Medium);
    mediumBoldFont = make(SkinFontId::MediumBold);
    textFont = make(SkinFontId::Text);
    buttonFont = make(SkinFontId::Button);
    titleBoldFont = make(SkinFontId::TitleBold);
    textBoldFont = make(SkinFontId::TextBold);
    linkFont = make(SkinFontId::Link);
}

void CSkin::RebuildFontsForLanguage() { MakeFonts(true); }

std::unique_ptr<Gdiplus::Font> CSkin::CreateSkinFont(int points, bool bold, bool italic, bool underline) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);  // 500
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    if (points != -1) font.lfHeight = SkinFontHeight(points, ScreenDpi(LOGPIXELSY));
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = italic ? TRUE : FALSE;
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfStrikeOut = FALSE;
    font.lfQuality = CLEARTYPE_QUALITY;
    HDC screen = ::GetDC(nullptr);
    auto result = std::make_unique<Gdiplus::Font>(screen, &font);
    ::ReleaseDC(nullptr, screen);
    return result;
}
