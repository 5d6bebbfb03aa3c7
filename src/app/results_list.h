#pragma once
// CResultsList: the results window's list as every front end shows it, with
// no toolkit: one row per event of a run, a preview or an undo (kind, path,
// new name or reason), filtered by kind, and each row as a line of text for
// 复制列表 and 保存为文本...; paths shown below the chosen folder, sorted by a
// column, searched by path, and a preview's files checked or left out.
// Appending costs little for the rows already there (a merge, no re-sort),
// so a list of a hundred thousand entries fills without holding up the
// dialog. UTF-8. Dialog thread only.

#include <array>
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

// The list's columns, in their order.
enum class ResultColumn { Kind, Path, Replacements, Detail };
inline constexpr int kResultColumns = 4;

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

// A path as the list shows it: below folder (ending in a separator) when it
// lies there, quoted as the summary quotes names that would not read back.
std::string ShownResultPath(const std::string& folder, const std::string& path);
// A filter entry: the label of kind (an int of RunEventKind; -1: 全部) in
// a job of jobKind, with its count: "将改写（12）".
std::string ResultFilterEntry(RunKind jobKind, int kind, size_t count);
// Whether a's row comes before b's when sorted upwards by column: kinds in
// the order of RunEventKind (then by path), paths as the bytes of the name
// go with a separator first, so that a folder's entries follow it together;
// replacements by number.
bool ResultLess(ResultColumn column, const CRunEvent& a, const CRunEvent& b);
// Whether text holds search, ignoring the case of ASCII letters; every text
// holds the empty search.
bool HoldsText(const std::string& text, const std::string& search);
// text shortened in the middle with "…" so that it takes at most width
// columns, a wide (East Asian) character taking two; the start and the end
// (the file's name) stay in sight.
std::string ElideMiddle(const std::string& text, size_t width);
// Whether a preview's row offers a check box: the files it would rewrite.
inline bool IsCheckableRow(RunKind jobKind, RunEventKind kind) {
    return jobKind == RunKind::Preview && kind == RunEventKind::Rewritten;
}
// The files a run of a preview keeps: the checkable events below folder
// whose unchecked mark (by event) is not set, relative to folder as the
// events spell them; leftOut counts the unchecked ones.
std::vector<std::string> KeptFiles(RunKind jobKind, const std::vector<CRunEvent>& events,
                                   const std::vector<bool>& unchecked, const std::string& folder,
                                   size_t& leftOut);

class CResultsList {
  public:
    // Empties the list for the entries of a job of kind on folder (which
    // paths are shown below; empty: full paths); the filter and the search
    // show all, the sort stays as the user chose it.
    void Reset(RunKind kind, const std::string& folder = {});
    void Append(const std::vector<CRunEvent>& events);
    // Shows only the events of kind (an int of RunEventKind); -1 shows all.
    void SetFilter(int kind);
    // Shows only the rows whose shown path holds text; empty shows all.
    void SetSearch(const std::string& text);
    // Orders the rows by column, upwards or downwards; ties keep the walk's
    // order. By path upwards at first.
    void SortBy(ResultColumn column, bool ascending);
    ResultColumn SortColumn() const { return m_sortColumn; }
    bool SortAscending() const { return m_bAscending; }

    RunKind Kind() const { return m_kind; }
    size_t Rows() const { return m_shown.size(); }
    const CRunEvent& Event(size_t row) const { return m_events[m_shown[row]]; }
    // The events of kind (an int of RunEventKind; -1: all), filter or not.
    size_t CountOf(int kind) const;
    // The filter's entry for kind (-1: 全部) with its count: "将改写（12）".
    std::string FilterEntryText(int kind) const;
    // The columns of row: kind, path below the folder, occurrences
    // replaced (empty for none), and the new name and reason.
    std::string KindText(size_t row) const;
    std::string PathText(size_t row) const;
    std::string ReplacementsText(size_t row) const;
    std::string DetailText(size_t row) const;
    // The full path of row, for its tooltip.
    std::string FullPathText(size_t row) const;

    // A preview's files to rewrite carry a check box, checked at first.
    bool Checkable(size_t row) const { return IsCheckableRow(m_kind, Event(row).kind); }
    bool Checked(size_t row) const { return !m_unchecked[m_shown[row]]; }
    void SetChecked(size_t row, bool checked) { m_unchecked[m_shown[row]] = !checked; }
    // The files a run of this preview keeps, and how many were left out.
    std::vector<std::string> KeptFiles(size_t& leftOut) const {
        return ::KeptFiles(m_kind, m_events, m_unchecked, m_folder, leftOut);
    }
    // The path the context menu opens for row: a folder renamed for real now
    // goes by its new name.
    std::string OpenablePath(size_t row) const;
    // One row as a line: "已改写：path", with " -> new name" and the reason.
    std::string RowText(size_t row) const;
    // The visible rows, one a line, after counts when it is not empty.
    std::string ListText(const std::string& counts) const;

  private:
    bool Shows(const CRunEvent& e) const;
    // Whether event i's row comes before event j's in the order chosen.
    bool Before(size_t i, size_t j) const;
    // Fills m_shown again from the filter, the search and the order.
    void Refill();

    std::vector<CRunEvent> m_events;
    std::vector<size_t> m_shown;    // indexes of the events shown, in the order shown
    std::vector<bool> m_unchecked;  // by event: a check box the user cleared
    std::array<size_t, kRunEventKinds> m_counts{};  // by RunEventKind
    int m_filter = -1;
    std::string m_search;
    ResultColumn m_sortColumn = ResultColumn::Path;
    bool m_bAscending = true;
    RunKind m_kind = RunKind::Run;
    std::string m_folder;
};
