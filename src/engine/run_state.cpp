#include "engine/run_state.h"

#include <algorithm>

int CRunResult::Count(RunEventKind kind) const {
    return static_cast<int>(std::count_if(events.begin(), events.end(),
                                          [kind](const CRunEvent& e) { return e.kind == kind; }));
}

bool CRunResult::HasProblems() const {
    return !refusal.empty() || std::any_of(events.begin(), events.end(), [](const CRunEvent& e) {
        return e.kind == RunEventKind::Skipped || e.kind == RunEventKind::WriteFailed ||
               e.kind == RunEventKind::RenameFailed || e.kind == RunEventKind::FolderSkipped;
    });
}
