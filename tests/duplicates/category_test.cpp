// File categories: the extension table, name lookups and the scan mask of the start page.
#include "duplicates/core/file_category.h"
#include "duplicates/core/scan_options.h"

#include <gtest/gtest.h>

using namespace zyr::dup;

TEST(FileCategory, TableHoldsFiftyNineExtensionsWithFirstValues) {
    CTavrinEngine engine;
    CTavrinEngine again;  // a second fill changes nothing
    const auto& table = ExtensionTable();
    EXPECT_EQ(table.size(), 59u);
    size_t perCategory[17] = {};
    for (const auto& [extension, category] : table) {
        ASSERT_EQ(extension[0], L'.');
        ++perCategory[category];
    }
    EXPECT_EQ(perCategory[CategoryAudio], 11u);
    EXPECT_EQ(perCategory[CategoryDocument], 10u);
    EXPECT_EQ(perCategory[CategoryImage], 26u);
    EXPECT_EQ(perCategory[CategoryVideo], 12u);
}

TEST(FileCategory, NamesAndPaths) {
    CTavrinEngine engine;
    const struct {
        const wchar_t* name;
        uint32_t category;
    } cases[] = {
        {L"REPORT.PDF", CategoryDocument},
        {L"archive.tar.gz", CategoryOther},
        {L"movie.MPEG2", CategoryVideo},
        {L"README", CategoryOther},
        {L"disk.img", CategoryImage},
        {L"layers.PSD", CategoryImage},
        {L"Photo.JPG", CategoryImage},
        {L"song.Mp3", CategoryAudio},
        {L"c:\\music.d\\readme", CategoryOther},  // only the text after the last dot counts
        {L"c:\\docs\\notes.txt", CategoryDocument},
        {L".txt", CategoryDocument},
        {L"trailing.", CategoryOther},
        {L"\u00c9T\u00c9.JPG", CategoryImage},
        {L"x.J\u0050G", CategoryImage},
        {L"x.jp\u00e9", CategoryOther},
        {L"", CategoryOther},
    };
    for (const auto& c : cases) EXPECT_EQ(GetFileCategory(c.name), c.category) << std::wstring(c.name).size();
}

TEST(ScanOptions, DefaultsAndMask) {
    DuplicateScanOptions options;
    EXPECT_TRUE(options.folder.empty());
    EXPECT_EQ(options.scanFolders, 1);
    EXPECT_EQ(ScanMaskFor(options), CategoryOther);  // all files: the kinds are ignored

    options.scanAllFiles = 0;
    EXPECT_EQ(ScanMaskFor(options), 15u);
    options.scanImage = 0;
    options.scanDocs = 0;
    EXPECT_EQ(ScanMaskFor(options), uint32_t(CategoryAudio | CategoryVideo));
    options.scanAudio = options.scanVideo = 0;
    EXPECT_EQ(ScanMaskFor(options), 0u);  // no kind checked: no scan starts
    options.scanAllFiles = 1;
    EXPECT_EQ(ScanMaskFor(options), CategoryOther);
}
