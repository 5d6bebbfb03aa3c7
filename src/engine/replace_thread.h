#pragma once
// CReplaceThread: the worker object. It holds the per-run fields and runs a
// whole job on one thread: the walk over the folder tree, the rewrite of each
// selected file and the renaming of subfolders. It reads g_jobTables and
// g_pCore and reports only through its notification target and m_result.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>

#include "engine/rule_matcher.h"
#include "engine/run_state.h"

class CCodePage;
class CReplaceThread;

// Handed to the worker for one run. The owner allocates it; the thread
// procedure releases it when the run ends.
struct JobParams {
    CNotifyTarget* notify = nullptr;              // receives WM_JOB_PROGRESS and WM_JOB_DONE
    CReplaceThread* worker = nullptr;             // filled in by the worker's constructor
    const std::atomic<bool>* stopWord = nullptr;  // true means "STOP"
};

class CReplaceThread {
  public:
    using ThreadProc = unsigned (*)(JobParams* params);

    // A worker that runs on the calling thread (command line, tests).
    CReplaceThread() = default;
    // A worker for proc on a thread of its own; stores itself into params.
    CReplaceThread(ThreadProc proc, JobParams* params);
    // Joins the thread if one was started.
    ~CReplaceThread();
    CReplaceThread(const CReplaceThread&) = delete;
    CReplaceThread& operator=(const CReplaceThread&) = delete;

    // Starts proc(params) on a new thread; false when no thread could be made.
    bool CreateThread();
    // Waits for the thread to end; no effect when none runs.
    void Join();

    // The whole run: resets the per-run fields, walks a copy of
    // g_jobTables.folderPath, releases the text buffer, posts WM_JOB_DONE. Returns 1.
    int RunJob(JobParams* params);

    void WalkFolder(const std::string& folderPath);
    int MatchExtension(const std::string& fileName);
    void RenameSubfolder(const std::string& parentPath, const std::string& folderName);
    void ProcessFile(const std::string& path);

    // --- per-run fields ---
    CNotifyTarget* m_hNotify = nullptr;
    const std::atomic<bool>* m_pStopWord = nullptr;
    std::u16string m_wideText;  // decoded text of the current file
    int m_wideLen = 0;          // 16-bit units of m_wideText to convert
    int m_fileCount = 0;        // files selected so far in this run, the current one included
    TextEncoding m_encoding = EncAnsi;

    // --- set by the owner before a run, read by the worker ---
    // Read and apply the rules in memory, simulate the renames; write nothing.
    bool m_bDryRun = false;
    // Tests only: called on the worker thread before each directory entry is handled.
    std::function<void(const std::string& entryPath)> m_entryHook;

    // --- filled by the worker; read by the owner only after the run ---
    CRunResult m_result;

  private:
    bool StopRequested() const {
        return m_pStopWord && m_pStopWord->load(std::memory_order_relaxed);
    }
    void Post(unsigned message, std::intptr_t lParam);

    ThreadProc m_proc = nullptr;
    JobParams* m_pParams = nullptr;
    std::thread m_thread;

    // --- file rewrite (file_rewrite.cpp) ---
    // What the rewrite fields hold here: m_encoding is the file's code;
    // m_wideLen counts 16-bit units from the file's byte count (UTF-16 LE:
    // file length / 2; UTF-16 BE: text units; UTF-8 and ANSI: units of the
    // text up to its first zero plus the terminator); m_wideText holds the
    // text units of a UTF-16 file only. Text in a byte encoding is worked on
    // as bytes, with no 16-bit copy.
  public:
    // The encoding named by the first two bytes of a file (fewer bytes: EncAnsi).
    static TextEncoding DetectEncoding(std::string_view head);
    // Reads the file at path once and fills m_encoding, m_wideLen and
    // m_wideText from those bytes, which are kept for ProcessFile.
    struct CFileRead ReadFileText(const std::string& path);
    // Files from this size on are not held in memory but searched a piece
    // at a time; one in which a find text occurs is skipped as too large.
    std::uint64_t m_maxFileBytes = std::uint64_t{2} << 30;

  private:
    std::string_view FileText() const;
    bool AnyFindOccurs(std::string_view text);
    // The find texts as they stand in the bytes of a file in encoding, made
    // once per set of rules and code page; null when one has no such form.
    const std::vector<std::string>* EncodedFinds(TextEncoding encoding);
    void ProcessLargeFile(const std::string& path, const struct CFileRead& read);
    bool MakeWorkingText(std::string_view text, std::string& working, std::string& reason) const;
    static bool ApplyRules(std::string& text);
    void RecordFile(RunEventKind kind, const std::string& path, std::string reason);

    std::string m_fileBytes;  // the current file as read; capacity reused from file to file
    size_t m_textBegin = 0;   // its text: the bytes after the byte order mark
    size_t m_textEnd = 0;
    CRuleMatcher m_matcher;  // the run's find texts, searched for all at once
    // EncodedFinds' results by encoding (UTF-16 LE, UTF-8, UTF-16 BE, ANSI),
    // valid for the rules m_matcher was last prepared with and m_findsCodePage.
    struct CEncodedFinds {
        bool made = false;
        bool ok = false;
        std::vector<std::string> needles;
    };
    std::array<CEncodedFinds, 4> m_encodedFinds;
    const CCodePage* m_findsCodePage = nullptr;
    // (end of file rewrite)

    // --- folder walk (folder_walk.cpp) ---
    // A file or folder as the file system knows it, whatever name reached it.
    struct CNodeId {
        std::uint64_t dev = 0;
        std::uint64_t ino = 0;
        bool operator==(const CNodeId&) const = default;
    };
    struct CNodeIdHash {
        size_t operator()(const CNodeId& id) const {
            return std::hash<std::uint64_t>()(id.ino * 0x9E3779B97F4A7C15ull ^ id.dev);
        }
    };
    // Folders walked in this run: none is walked twice, so a link back into
    // the tree cannot loop and no file gets the rules twice.
    std::unordered_set<CNodeId, CNodeIdHash> m_walkedFolders;
    // Files handed to ProcessFile in this run, as they were before and after
    // the rewrite (an atomic replace gives the file a new inode), so a file
    // reached again through another name or link is not processed again.
    std::unordered_set<CNodeId, CNodeIdHash> m_processedFiles;
    // Dry run: full paths that simulated renames have taken and freed.
    std::unordered_set<std::string> m_simulatedTaken;
    std::unordered_set<std::string> m_simulatedFreed;

    void ResetWalk();
    void WalkFolderAt(int parentFd, const std::string& name, const std::string& folderPath);
    void HandleEntry(int dirFd, const std::string& folderPath, const struct CDirEntry& entry);
    void SelectFile(int dirFd, const std::string& folderPath, const struct CDirEntry& entry);
    void RenameSubfolderAt(int dirFd, const std::string& parentPath, const std::string& folderName);
    // Renames oldName to newName inside the folder dirFd / parentPath without
    // replacing anything; 0 or the errno of the failure. Simulated in a dry run.
    int RenameEntry(int dirFd, const std::string& parentPath, const std::string& oldName,
                    const std::string& newName);
    int SimulateRename(int dirFd, const std::string& parentPath, const std::string& oldName,
                       const std::string& newName);
    void RecordFolderSkipped(const std::string& folderPath, const char* what, int error);
    // (end of folder walk)
};
