// Reading a .job file as it lies in the Tasks folder (the documented job file format).
#pragma once
#include <windows.h>
#include <mstask.h>

#include <string>
#include <vector>

namespace zyr::schedule::testing {

struct JobFile {
    std::wstring application, parameters, workingDirectory, author, comment;
    DWORD flags = 0;
    std::vector<TASK_TRIGGER> triggers;
};

// False when the file is missing or not a job file.
bool ReadJobFile(const std::wstring& path, JobFile& job);

}  // namespace zyr::schedule::testing
