#include "app/results_list.h"

#include <algorithm>

#include "app/app_texts.h"
#include "engine/report/run_summary.h"
#include "platform/paths.h"

const char* ResultKindLabel(RunKind jobKind, RunEventKind kind) {
    // Rows of a run, of a preview and of an undo, by RunEventKind.
    static constexpr const char* kLabels[3][kRunEventKinds] = {
        {app_text::kKindRewritten, app_text::kKindSkipped, app_text::kKindWriteFailed,
         app_text::kKindRenamed, app_text::kKindRenameFailed, app_text::kKindFolderSkipped,
         app_text::kKindBinary, app_text::kKindLink},
        {app_text::kKindWouldRewrite, app_text::kKindSkipped, app_text::kKindWriteFailed,
         app_text::kKindWouldRename, app_text::kKindRenameFailed, app_text::kKindFolderSkipped,
         app_text::kKindBinary, app_text::kKindLink},
        {app_text::kKindRestored, app_text::kKindNotRestored, app_text::kKindWriteFailed,
         app_text::kKindRenamedBack, app_text::kKindNotRenamedBack, app_text::kKindFolderSkipped,
         app_text::kKindBinary, app_text::kKindLink},
    };
    return kLabels[static_cast<int>(jobKind)][static_cast<int>(kind)];
}

std::string ResultDetailText(const CRunEvent& e) {
    std::string detail;
    if (!e.newPath.empty())
        detail = "-> " + NameForDisplay(e.newPath);
    if (!e.reason.empty())
        detail += (detail.empty() ? "" : " ") + e.reason;
    return detail;
}

std::string ResultRowText(RunKind jobKind, const CRunEvent& e) {
    std::string text =
        ResultKindLabel(jobKind, e.kind) + std::string("：") + NameForDisplay(e.path);
    if (!e.newPath.empty())
        text += " -> " + NameForDisplay(e.newPath);
    if (!e.reason.empty())
        text += "（" + e.reason + "）";
    return text;
}

bool IsFileEvent(RunEventKind kind) {
    return kind == RunEventKind::Rewritten || kind == RunEventKind::Skipped ||
           kind == RunEventKind::WriteFailed || kind == RunEventKind::Binary;
}

std::string ParentFolderOf(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && kPathSeparators.find(trimmed.back()) != std::string_view::npos)
        trimmed.pop_back();
    const size_t cut = trimmed.find_last_of(kPathSeparators);
    if (cut == std::string::npos)
        return ".";
    // The root keeps its separator ("/", "C:\").
    const bool root = cut == 0 || (cut == 2 && trimmed[1] == ':');
    return trimmed.substr(0, root ? cut + 1 : cut);
}

void CResultsList::Reset(RunKind kind) {
    m_events = {};
    m_shown = {};
    m_filter = -1;
    m_kind = kind;
}

void CResultsList::Append(const std::vector<CRunEvent>& events) {
    for (const CRunEvent& e : events) {
        if (Shows(e))
            m_shown.push_back(m_events.size());
        m_events.push_back(e);
    }
}

void CResultsList::SetFilter(int kind) {
    m_filter = kind;
    m_shown.clear();
    for (size_t i = 0; i < m_events.size(); ++i) {
        if (Shows(m_events[i]))
            m_shown.push_back(i);
    }
}

std::string CResultsList::KindText(size_t row) const {
    return ResultKindLabel(m_kind, Event(row).kind);
}

std::string CResultsList::PathText(size_t row) const {
    return NameForDisplay(Event(row).path);
}

std::string CResultsList::DetailText(size_t row) const {
    return ResultDetailText(Event(row));
}

std::string CResultsList::OpenablePath(size_t row) const {
    const CRunEvent& e = Event(row);
    const bool renamed = e.kind == RunEventKind::Renamed && m_kind == RunKind::Run;
    return renamed ? e.newPath : e.path;
}

std::string CResultsList::RowText(size_t row) const {
    return ResultRowText(m_kind, Event(row));
}

std::string CResultsList::ListText(const std::string& counts) const {
    std::string text = counts.empty() ? std::string() : counts + "\n";
    for (size_t row = 0; row < Rows(); ++row)
        text += RowText(row) + "\n";
    return text;
}
