// UTF-16 <-> UTF-8 conversion; unpaired surrogates become U+FFFD.
#include "volumes/ntfsimage/utf.h"

#include <cstdint>

namespace zyr::ntfs {

std::string Utf16ToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = uint32_t(text[i]) & 0xFFFF;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            const uint32_t low = uint32_t(text[i + 1]) & 0xFFFF;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring Utf8ToUtf16(const std::string& text) {
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        const uint8_t b = uint8_t(text[i]);
        uint32_t c = 0xFFFD;
        size_t n = 1;
        if (b < 0x80) {
            c = b;
        } else if ((b >> 5) == 6) {
            n = 2;
            c = b & 0x1F;
        } else if ((b >> 4) == 14) {
            n = 3;
            c = b & 0x0F;
        } else if ((b >> 3) == 30) {
            n = 4;
            c = b & 0x07;
        }
        if (n > 1) {
            if (i + n > text.size()) {
                c = 0xFFFD;
                n = 1;
            } else {
                for (size_t k = 1; k < n; ++k) {
                    const uint8_t t = uint8_t(text[i + k]);
                    if ((t >> 6) != 2) {
                        c = 0xFFFD;
                        n = k;
                        break;
                    }
                    c = (c << 6) | (t & 0x3F);
                }
            }
        }
        i += n;
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            out += wchar_t(0xD800 + (c >> 10));
            out += wchar_t(0xDC00 + (c & 0x3FF));
        } else {
            out += wchar_t(c > 0x10FFFF ? 0xFFFD : c);
        }
    }
    return out;
}

}  // namespace zyr::ntfs
