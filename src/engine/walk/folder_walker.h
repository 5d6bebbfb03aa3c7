#pragma once
// CFolderWalker: the walk over the chosen folder. Each folder is listed
// completely before any entry is handled; selected files go to the file
// handler with the folder they lie in; subfolders are walked depth-first and
// renamed by the rename rules once their contents have been handled.
// Symbolic links are counted and passed over, version-control folders are
// never entered, and no folder is walked twice. Runs on the worker thread.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/report/reason_texts.h"
#include "engine/run/job.h"
#include "engine/run/run_state.h"
#include "engine/walk/folder_renamer.h"
#include "platform/code_page.h"
#include "platform/dir.h"

class CFolderWalker {
  public:
    // Called for each selected file: its folder (shared: a file may be
    // handled after the walk has left its folder), its name there, and its
    // full path for messages only.
    using FileHandler = std::function<void(const std::shared_ptr<const CDir>& dir,
                                           const CDirEntry& entry, const std::string& displayPath)>;
    // Receives the folder events (renamed, not renamed, skipped) in walk order.
    using EventHandler = std::function<void(CRunEvent event)>;

    // Links passed over and a stop go to result; folder events to onEvent.
    CFolderWalker(const CJob& job, CFolderRenamer& renamer, CRunResult& result,
                  const std::atomic<bool>* stopWord, EventHandler onEvent);

    // Walks folderPath as if it were the chosen folder; with the job's list
    // of files, hands out those files below it instead.
    void WalkFolder(const std::string& folderPath, const FileHandler& onFile);

    // 1 when a file of this name is selected by the job's extensions (the
    // part between the first and second dot, compared exactly; "*" selects
    // all) or by a glob that needs only the name, else 0.
    int MatchExtension(const std::string& fileName) const {
        return Selects(fileName, fileName) ? 1 : 0;
    }
    // Whether a file is selected by the job's extensions or by one of its
    // globs. relativePath: the file's path below the chosen folder, "/"
    // between names, in the working code page.
    bool Selects(const std::string& fileName, const std::string& relativePath) const;
    // Renames folderName inside parent by the first rename rule for it.
    void RenameSubfolder(const CDir& parent, const std::string& parentPath,
                         const CPlatformName& folderName);

    // Called before each directory entry is handled, if set.
    std::function<void(const std::string& entryPath)> m_entryHook;

  private:
    struct CFrame {
        std::shared_ptr<CDir> dir = std::make_shared<CDir>();
        std::string path;      // ends in a path separator
        CPlatformName name;    // in the parent folder; empty for the chosen folder
        std::string relative;  // below the chosen folder in the working code page, ending in "/"

        std::vector<CDirEntry> entries;
        size_t next = 0;
    };

    bool StopRequested() const;
    // Whether an entry matches one of the job's excludes.
    bool Excluded(const std::string& name, const std::string& relativePath, bool folder) const;
    // The job's list of files instead of a walk: each handed out once.
    void WalkList(CFrame& root, const FileHandler& onFile);
    // Opens and lists a folder; false (with the event recorded) when it
    // cannot be walked or was walked before.
    bool Enter(CFrame& frame, CIoResult opened);
    void Handle(const CFrame& frame, const CDirEntry& entry, const FileHandler& onFile);
    void RecordFolderSkipped(const std::string& path, Reason reason, int osError);

    const CJob& m_job;
    const CCodePage m_codePage;  // the job's, which the rules are written in
    CFolderRenamer& m_renamer;
    CRunResult& m_result;
    const std::atomic<bool>* m_pStopWord;
    EventHandler m_onEvent;
    std::vector<CFrame> m_stack;  // the folders open from the chosen one down
    std::unordered_set<CNodeId, CNodeIdHash> m_walked;
    std::unordered_set<CNodeId, CNodeIdHash> m_protected;
    std::unordered_set<CNodeId, CNodeIdHash> m_protectedFolders;
    std::unordered_set<std::string> m_kept;  // with keepOnly: the kept files' display paths
    bool m_bSelectAll;                       // "*" is among the extensions
};
