// The engine's jobs on real NTFS images: files copied in with ntfscp, scattered with the
// volume's own move control, then analysed, defragmented and consolidated; ntfs-3g's tools
// judge the result.
#include "engine/jobs.h"
#include "engine/run_list.h"
#include "engine/win32_defs.h"
#include "recording_parent.h"
#include "volumes/ntfsimage/image_volume_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

using namespace zyr;
using namespace zyr::engine;

namespace {

std::string Shell(const std::string& command, int* status = nullptr) {
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer;
        size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
        const int rc = pclose(pipe);
        if (status) *status = rc;
    }
    return out;
}

// Fragments of a file's data as ntfs-3g's run list shows them.
int Fragments(const std::string& image, const std::string& name) {
    const std::string out = Shell("ntfsinfo -v -F '/" + name + "' '" + image + "' 2>/dev/null");
    const std::string key = "fragments: ";
    int most = 0;
    for (size_t at = out.find(key); at != std::string::npos; at = out.find(key, at + 1))
        most = std::max(most, std::atoi(out.c_str() + at + key.size()));
    return most;
}

class ImageJobsTest : public ::testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("zyr_image_jobs_" + std::to_string(::getpid()));
    std::string image = (dir / "volume.img").string();
    std::vector<std::string> names;
    std::map<std::string, std::string> contents;  // ntfscat output before the jobs
    vol::ImageVolumeApi api;

    void SetUp() override {
        std::filesystem::create_directories(dir);
        int status = 0;
        Shell("truncate -s 48M '" + image + "' && mkntfs -F -q -Q -c 4096 '" + image + "' >/dev/null 2>&1", &status);
        ASSERT_EQ(status, 0) << "mkntfs";
        std::mt19937 rng(11);
        for (int i = 0; i < 24; ++i) {
            const std::string name = "file" + std::to_string(i) + ".bin";
            std::string data(8192 + rng() % (160 * 1024), '\0');
            for (char& c : data) c = static_cast<char>(rng());
            std::ofstream((dir / name).string(), std::ios::binary) << data;
            Shell("ntfscp -q '" + image + "' '" + (dir / name).string() + "' '" + name + "' 2>&1", &status);
            ASSERT_EQ(status, 0) << "ntfscp " << name;
            names.push_back(name);
        }
        ASSERT_EQ(api.Mount(L'Q', std::wstring(image.begin(), image.end())), 0u);
        vol::SetVolumeApi(&api);
        Scatter();
        for (const std::string& name : names) contents[name] = Shell("ntfscat '" + image + "' '" + name + "'");
    }
    void TearDown() override {
        vol::SetVolumeApi(nullptr);
        std::filesystem::remove_all(dir);
    }

    // Moves the second half of every other file far back on the volume: two fragments each.
    void Scatter() {
        int64_t target = 8000;  // clusters; the volume has 12 288
        for (size_t i = 0; i < names.size(); i += 2) {
            const std::wstring path = L"Q:\\" + std::wstring(names[i].begin(), names[i].end());
            OpenedFile file = OpenTargetFile(path, true);
            ASSERT_TRUE(file.handle.Valid());
            auto runs = GetRetrievalPointers(file.handle.Get());
            ASSERT_TRUE(runs);
            const int64_t clusters = runs->Extent(runs->ExtentCount() - 1).NextVcn;
            vol::Handle volume = api.CreateFile(L"\\\\.\\Q:", win::GENERIC_READ_, 3, win::OPEN_EXISTING_, 0);
            win::MOVE_FILE_DATA move{static_cast<uint64_t>(file.handle.Get()), clusters / 2, target,
                                     static_cast<uint32_t>(clusters - clusters / 2), 0};
            ASSERT_TRUE(api.DeviceIoControl(volume, win::FSCTL_MOVE_FILE_, &move, sizeof(move), nullptr, 0, nullptr))
                << names[i] << " error " << api.GetLastError();
            api.CloseHandle(volume);
            target += clusters + 7;
        }
    }

    std::unique_ptr<DefragJobArgs> Args(test::RecordingParent& parent, VolumeAnalysis* analysis = nullptr) {
        auto args = std::make_unique<DefragJobArgs>();
        args->parent = &parent;
        args->drive = L"Q:";
        args->analysis = analysis;
        return args;
    }
};

}  // namespace

TEST_F(ImageJobsTest, OptimizeKeepsEveryByteAndLeavesTheVolumeClean) {
    // The analysis sees what ntfs-3g's run lists show.
    test::RecordingParent analysis;
    RunAnalysisJob(Args(analysis));
    ASSERT_EQ(analysis.FinishedWith(), kJobSucceeded);
    ASSERT_TRUE(analysis.analysis);
    int fragmented = 0;
    for (const std::string& name : names) {
        const std::wstring path = L"Q:\\" + std::wstring(name.begin(), name.end());
        ASSERT_TRUE(analysis.analysis->files.count(path)) << name;
        EXPECT_EQ(analysis.analysis->files.at(path)->fragmented, Fragments(image, name) > 1 ? 1 : 0) << name;
        fragmented += Fragments(image, name) > 1;
    }
    EXPECT_EQ(fragmented, 12);

    test::RecordingParent defrag;
    RunDefragJob(Args(defrag, analysis.analysis.get()));
    EXPECT_EQ(defrag.FinishedWith(), kJobSucceeded);
    EXPECT_EQ(defrag.OfKind(kProgressFileDefragmented).size(), 12u);
    test::RecordingParent consolidate;
    RunConsolidationJob(Args(consolidate, analysis.analysis.get()));
    EXPECT_EQ(consolidate.FinishedWith(), kJobSucceeded);

    for (const std::string& name : names) {
        EXPECT_EQ(Shell("ntfscat '" + image + "' '" + name + "'"), contents[name]) << name;
        EXPECT_EQ(Fragments(image, name), 1) << name;
    }
    int status = 0;
    Shell("ntfsfix -n '" + image + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << "ntfsfix -n";
    Shell("ntfsresize -i -f '" + image + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << "ntfsresize -i -f";

    test::RecordingParent again;
    RunAnalysisJob(Args(again));
    ASSERT_TRUE(again.analysis);
    EXPECT_EQ(again.analysis->fragmentedClusters, 0);
}
