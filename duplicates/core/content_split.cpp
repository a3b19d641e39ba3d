// Side-by-side comparison of candidate files with one MD5 per distinct content.
#include "duplicates/core/content_split.h"

#include "duplicates/core/md5.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace zyr::dup {
namespace {

constexpr size_t kMaxChunk = 256 << 10;
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
    Splitter(IFileSystem& fs, const std::vector<std::wstring>& paths, uint64_t size, const SplitHooks& hooks,
             ChunkBuffers& buffers)
        : fs_(fs), paths_(paths), size_(size), hooks_(hooks), keepOpen_(paths.size() <= kMaxOpenFiles),
          buffers_(buffers) {
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
        uint64_t fingerprint;
        bool hasFingerprint;
    };

    // The part whose bytes equal `data`, or null. The first part is compared directly (files
    // of a set mostly agree); past it, a fingerprint keeps the work linear when many files
    // differ in the same chunk, and bytes are compared only where fingerprints agree.
    Part* FindPart(std::vector<Part>& parts, const uint8_t* data, uint32_t length) {
        if (parts.empty()) return nullptr;
        if (std::memcmp(buffers_[parts[0].buffer].data.get(), data, length) == 0) return &parts[0];
        if (parts.size() == 1) return nullptr;
        const uint64_t fingerprint = Fingerprint(data, length);
        for (size_t i = 1; i < parts.size(); ++i) {
            Part& part = parts[i];
            if (!part.hasFingerprint) {
                part.fingerprint = Fingerprint(buffers_[part.buffer].data.get(), length);
                part.hasFingerprint = true;
            }
            if (part.fingerprint == fingerprint &&
                std::memcmp(buffers_[part.buffer].data.get(), data, length) == 0) {
                return &part;
            }
        }
        return nullptr;
    }

    // A fast 64-bit mix of the bytes; only a filter before the exact comparison.
    static uint64_t Fingerprint(const uint8_t* data, uint32_t length) {
        uint64_t h[4] = {0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full, 0x165667B19E3779F9ull, 0x27D4EB2F165667C5ull};
        uint32_t at = 0;
        for (; at + 32 <= length; at += 32) {
            for (int lane = 0; lane < 4; ++lane) {
                uint64_t word;
                std::memcpy(&word, data + at + 8 * lane, 8);
                h[lane] = (h[lane] ^ word) * 0x100000001B3ull;
                h[lane] ^= h[lane] >> 29;
            }
        }
        uint64_t result = h[0] ^ (h[1] * 3) ^ (h[2] * 5) ^ (h[3] * 7) ^ length;
        for (; at < length; ++at) result = (result ^ data[at]) * 0x100000001B3ull;
        return result;
    }

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

    uint8_t* Buffer(size_t i) {
        if (buffers_.size() <= i) buffers_.resize(i + 1);
        ChunkBuffer& buffer = buffers_[i];
        if (buffer.size < chunk_) {
            buffer.data.reset(new uint8_t[kMaxChunk]);  // uninitialised: always filled by a read
            buffer.size = kMaxChunk;
        }
        return buffer.data.get();
    }

    // Reads one chunk of every member and splits the candidate by what was read.
    bool SplitChunk(Candidate& candidate, uint64_t offset, uint32_t length, std::vector<Candidate>* next) {
        std::vector<Part> parts;
        for (auto& member : candidate.members) {
            if (hooks_.cancelled && hooks_.cancelled()) return false;
            const size_t scratch = parts.size();
            uint8_t* data = Buffer(scratch);
            uint32_t got = 0;
            if (!Read(member, offset, data, length, &got) || got != length) {
                Drop(member);
                continue;
            }
            Part* same = FindPart(parts, data, length);
            if (same) {
                same->members.push_back(std::move(member));
            } else {
                parts.push_back({scratch, {}, 0, false});
                parts.back().members.push_back(std::move(member));
            }
        }
        for (auto& part : parts) {
            if (part.members.size() < 2) {
                Drop(part.members[0]);
                continue;
            }
            Candidate split{std::move(part.members), candidate.md5};
            split.md5.Update(buffers_[part.buffer].data.get(), length);
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
    ChunkBuffers& buffers_;  // kept by the calling thread: no allocation or clearing per group
};

}  // namespace

bool SplitByContent(IFileSystem& fs, const std::vector<std::wstring>& paths, uint64_t size,
                    const SplitHooks& hooks, ChunkBuffers* buffers, std::vector<ContentSet>* sets) {
    sets->clear();
    if (size == 0 || paths.size() < 2) {
        for (size_t i = 0; i < paths.size(); ++i) {
            if (hooks.fileDone) hooks.fileDone(i);
        }
        return true;
    }
    return Splitter(fs, paths, size, hooks, *buffers).Run(sets);
}

}  // namespace zyr::dup
