// Side-by-side comparison of candidate files with one MD5 per distinct content.
#include "duplicates/core/content_split.h"

#include "duplicates/core/md5.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace zyr::dup {
namespace {

constexpr size_t kMaxChunk = 1 << 20;
constexpr size_t kMinChunk = 16 << 10;
constexpr size_t kChunkBudget = 32 << 20;  // bytes of chunk buffers per call, about
constexpr size_t kMaxOpenFiles = 128;      // beyond this, files are reopened for each chunk

struct Member {
    size_t index;
    std::unique_ptr<IReadableFile> file;  // null when closed between chunks
};

// Files known so far to share all bytes before the current offset.
struct Candidate {
    std::vector<Member> members;
    Md5 md5;  // over the bytes before the current offset
};

class Splitter {
public:
    Splitter(IFileSystem& fs, const std::vector<std::wstring>& paths, uint64_t size, const SplitHooks& hooks)
        : fs_(fs), paths_(paths), size_(size), hooks_(hooks), keepOpen_(paths.size() <= kMaxOpenFiles) {
        chunk_ = std::clamp(kChunkBudget / std::max<size_t>(paths.size(), 1), kMinChunk, kMaxChunk);
        if (chunk_ > size) chunk_ = static_cast<size_t>(size);
    }

    bool Run(std::vector<ContentSet>* sets) {
        std::vector<Candidate> live(1);
        for (size_t i = 0; i < paths_.size(); ++i) live[0].members.push_back({i, nullptr});
        for (uint64_t offset = 0; offset < size_ && !live.empty(); offset += chunk_) {
            const auto length = static_cast<uint32_t>(std::min<uint64_t>(chunk_, size_ - offset));
            std::vector<Candidate> next;
            for (auto& candidate : live) {
                if (!SplitChunk(candidate, offset, length, &next)) return false;
            }
            live = std::move(next);
        }
        for (auto& candidate : live) {
            if (!Finish(candidate, sets)) return false;
        }
        std::stable_sort(sets->begin(), sets->end(),
                         [](const ContentSet& a, const ContentSet& b) { return a.digest < b.digest; });
        return true;
    }

private:
    struct Part {
        size_t buffer;  // index into buffers_
        std::vector<Member> members;
    };

    bool Read(Member& member, uint64_t offset, uint8_t* buffer, uint32_t length, uint32_t* got) {
        std::unique_ptr<IReadableFile> file = std::move(member.file);
        if (!file) file = fs_.OpenForReading(paths_[member.index], true);
        if (!file || !file->ReadAt(offset, buffer, length, got)) return false;
        if (keepOpen_) member.file = std::move(file);
        return true;
    }

    void Drop(Member& member) {
        member.file.reset();
        if (hooks_.fileDone) hooks_.fileDone(member.index);
    }

    std::vector<uint8_t>& Buffer(size_t i) {
        if (buffers_.size() <= i) buffers_.resize(i + 1);
        if (buffers_[i].size() < chunk_) buffers_[i].resize(chunk_);
        return buffers_[i];
    }

    // Reads one chunk of every member and splits the candidate by what was read.
    bool SplitChunk(Candidate& candidate, uint64_t offset, uint32_t length, std::vector<Candidate>* next) {
        std::vector<Part> parts;
        for (auto& member : candidate.members) {
            if (hooks_.cancelled && hooks_.cancelled()) return false;
            const size_t scratch = parts.size();
            uint8_t* data = Buffer(scratch).data();
            uint32_t got = 0;
            if (!Read(member, offset, data, length, &got) || got != length) {
                Drop(member);
                continue;
            }
            auto same = std::find_if(parts.begin(), parts.end(), [&](const Part& part) {
                return std::memcmp(buffers_[part.buffer].data(), data, length) == 0;
            });
            if (same != parts.end()) {
                same->members.push_back(std::move(member));
            } else {
                parts.push_back({scratch, {}});
                parts.back().members.push_back(std::move(member));
            }
        }
        for (auto& part : parts) {
            if (part.members.size() < 2) {
                Drop(part.members[0]);
                continue;
            }
            Candidate split{std::move(part.members), candidate.md5};
            split.md5.Update(buffers_[part.buffer].data(), length);
            next->push_back(std::move(split));
        }
        return true;
    }

    // Confirms that every member ends at `size_` and turns the candidate into a set.
    bool Finish(Candidate& candidate, std::vector<ContentSet>* sets) {
        ContentSet set;
        for (auto& member : candidate.members) {
            if (hooks_.cancelled && hooks_.cancelled()) return false;
            uint8_t probe;
            uint32_t got = 1;
            // A file that grew since the walk is no longer the file that was measured.
            if (!Read(member, size_, &probe, 1, &got) || got != 0) {
                Drop(member);
                continue;
            }
            member.file.reset();
            set.members.push_back(member.index);
        }
        for (size_t index : set.members) {
            if (hooks_.fileDone) hooks_.fileDone(index);
        }
        if (set.members.size() < 2) return true;
        set.digest = Md5::ToHex(candidate.md5.Finish());
        sets->push_back(std::move(set));
        return true;
    }

    IFileSystem& fs_;
    const std::vector<std::wstring>& paths_;
    uint64_t size_;
    const SplitHooks& hooks_;
    bool keepOpen_;
    size_t chunk_ = kMaxChunk;
    std::vector<std::vector<uint8_t>> buffers_;
};

}  // namespace

bool SplitByContent(IFileSystem& fs, const std::vector<std::wstring>& paths, uint64_t size,
                    const SplitHooks& hooks, std::vector<ContentSet>* sets) {
    sets->clear();
    if (size == 0 || paths.size() < 2) {
        for (size_t i = 0; i < paths.size(); ++i) {
            if (hooks.fileDone) hooks.fileDone(i);
        }
        return true;
    }
    return Splitter(fs, paths, size, hooks).Run(sets);
}

}  // namespace zyr::dup
