#pragma once
// One invocation of vexa-cli: the dialog's input checks and rules loading,
// the confirmation, the run on the calling thread, the list and the summary.

#include <string>
#include <string_view>

#include "cli/cli_options.h"

// Exit statuses.
inline constexpr int kExitClean = 0;
inline constexpr int kExitProblems = 1;  // the run finished; something was skipped or failed
inline constexpr int kExitRefused = 2;   // input refused, confirmation declined, wrong usage
inline constexpr int kExitStopped = 130;

class CCore;
struct CJob;
struct JobTables;

class CCliJob {
  public:
    explicit CCliJob(const CCliOptions& options) : m_options(options) {}
    // Needs g_pCore with a console host and allocated job tables.
    int Run();
    // Undoes the last run on the folder (--undo).
    int Undo();

  private:
    // What the dialog does before it asks: read, check, normalise, load.
    bool CollectInputs(CCore& core);
    // Rules named as standard input or another stream, read whole into the
    // tables. False after a message when refused.
    bool ReadStreams(JobTables& tables);
    // 0 to go on, or the exit status when the run must not start.
    int Confirm(CCore& core);
    int Execute(CJob job);
    // Says on stderr that the folder's last run was interrupted, if it was.
    void NoteInterrupted(const CJob& job) const;
    // One file's diff on stdout; false when stdout failed.
    static bool PrintDiff(const std::string& path, std::string_view oldText,
                          std::string_view newText);
    static void PrintSummary(const struct CRunResult& result, bool dryRun, bool undo, bool stopped);

    const CCliOptions& m_options;
};

// The whole program: parse, then help, version or a job. Returns the exit status.
int RunCli(int argc, char** argv);
