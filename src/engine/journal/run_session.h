#pragma once
// CRunSession: what a run or an undo does with the journals before it
// touches the chosen folder, and holds while it runs: the folder's lock (not
// for dry runs), the journals' folder kept out of the walk, the clean-up
// after an interrupted previous run, and the run's own journal. Lives on the
// worker thread for the length of one run.

#include <memory>
#include <string>

#include "engine/journal/journal_store.h"
#include "engine/journal/run_journal.h"
#include "engine/run/job.h"
#include "engine/run/run_state.h"
#include "platform/journal_files.h"
#include "platform/message_catalog.h"

// What a run over a damaged journal is told besides DamageText().
inline constexpr const char* kDamagedRunHint =
    N_("它记下的改动已无法自动撤销，本次执行不会替换它。请先查看它，或用 vexa-cli --forget "
       "删除它，然后再执行。");

class CRunSession {
  public:
    // Prepares job (the worker's own copy); false, with result.refusal set,
    // when the run must not start.
    bool Begin(CJob& job, CRunResult& result);
    // Closes the run's journal; its lock goes with the session.
    void End();

    // The run's journal; null for dry runs, undo, or without a journal folder.
    CRunJournal* Journal() { return m_journal.get(); }
    // The chosen folder's journal folder, and its last run; HasPrevious is
    // false when there is none.
    const CDir& Folder() const { return m_folder; }
    bool HasPrevious() const { return m_bPrevious; }
    const CJournalContents& Previous() const { return m_previous; }
    CJournalStore& Store() { return m_store; }
    // "撤销日志已损坏（第 N 行）：" and the journal's folder, for a damaged Previous().
    std::string DamageText() const;

  private:
    bool Refuse(CRunResult& result, std::string text);
    // Removes what an interrupted run or undo left: the temporary files its
    // records name, and originals it kept but never needed.
    void RemoveLeftovers(const std::string& folderPath);
    void RemoveUnusedOriginals(const CDir& root);

    CJournalStore m_store;
    CFileLock m_lock;
    CDir m_folder;
    std::string m_journalPath;  // the chosen folder's journal folder
    bool m_bPrevious = false;
    CJournalContents m_previous;
    std::unique_ptr<CRunJournal> m_journal;
};

// The folder at rel (folders separated by "/") below root, each step opened
// without following a link: dir points at root for an empty rel, else at
// holder, which keeps it open.
CIoResult OpenRelative(const CDir& root, const std::string& rel, CDir& holder, const CDir*& dir);
// Splits a relative file path into its folder part and its name.
void SplitRelative(const std::string& rel, std::string& folder, std::string& name);
