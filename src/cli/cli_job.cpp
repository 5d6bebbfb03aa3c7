#include "cli/cli_job.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/cli_diff.h"
#include "cli/cli_journal.h"
#include "cli/cli_texts.h"
#include "cli/console_host.h"
#include "cli/console_progress.h"
#include "engine/journal/journal_store.h"
#include "engine/report/name_quote.h"
#include "engine/report/reason_texts.h"
#include "engine/report/run_summary.h"
#include "engine/report/text_diff.h"
#include "engine/run/replace_thread.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "prep/build_job.h"
#include "prep/job_inputs.h"
#include "prep/job_tables.h"
#include "prep/load_job_tables.h"
#include "prep/prep_messages.h"
#include "service/core.h"

namespace {

// The stop word of the run: set by Ctrl-C, polled by the walk.
std::atomic<bool> g_stopFlag{false};

constexpr size_t kProblemsListed = 50;

// --list: each change on stdout as the run reports it, in walk order. Paths
// go out as the engine has them, bytes in the locale's character set,
// quoted when unusual so that each line reads back to the exact name.
// With --diff the list is held and comes after the diffs, as one block.
class CListSink : public CRunEventSink {
  public:
    CListSink(CConsoleProgress& progress, bool hold) : m_progress(progress), m_bHold(hold) {}
    void OnEvent(const CRunEvent& e) override {
        std::string line;
        if (e.kind == RunEventKind::Rewritten)
            line = QuoteName(e.path) + "\n";
        else if (e.kind == RunEventKind::Renamed)
            line = QuoteName(e.path) + " -> " + QuoteName(e.newPath) + "\n";
        if (line.empty())
            return;
        if (m_bHold) {
            m_held += line;
            return;
        }
        m_progress.Finish();  // a line of the list never lands inside the progress line
        m_bFailed = m_bFailed || !WriteConsoleText(stdout, line);
    }
    // Whether everything reached stdout; says so on stderr when not.
    bool Flush() {
        m_bFailed = m_bFailed || !WriteConsoleText(stdout, m_held);
        if (!m_bFailed && std::fflush(stdout) == 0)
            return true;
        WriteLocaleText(stderr, std::string(kStdoutFailed) + "\n");
        return false;
    }

  private:
    CConsoleProgress& m_progress;
    bool m_bHold;
    std::string m_held;
    bool m_bFailed = false;
};

// "-", or a readable path that is no regular file nor folder (a pipe,
// /dev/stdin): read once, whole, before the rules are loaded.
bool IsStream(const std::string& path) {
    return path == "-" || KindOfPath(path) == PathKind::Other;
}

// The progress line rewrites itself with a carriage return and an erase
// sequence: only for a terminal that understands them.
bool WantProgressLine(bool quiet) {
    const char* term = std::getenv("TERM");
    return !quiet && IsTerminal(stderr) && !(term && std::string_view(term) == "dumb");
}

}  // namespace

bool CCliJob::ReadStreams(JobTables& t) {
    const std::string* paths[] = {&m_options.rulesPath, &m_options.renameRulesPath};
    std::optional<std::string>* slots[] = {&t.replaceRulesBytes, &t.renameRulesBytes};
    int fromInput = 0;
    for (const std::string* path : paths)
        fromInput += !path->empty() && IsStream(*path) && NamesStandardInput(*path);
    if (fromInput > 1) {
        WriteLocaleText(stderr, std::string(kTwoRulesOnStdin) + "\n");
        return false;
    }
    if (fromInput > 0 && !m_options.yes && !m_options.dryRun) {
        WriteLocaleText(stderr, std::string(kRulesOnStdinNeedYes) + "\n");
        return false;
    }
    for (size_t i = 0; i < 2; ++i) {
        slots[i]->reset();
        if (paths[i]->empty() || !IsStream(*paths[i]))
            continue;
        std::string bytes;
        const CIoResult r = ReadStreamPath(*paths[i], bytes, kMaxRulesFileBytes + 1);
        if (r.status == IoStatus::TooLarge) {
            WriteLocaleText(
                stderr, "vexa-cli: " +
                            FillMessage(kMsgRulesFileTooLarge, {PathForDisplay(*paths[i])}) + "\n");
            return false;
        }
        if (!r.Ok()) {
            WriteLocaleText(stderr, std::string(kStreamUnreadable) + PathForDisplay(*paths[i]) +
                                        "（" + ReasonText(ReadReason(r.status), r.osError) +
                                        "）\n");
            return false;
        }
        *slots[i] = std::move(bytes);
    }
    return true;
}

bool CCliJob::CollectInputs(CCore& core) {
    JobTables& t = g_jobTables;
    t.folderPath = m_options.folder;
    t.suffixText = m_options.suffixes;
    // The suffixes are compared with names in the working code page; a
    // console that gives UTF-8 has them converted, strictly.
    if (kConsoleTextIsUtf8 && !ConvertCharset("UTF-8", CCodePage::Working().Name().c_str(),
                                              m_options.suffixes, t.suffixText)) {
        WriteLocaleText(stderr, std::string(kSuffixNotInCodePage) + "\n");
        return false;
    }
    t.includeSubfolders = m_options.includeSubfolders ? 1 : 0;
    t.renameFolders = m_options.renameFolders ? 1 : 0;
    // The dialog's own rules files, unless named.
    const bool renameDefault = m_options.renameRulesPath.empty() && m_options.renameFolders;
    // Only read here: nothing is created in the config folder.
    t.appPrefix = core.AppPrefix();
    if (t.appPrefix.empty() && (m_options.rulesPath.empty() || renameDefault)) {
        WriteLocaleText(stderr, std::string(kNoConfigFolder) + "\n");
        return false;
    }
    t.replaceRulesPath =
        m_options.rulesPath.empty() ? t.appPrefix + kReplaceRulesSuffix : m_options.rulesPath;
    t.renameRulesPath = !m_options.renameRulesPath.empty() ? m_options.renameRulesPath
                        : renameDefault                    ? t.appPrefix + kRenameRulesSuffix
                                                           : std::string();
    return ReadStreams(t) && CheckJobInputs(nullptr) == 1;
}

int CCliJob::Confirm(CCore& core) {
    if (m_options.yes || m_options.dryRun)
        return 0;
    if (!IsTerminal(stdin)) {
        WriteLocaleText(stderr, std::string(kNoTerminal) + "\n");
        return kExitRefused;
    }
    if (core.msgboxConfirm(nullptr, kMsgConfirmRun) != CDialogHost::kYes) {
        WriteLocaleText(stderr, std::string(kDeclined) + "\n");
        return kExitRefused;
    }
    return 0;
}

void CCliJob::NoteInterrupted(const CJob& job) const {
    if (!LastRunInterrupted(job.journalRoot, job.folder))
        return;
    const std::string folder = PathForDisplay(job.folder);
    WriteLocaleText(stderr, job.undo ? InterruptedUndoText(folder) : InterruptedRunText(folder));
}

int CCliJob::Execute(CJob job) {
    CConsoleProgress progress(WantProgressLine(m_options.quiet));
    if (const char* at = std::getenv("VEXA_CLI_TEST_SIGINT_AT"))
        progress.m_raiseSigintAt = std::atol(at);
    CReplaceThread worker;
    CListSink list(progress, m_options.diff);
    bool diffWritten = true;
    if (m_options.diff) {
        worker.m_changeHook = [&](const std::string& path, std::string_view oldText,
                                  std::string_view newText) {
            progress.Finish();  // the diff may go to the same terminal
            diffWritten = PrintDiff(path, oldText, newText) && diffWritten;
        };
    }
    g_stopFlag.store(false);
    {
        CStopOnInterrupt guard(g_stopFlag);
        JobParams params{&progress, &worker, &g_stopFlag, std::move(job),
                         m_options.list ? &list : nullptr};
        params.job.jobs = m_options.jobs;
        worker.RunJob(&params);
    }
    progress.Finish();
    if (!worker.m_result.refusal.empty()) {
        WriteLocaleText(stderr, "vexa-cli: " + worker.m_result.refusal + "\n");
        return kExitRefused;
    }
    if (!worker.m_result.failure.empty()) {
        WriteLocaleText(stderr, "vexa-cli: " + worker.m_result.failure + "\n");
        return kExitProblems;
    }
    const bool stopped = g_stopFlag.load();
    const bool listed = !m_options.list || list.Flush();
    PrintSummary(worker.m_result, m_options.dryRun, worker.m_job.undo, stopped);
    if (stopped)
        return kExitStopped;
    return worker.m_result.HasProblems() || !listed || !diffWritten ? kExitProblems : kExitClean;
}

bool CCliJob::PrintDiff(const std::string& path, std::string_view oldText,
                        std::string_view newText) {
    const CCodePage& cp = CCodePage::Working();
    std::vector<CDiffHunk> hunks;
    if (!DiffWorkingTexts(cp, oldText, newText, hunks))
        return true;  // the rewriter only passes text it could decode
    const std::string out = FormatFileDiff(cp, path, hunks);
    if (std::fwrite(out.data(), 1, out.size(), stdout) == out.size() && std::fflush(stdout) == 0)
        return true;
    WriteLocaleText(stderr, std::string(kStdoutFailed) + "\n");
    return false;
}

void CCliJob::PrintSummary(const CRunResult& result, bool dryRun, bool undo, bool stopped) {
    std::string text;
    if (dryRun)
        text += std::string(undo ? kUndoDryRunNote : kDryRunNote) + "\n";
    else if (undo)
        text += std::string(kUndoNote) + "\n";
    text += FormatRunCounts(result) + "\n";
    if (!undo && result.selected == 0)
        text += std::string(kNothingSelected) + "\n";
    text += FormatRunProblems(result, kProblemsListed);
    if (stopped)
        text += std::string(kStoppedNote) + "\n";
    text += std::string(kDone) + "\n";
    WriteLocaleText(stderr, text);
}

int CCliJob::Run() {
    if (!CollectInputs(*g_pCore))
        return kExitRefused;
    CJob job = BuildJob(g_jobTables, m_options.dryRun);
    job.keepJournal = job.keepJournal && !m_options.noUndo;
    NoteInterrupted(job);
    if (const int refused = Confirm(*g_pCore))
        return refused;
    return Execute(std::move(job));
}

int CCliJob::Undo() {
    if (KindOfPath(m_options.folder) != PathKind::Folder) {
        WriteLocaleText(stderr, "vexa-cli: 路径无效！\n");
        return kExitRefused;
    }
    CJob job = BuildUndoJob(m_options.folder, m_options.dryRun);
    NoteInterrupted(job);
    if (!m_options.yes && !m_options.dryRun) {
        if (!IsTerminal(stdin)) {
            WriteLocaleText(stderr, std::string(kNoTerminal) + "\n");
            return kExitRefused;
        }
        if (g_pCore->msgboxConfirm(nullptr, kConfirmUndo) != CDialogHost::kYes) {
            WriteLocaleText(stderr, std::string(kDeclined) + "\n");
            return kExitRefused;
        }
    }
    return Execute(std::move(job));
}

int RunCli(int argc, char** argv) {
    CCodePage::Working();  // the locale's character set, for texts and paths alike
    PrepareConsole();
    const CCliParse parse = ParseCliOptions(argc, argv);
    switch (parse.command) {
        case CliCommand::Help:
            WriteLocaleText(stdout, kHelpText);
            if (kConsoleTextIsUtf8)
                WriteLocaleText(stdout, kWindowsHelpText);
            return kExitClean;
        case CliCommand::Version:
            WriteLocaleText(stdout, "vexa-cli " VEXA_VERSION "\n");
            return kExitClean;
        case CliCommand::UsageError:
            WriteLocaleText(stderr, "vexa-cli: " + parse.error + "\n" + kUsageHint + "\n");
            return kExitRefused;
        case CliCommand::ListJournals:
            return ListJournals();
        case CliCommand::Forget:
            return ForgetJournal(parse.options.folder);
        case CliCommand::Run:
        case CliCommand::Undo:
            break;
    }
    CCore core;
    CConsoleDialogHost host;
    core.SetDialogHost(&host);
    g_pCore = &core;
    g_jobTables.Allocate();
    CCliJob cli(parse.options);
    const int status = parse.command == CliCommand::Undo ? cli.Undo() : cli.Run();
    g_jobTables.Release();
    g_pCore = nullptr;
    return status;
}
