// A scratch folder of real files for scanner tests, with the platform's attributes and links.
#pragma once
#include "duplicates/core/file_system.h"

#include <string>

namespace zyr::dup::test {

class TestTree {
public:
    TestTree();
    ~TestTree();
    TestTree(const TestTree&) = delete;
    TestTree& operator=(const TestTree&) = delete;

    // Paths are relative, with '/' between names.
    void Write(const std::string& relative, const std::string& bytes);
    void MakeFolder(const std::string& relative);
    void Append(const std::string& relative, const std::string& bytes);

    enum class Mark { Hidden, ReadOnly, System, Temporary };
    // Gives `relative` the attribute; false where this platform has none (system and temporary
    // natively). Natively hidden means a name starting with ".": the entry is renamed so.
    bool SetMark(const std::string& relative, Mark mark);
    // A symbolic link at `relative` to `target`; false where links cannot be made.
    bool MakeLink(const std::string& relative, const std::wstring& target);
    void Remove(const std::string& relative);

    // The full path as the file system spells it.
    std::wstring Path(const std::string& relative = "") const;
    // The path as the scanner reports it (lowercased where names ignore case).
    std::wstring Reported(const std::string& relative) const;

private:
    std::wstring root_;
};

// Sets a process environment variable (as ExpandEnvironmentStringsW sees it) for its lifetime;
// null removes it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::wstring* value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    bool hadValue_ = false;
    std::wstring oldValue_;
};

// `count` bytes from a simple generator, different for each seed.
std::string Bytes(size_t count, uint32_t seed);

}  // namespace zyr::dup::test
