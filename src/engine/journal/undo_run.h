#pragma once
// CUndoRun: puts back what the last run on a folder changed, newest change
// first. A file gets its original back only while it is still exactly what
// the run made of it (identity, size and hash of its bytes), and only an
// original whose bytes still hash to what the run recorded; a folder gets
// its old name back only while its new name still leads to it and the old
// name is free. Anything changed since is left alone and reported, so an
// undo never overwrites a later change; a mode changed since the run is
// kept. A file that already holds its original's bytes counts as put back.
// A dry run reports what it would do. The events and counts are a run's:
// restored files count as rewritten, folders renamed back as renamed, files
// already as they were as unchanged.

#include <atomic>
#include <functional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/journal/journal_format.h"
#include "engine/report/reason_texts.h"
#include "engine/run/run_state.h"
#include "platform/dir.h"
#include "platform/file_io.h"
#include "platform/journal_files.h"

class CUndoRun {
  public:
    // folderPath: the chosen folder as given (ending in "/"); journalFolder:
    // its journal folder, locked by the caller unless dryRun.
    CUndoRun(std::string folderPath, const CDir& journalFolder, const CJournalContents& journal,
             bool dryRun, CRunResult& result);

    // False when the chosen folder is not the one the journal belongs to;
    // onFile is called before each file is looked at.
    bool Run(const std::atomic<bool>* stopWord, const std::function<void()>& onFile);

    // Where each event goes (it must count it in the result); null: the
    // result itself.
    std::function<void(CRunEvent)> m_onEvent;

  private:
    // Records each temporary file a restore makes in the tree before it is
    // named, so that the clean-up after a kill finds it.
    class CTempRecorder final : public CReplaceJournal {
      public:
        explicit CTempRecorder(const CDir& journalFolder) : m_journalFolder(journalFolder) {}
        CIoResult KeepOriginal(const CDir&, const CPlatformName&, const CFileStamp&,
                               bool& linked) override;
        CIoResult RecordReplace(const CNodeId& newId, const CPlatformName& tempName) override;
        void DropOriginal() override {}
        CJournalEntry m_entry;  // the file in hand

      private:
        const CDir& m_journalFolder;
        CAppendFile m_log;
    };

    void UndoFile(const CJournalEntry& e);
    void UndoFolder(const CJournalEntry& e);
    // Whether the file, as now and holding bytes, is the run's original again.
    bool IsOriginal(const CJournalEntry& e, const CFileStamp& now, std::string_view bytes) const;
    // Whether the kept file name in dir hashes to what the run recorded.
    bool KeptIntact(const CDir& dir, const CJournalName& name, const CJournalEntry& e);
    // The folder at rel as it is now, after the renames simulated so far.
    CIoResult Locate(const std::string& rel, CDir& holder, const CDir*& dir) const;
    std::string Translate(const std::string& rel) const;
    CIoResult RestoreLink(const CDir& keep, const CJournalName& keepName, const CFileStamp& kept,
                          const CDir& dir, const CJournalName& name, const CFileStamp& now);
    CIoResult RestoreCopy(const CJournalEntry& e, const CDir& keep, const CJournalName& keepName,
                          const CDir& dir, const CJournalName& name, const CFileStamp& now,
                          bool& damaged);
    void Event(RunEventKind kind, std::string path, std::string newPath, Reason reason,
               int osError = 0);

    const std::string m_folderPath;
    const CDir& m_journalFolder;
    const CJournalContents& m_journal;
    const bool m_bDryRun;
    CRunResult& m_result;
    CDir m_root, m_links, m_copies;
    CTempRecorder m_temps;
    std::string m_buffer;  // pieces of a kept original, read for its hash
    // Dry run: where a folder renamed back in pretence really is now, and
    // the real paths of the names those renames have freed.
    std::vector<std::pair<std::string, std::string>> m_moved;
    std::unordered_set<std::string> m_freed;
};
