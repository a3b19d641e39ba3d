// BindVolumesFromEnvironment: ZYR_IMAGE_DRIVES at start-up, the platform backend for the rest.
#include "engine/volume_api.h"
#include "volumes/ntfsimage/utf.h"
#include "volumes/ntfsimage/volume_router.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include "volumes/win32/win32_volume_api.h"
#endif

namespace zyr::vol {
namespace {

std::wstring ReadSpec() {
#ifdef _WIN32
    const wchar_t* value = _wgetenv(L"ZYR_IMAGE_DRIVES");
    return value ? value : L"";
#else
    const char* value = std::getenv("ZYR_IMAGE_DRIVES");
    return value ? ntfs::Utf8ToUtf16(value) : L"";
#endif
}

IVolumeApi* PlatformBackend() {
#ifdef _WIN32
    static Win32VolumeApi win32;
    return &win32;
#else
    return nullptr;
#endif
}

}  // namespace

IVolumeApi& BindVolumesFromEnvironment() {
    static VolumeRouter* router = [] {
        auto images = std::make_unique<ImageVolumeApi>();
        std::vector<std::wstring> errors;
        for (const auto& [letter, path] : ParseImageDrives(ReadSpec(), &errors)) {
            if (uint32_t e = images->Mount(letter, path))
                std::fprintf(stderr, "ZYR_IMAGE_DRIVES: %c: cannot use %s (error %u)\n", char(letter),
                             ntfs::Utf16ToUtf8(path).c_str(), e);
        }
        for (const std::wstring& item : errors)
            std::fprintf(stderr, "ZYR_IMAGE_DRIVES: ignored \"%s\" (expected LETTER:=IMAGE)\n",
                         ntfs::Utf16ToUtf8(item).c_str());
        return new VolumeRouter(std::move(images), PlatformBackend());
    }();
    return *router;
}

}  // namespace zyr::vol
