#pragma once
// CResultsFlow: what a dialog shows of its jobs in its results window, the
// same in every front end. The window takes the events of each run, preview
// or undo as they come, opens by itself after a preview and after a job that
// skipped or failed something (such a run must not end looking clean), and
// offers the undo of a real run that changed something. Before any job of
// the session, 结果 shows what the journal of the folder in the edit says
// its last run changed, and offers to undo that. Dialog thread only, except
// the observer, which the walk's thread feeds.

#include <string>
#include <vector>

#include "app/run_events_queue.h"
#include "app/run_view.h"

// The results window as the flow drives it; each front end implements it.
class CResultsView {
  public:
    virtual ~CResultsView() = default;
    // A new job: the list empties and undo is no longer offered; job is
    // kept for the differences of a preview and for the save's folder.
    virtual void Begin(RunKind kind, const CJob& job) = 0;
    virtual void Feed(const std::vector<CRunEvent>& events) = 0;
    // The job's counts line (or why it did nothing), shown on top.
    virtual void Finish(const std::string& counts) = 0;
    virtual void SetUndoOffered(bool offered) = 0;
    // 执行 under a preview that ran to its end: runs what it showed.
    virtual void SetRunOffered(bool /*offered*/) {}
    // Sized to the screen when first shown, shown and raised.
    virtual void ShowOnTop() = 0;
};

class CResultsFlow {
  public:
    explicit CResultsFlow(CResultsView& view) : m_view(view) {}

    // The run controller's view calls these from its own.
    CRunObserver* Observer();
    void OnRunStarted(RunKind kind, const CJob& job);
    void OnRunProgress();
    void OnRunEnded(const CRunEnd& end);

    // 结果: the window of the session's last job, or else the last run on
    // folder (spelt as a run spells it) from its journal. False when there
    // is nothing to show (any more).
    bool ShowResults(const std::string& folder);
    // Whether 结果 has something to show for folder.
    bool HasResults(const std::string& folder) const;
    // The folder whose run the window offers to undo; empty: none.
    const std::string& UndoFolder() const { return m_undoFolder; }

  private:
    CResultsView& m_view;
    CRunEventsQueue m_events;  // the job's events on their way to the window
    bool m_bHadJob = false;    // a run, preview or undo has started
    std::string m_undoFolder;
};
