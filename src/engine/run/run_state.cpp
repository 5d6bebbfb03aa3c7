#include "engine/run/run_state.h"

namespace {

bool IsProblem(RunEventKind kind) {
    return kind == RunEventKind::Skipped || kind == RunEventKind::WriteFailed ||
           kind == RunEventKind::RenameFailed || kind == RunEventKind::FolderSkipped;
}

}  // namespace

void CRunResult::Record(CRunEvent event) {
    ++m_counts[static_cast<size_t>(event.kind)];
    if (event.kind == RunEventKind::LinkPassedOver)
        ++linksPassedOver;
    if (IsProblem(event.kind))
        events.push_back(std::move(event));
}

int CRunResult::Count(RunEventKind kind) const {
    return m_counts[static_cast<size_t>(kind)];
}

bool CRunResult::HasProblems() const {
    return !refusal.empty() || !failure.empty() || !events.empty();
}
