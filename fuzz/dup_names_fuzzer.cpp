// Fuzz target: file names as the scanner meets them. UTF-8 decoding of POSIX names must round
// trip byte for byte; the category of any name is one of the five; MD5 and Adler-32 give the
// same result however the bytes are split.
#include "duplicates/core/adler32.h"
#include "duplicates/core/file_category.h"
#include "duplicates/core/md5.h"
#include "duplicates/core/text_utf.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CTavrinEngine engine;
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const std::wstring wide = zyr::dup::Utf8ToWide(bytes);
    if (zyr::dup::WideToUtf8(wide) != bytes) std::abort();

    const uint32_t category = GetFileCategory(wide);
    if (category != 1 && category != 2 && category != 4 && category != 8 && category != 16) std::abort();
    if (GetFileCategory(zyr::dup::LowercaseAscii(wide)) != category) std::abort();

    const size_t split = size ? data[0] % (size + 1) : 0;
    zyr::dup::Md5 whole, pieces;
    whole.Update(data, size);
    pieces.Update(data, split);
    pieces.Update(data + split, size - split);
    if (whole.Finish() != pieces.Finish()) std::abort();
    if (zyr::dup::Adler32(zyr::dup::Adler32(1, data, split), data + split, size - split) !=
        zyr::dup::Adler32(1, data, size))
        std::abort();
    return 0;
}
