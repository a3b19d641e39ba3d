// An IDefragParent for tests: records every call, owns what it is handed, and can ask to stop
// after a number of questions.
#pragma once
#include "engine/defrag_parent.h"
#include "engine/volume_analysis.h"

#include <memory>
#include <string>
#include <vector>

namespace zyr::test {

class RecordingParent : public engine::IDefragParent {
public:
    struct Event {
        std::string call;  // "started", "finished", "progress"
        int value = 0;     // start argument, result code or progress kind
        int percent = 0;
        std::wstring path;
        const void* data = nullptr;
    };
    std::vector<Event> events;
    std::unique_ptr<engine::VolumeAnalysis> analysis;  // kind 1
    std::vector<std::unique_ptr<engine::MovedExtents>> moved;  // kinds 2 and 3
    int stopAfter = -1;  // answer yes from this many questions on; -1 never
    int stopAfterReports = -1;  // answer yes once this many kind 0, 2 or 3 reports were made
    int questions = 0;
    int reports = 0;

    void OnJobStarted(int zero) override { events.push_back({"started", zero}); }
    void OnJobFinished(int result) override { events.push_back({"finished", result}); }
    void OnProgress(const wchar_t* path, int percent, int kind, void* data) override {
        events.push_back({"progress", kind, percent, path ? path : L"", data});
        if (kind == 0 || kind == 2 || kind == 3) ++reports;
        if (kind == engine::kProgressAnalysisCreated) analysis.reset(static_cast<engine::VolumeAnalysis*>(data));
        if (kind == engine::kProgressFileDefragmented || kind == engine::kProgressFileConsolidated)
            moved.emplace_back(static_cast<engine::MovedExtents*>(data));
    }
    int IsStopRequested() override {
        return (stopAfter >= 0 && questions++ >= stopAfter) || (stopAfterReports >= 0 && reports >= stopAfterReports);
    }

    std::vector<Event> OfKind(int kind) const {
        std::vector<Event> out;
        for (const auto& e : events)
            if (e.call == "progress" && e.value == kind) out.push_back(e);
        return out;
    }
    std::vector<std::wstring> PathsOfKind(int kind) const {
        std::vector<std::wstring> out;
        for (const auto& e : OfKind(kind)) out.push_back(e.path);
        return out;
    }
    int FinishedWith() const {
        for (const auto& e : events)
            if (e.call == "finished") return e.value;
        return -100;
    }
};

}  // namespace zyr::test
