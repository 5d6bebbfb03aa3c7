#pragma once
// CResultsList: the results window's list as every front end shows it, with
// no toolkit: one row per event of a run, a preview or an undo (kind, path,
// new name or reason), filtered by kind, and each row as a line of text for
// 复制列表 and 保存为文本.... Appending costs nothing for the rows already
// there, so a list of a hundred thousand entries fills without holding up
// the dialog. UTF-8. Dialog thread only.

#include <cstddef>
#include <string>
#include <vector>

#include "app/run_kind.h"
#include "engine/run/run_state.h"

// The kinds the filter offers after 全部, in its order.
inline constexpr RunEventKind kResultFilterKinds[] = {
    RunEventKind::Rewritten,   RunEventKind::Renamed,      RunEventKind::Skipped,
    RunEventKind::WriteFailed, RunEventKind::RenameFailed, RunEventKind::FolderSkipped,
    RunEventKind::Binary};

// What a row of kind is called in the list of a job of jobKind (将改写 in a
// preview, 已恢复 in an undo).
const char* ResultKindLabel(RunKind jobKind, RunEventKind kind);
// The detail column of an event: " -> new name" and the reason.
std::string ResultDetailText(const CRunEvent& event);
// An event as a line: "已改写：path", with " -> new name" and the reason.
std::string ResultRowText(RunKind jobKind, const CRunEvent& event);
// Whether the event names a file (which can be opened), not a folder.
bool IsFileEvent(RunEventKind kind);
// The folder part of path, without its last separator.
std::string ParentFolderOf(const std::string& path);

class CResultsList {
  public:
    // Empties the list for the entries of a job of kind; the filter shows all.
    void Reset(RunKind kind);
    void Append(const std::vector<CRunEvent>& events);
    // Shows only the events of kind (an int of RunEventKind); -1 shows all.
    void SetFilter(int kind);

    RunKind Kind() const { return m_kind; }
    size_t Rows() const { return m_shown.size(); }
    const CRunEvent& Event(size_t row) const { return m_events[m_shown[row]]; }
    // The columns of row: kind, path, and the new name and reason.
    std::string KindText(size_t row) const;
    std::string PathText(size_t row) const;
    std::string DetailText(size_t row) const;
    // The path the context menu opens for row: a folder renamed for real now
    // goes by its new name.
    std::string OpenablePath(size_t row) const;
    // One row as a line: "已改写：path", with " -> new name" and the reason.
    std::string RowText(size_t row) const;
    // The visible rows, one a line, after counts when it is not empty.
    std::string ListText(const std::string& counts) const;

  private:
    bool Shows(const CRunEvent& e) const {
        return m_filter < 0 || static_cast<int>(e.kind) == m_filter;
    }

    std::vector<CRunEvent> m_events;
    std::vector<size_t> m_shown;  // indexes of the events that pass the filter
    int m_filter = -1;
    RunKind m_kind = RunKind::Run;
};
