// The job file reader: fixed-length section, then counted strings, data blocks and triggers.
#include "tests/schedule/JobFile.h"

#include <cstring>

namespace zyr::schedule::testing {
namespace {

class Reader {
public:
    explicit Reader(const std::vector<BYTE>& bytes) : bytes_(bytes) {}
    bool Word(WORD& value) { return Take(&value, 2); }
    bool Dword(DWORD& value) { return Take(&value, 4); }
    bool Skip(size_t n) {
        if (bytes_.size() - pos_ < n) return false;
        pos_ += n;
        return true;
    }
    bool Seek(size_t offset) {
        if (offset > bytes_.size()) return false;
        pos_ = offset;
        return true;
    }
    // A character count (terminating zero included), then the characters.
    bool String(std::wstring& text) {
        WORD count = 0;
        if (!Word(count)) return false;
        if (bytes_.size() - pos_ < count * 2u) return false;
        text.assign(count, L'\0');
        std::memcpy(text.data(), bytes_.data() + pos_, count * 2u);
        pos_ += count * 2u;
        text.resize(wcsnlen(text.c_str(), text.size()));
        return true;
    }
    bool Take(void* out, size_t n) {
        if (bytes_.size() - pos_ < n) return false;
        std::memcpy(out, bytes_.data() + pos_, n);
        pos_ += n;
        return true;
    }

private:
    const std::vector<BYTE>& bytes_;
    size_t pos_ = 0;
};

}  // namespace

bool ReadJobFile(const std::wstring& path, JobFile& job) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<BYTE> bytes(64 * 1024);
    DWORD read = 0;
    BOOL ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    if (!ok) return false;
    bytes.resize(read);

    Reader r(bytes);
    // Fixed-length section: flags at offset 0x30, 68 bytes in all.
    if (!r.Seek(0x30) || !r.Dword(job.flags) || !r.Seek(68)) return false;
    WORD runningInstances = 0, userData = 0, reservedData = 0, triggerCount = 0;
    if (!r.Word(runningInstances) || !r.String(job.application) || !r.String(job.parameters) ||
        !r.String(job.workingDirectory) || !r.String(job.author) || !r.String(job.comment))
        return false;
    if (!r.Word(userData) || !r.Skip(userData) || !r.Word(reservedData) || !r.Skip(reservedData)) return false;
    if (!r.Word(triggerCount)) return false;
    for (WORD i = 0; i < triggerCount; ++i) {
        TASK_TRIGGER t = {};
        if (!r.Take(&t, sizeof(t)) || t.cbTriggerSize != sizeof(t)) return false;
        job.triggers.push_back(t);
    }
    return true;
}

}  // namespace zyr::schedule::testing
