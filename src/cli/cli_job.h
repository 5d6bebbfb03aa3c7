#pragma once
// One invocation of vexa-cli: a console view of the run controller. The
// controller checks the inputs and loads the rules as the dialog does, and
// runs the job on the calling thread; this view asks on the terminal, draws
// the progress line, lists the changes and prints the summary.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "app/file_choice.h"
#include "app/run_controller.h"
#include "app/run_view.h"
#include "cli/cli_observer.h"
#include "cli/cli_options.h"
#include "cli/console_progress.h"

// Exit statuses.
inline constexpr int kExitClean = 0;
inline constexpr int kExitProblems = 1;  // the run finished; something was skipped or failed
inline constexpr int kExitRefused = 2;   // input refused, confirmation declined, wrong usage
inline constexpr int kExitStopped = 130;

class CAppSession;

class CCliJob : public CRunView {
  public:
    CCliJob(const CCliOptions& options, CAppSession& session);
    // The job the options ask for: a run (or a dry run) of the rules.
    int Run();
    // Undoes the last run on the folder (--undo).
    int Undo();

  private:
    // What the command line takes before the controller takes over: the
    // rules files (or streams) and the suffix text. False after a message.
    bool PrepareInputs();
    // Rules named as standard input or another stream, read whole. False
    // after a message when refused.
    bool ReadStreams(std::optional<std::string> (&bytes)[2]);
    // The rules of the command line, the globs and excludes, the list of
    // files: in the working code page, into the session and m_choice.
    // False after a message when refused.
    bool PrepareChoice();
    // The controller as this front end wants it: said, not asked, about an
    // interrupted run; the job on this thread, with Ctrl-C as its stop.
    void Configure(CRunController& controller);
    int Finish(CRunController& controller, CRunController::Outcome outcome);

    // The run controller's view.
    CDialogSettings Inputs() const override;
    void ShowInputs(const CDialogSettings&) override {}
    void* Owner() override { return nullptr; }
    void FocusInput(JobInput) override {}
    void SetStatus(const std::string&) override {}
    void SetCounts(const std::string&) override {}
    void ShowState(RunState, RunKind) override {}
    bool Confirm(const std::string& text) override;
    Answer AskYesNoCancel(const std::string&) override { return Answer::No; }
    void Warn(const std::string& text) override;
    void ShowJobRefusal(const std::string& text) override { Warn("vexa-cli: " + text); }
    void ShowInputRefusal(const CRefusal& refusal) override;
    void Notice(const std::string& text) override { Warn(text); }
    CNotifyTarget& NotifyTarget() override { return m_progress; }
    // Counted only for the progress line: not with -q, nor without a terminal.
    bool WantsTotal() const override { return m_progress.Draws(); }
    CRunObserver* Observer() override;
    void OnRunEnded(const CRunEnd& end) override;
    void CloseWindow() override {}

    const CCliOptions& m_options;
    CAppSession& m_session;
    std::string m_suffixes;                   // in the working code page
    std::string m_replacePath, m_renamePath;  // the rules files in use, for messages
    CFileChoice m_choice;
    std::chrono::steady_clock::time_point m_started;
    CConsoleProgress m_progress;
    CCliObserver m_observer;
    bool m_bInterrupted = false;  // Ctrl-C came during the run
    int m_status = kExitClean;
};

// The whole program: parse, then help, version or a job. Returns the exit status.
int RunCli(int argc, char** argv);
