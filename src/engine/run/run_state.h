#pragma once
// What the worker shares with whoever started it: the two messages it posts
// and the result of a run.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#ifndef WM_USER  // <windows.h> has it as a macro of the same value
inline constexpr unsigned WM_USER = 0x400;
#endif
// A selected file is about to be processed; lParam carries m_fileCount.
inline constexpr unsigned WM_JOB_PROGRESS = WM_USER + 1;
// The run has ended, finished or stopped; wParam and lParam are 0.
inline constexpr unsigned WM_JOB_DONE = WM_USER + 2;

// Where the worker posts its messages (the dialog, the command line, a test).
// Post is called on the worker thread and must not block or wait for the receiver.
class CNotifyTarget {
  public:
    virtual ~CNotifyTarget() = default;
    virtual void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// One thing that happened to a file or folder during a run.
enum class RunEventKind {
    Rewritten,      // path: the file as it was named when rewritten
    Skipped,        // a change was due and not made, or the file could not be examined
    WriteFailed,    // the replacement failed; the original is unchanged
    Renamed,        // path -> newPath
    RenameFailed,   // path -> newPath was not done
    FolderSkipped,  // a folder that vanished or could not be listed
};

struct CRunEvent {
    RunEventKind kind;
    std::string path;      // full path in the working code page
    std::string newPath;   // renames only
    std::string reason;    // short Chinese reason (UTF-8) with the OS reason; empty for successes
    int replacements = 0;  // Rewritten: the occurrences replaced in the file (or that would be)
};

// The one way a run reports while it goes on, besides the result it ends
// with: every event in walk order, on the thread that runs the walk, and,
// where asked for, each file's old and new text (a diff). A front end keeps
// or shows what it needs; the engine keeps only counts and the problems.
class CRunObserver {
  public:
    virtual ~CRunObserver() = default;
    virtual void OnEvent(const CRunEvent& event) = 0;
    // Whether OnChange is wanted; a run that gives it rewrites one file at a time.
    virtual bool WantsChanges() const { return false; }
    // A file rewritten (or that would be, in a dry run): its path, and its
    // old and new text in the working code page.
    virtual void OnChange(const std::string& /*path*/, std::string_view /*oldText*/,
                          std::string_view /*newText*/) {}
};

// The outcome of one run, filled by the worker and read by its owner once the
// worker has ended. Its size does not grow with the files that went well.
struct CRunResult {
    int selected = 0;         // equals the final m_fileCount
    int unchanged = 0;        // selected files that needed no change
    int linksPassedOver = 0;  // symbolic links below the chosen folder, never followed
    bool stopped = false;
    // Why the run did not start at all (UTF-8); empty when it ran.
    std::string refusal;
    // Why the run could not do what it was asked although it started (an
    // undo over a damaged journal), UTF-8; a problem, not a refusal.
    std::string failure;
    // The folder's previous run ended before it finished (killed): what it
    // left half-made was removed, and its journal can still undo it.
    bool interrupted = false;
    // The problems (skipped, failed, not renamed, folders skipped), in walk order.
    std::vector<CRunEvent> events;

    // Counts event and keeps it when it is a problem.
    void Record(CRunEvent event);
    int Count(RunEventKind kind) const;
    // True when anything was skipped or failed: the run must not look clean.
    bool HasProblems() const;

  private:
    std::array<int, 6> m_counts{};  // by RunEventKind
};
