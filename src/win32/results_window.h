#pragma once
// CResultsWindow ("结果 - Korvane"), a window class of its own: what the
// last run, preview or undo did, one row per rewritten file, renamed folder,
// skipped or failed file and rename with its reason (a virtual list view, so
// a hundred thousand rows cost nothing to add), paths below the chosen
// folder shortened in the middle (the full path as the tip), sorted by the
// column clicked; the counts on top, a filter by kind with its counts, a
// search by path, a context menu that opens a file or its folder, the list
// copied or saved as text. After a preview the selected file's differences
// show below the list in a rich edit control, each file it would rewrite
// has a check box, and 执行 runs the preview on the files left checked;
// after a real run 撤销本次执行 offers to undo it.
//
// Modeless, owned by the dialog, which keeps one; closing it hides it.
// Dialog thread only.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/previewed_run.h"
#include "app/results_flow.h"
#include "app/results_list.h"
#include "engine/run/job.h"
#include "win32/results_list_view.h"

class CResultsWindow : public CResultsView {
  public:
    // open(path, folder) opens a file or folder the user picked; undo is
    // 撤销本次执行.
    CResultsWindow(HWND owner, std::function<void(const std::string&, bool)> open,
                   std::function<void()> undo);
    ~CResultsWindow() override;
    CResultsWindow(const CResultsWindow&) = delete;
    CResultsWindow& operator=(const CResultsWindow&) = delete;

    HWND Handle() const { return m_hWnd; }

    void Begin(RunKind kind, const CJob& job) override;
    void Feed(const std::vector<CRunEvent>& events) override;
    void Finish(const std::string& counts) override;
    void SetUndoOffered(bool offered) override;
    void SetRunOffered(bool offered) override;
    void ShowOnTop() override;

    // 执行 pressed: the preview shown, with the files left checked.
    std::function<void(const CPreviewedRun&)> m_runPreviewed;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void Layout();
    void FillFilter();
    // The filter's entries with the counts so far.
    void CountFilterEntries();
    void OnRun();
    CResultsList& Rows() { return m_pListView->Rows(); }
    const CResultsList& Rows() const { return m_pListView->Rows(); }
    void OnCommand(int id, int code);
    LRESULT OnNotify(const NMHDR& header);
    void ShowContextMenu(LPARAM at);
    void OnSelectionChanged();
    void OnSave();

    HWND m_hOwner;
    HWND m_hWnd = nullptr;
    HWND m_hCounts = nullptr;
    HWND m_hFilter = nullptr;
    HWND m_hList = nullptr;
    HWND m_hDiff = nullptr;
    HWND m_hUndo = nullptr;
    HWND m_hRun = nullptr;
    HWND m_hSearch = nullptr;
    std::function<void(const std::string&, bool)> m_open;
    std::function<void()> m_undo;
    std::unique_ptr<CResultsListView> m_pListView;  // the list's rows and how they show
    CJob m_job;
    std::string m_counts;       // the job's counts once it has ended; empty while it runs
    std::string m_countsShown;  // what the counts line says now
};
