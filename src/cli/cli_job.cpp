#include "cli/cli_job.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/cli_texts.h"
#include "cli/console_host.h"
#include "cli/console_progress.h"
#include "engine/job_tables.h"
#include "engine/name_quote.h"
#include "engine/replace_thread.h"
#include "engine/run_summary.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "prep/build_job.h"
#include "prep/job_inputs.h"
#include "service/core.h"

namespace {

// The stop word of the run: set by Ctrl-C, polled by the walk.
std::atomic<bool> g_stopFlag{false};

constexpr size_t kProblemsListed = 50;

}  // namespace

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
    t.replaceRulesPath =
        m_options.rulesPath.empty() ? t.appPrefix + kReplaceRulesSuffix : m_options.rulesPath;
    t.renameRulesPath = !m_options.renameRulesPath.empty() ? m_options.renameRulesPath
                        : renameDefault                    ? t.appPrefix + kRenameRulesSuffix
                                                           : std::string();
    return CheckJobInputs(nullptr) == 1;
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

int CCliJob::Execute() {
    CConsoleProgress progress(IsTerminal(stderr) && !m_options.quiet);
    if (const char* at = std::getenv("VEXA_CLI_TEST_SIGINT_AT"))
        progress.m_raiseSigintAt = std::atol(at);
    CReplaceThread worker;
    g_stopFlag.store(false);
    {
        CStopOnInterrupt guard(g_stopFlag);
        JobParams params{&progress, &worker, &g_stopFlag, BuildJob(g_jobTables, m_options.dryRun)};
        worker.RunJob(&params);
    }
    progress.Finish();
    const bool stopped = g_stopFlag.load();
    const bool listed = !m_options.list || PrintList(worker.m_result);
    PrintSummary(worker.m_result, m_options.dryRun, stopped);
    if (stopped)
        return kExitStopped;
    return worker.m_result.HasProblems() || !listed ? kExitProblems : kExitClean;
}

// Paths go out as the engine has them (path text: bytes in the locale's
// character set, UTF-8 on Windows), quoted when unusual so that each line
// reads back to the exact name.
bool CCliJob::PrintList(const CRunResult& result) {
    std::string out;
    for (const CRunEvent& e : result.events) {
        if (e.kind == RunEventKind::Rewritten)
            out += QuoteName(e.path) + "\n";
        else if (e.kind == RunEventKind::Renamed)
            out += QuoteName(e.path) + " -> " + QuoteName(e.newPath) + "\n";
    }
    if (WriteConsoleText(stdout, out))
        return true;
    WriteLocaleText(stderr, std::string(kStdoutFailed) + "\n");
    return false;
}

void CCliJob::PrintSummary(const CRunResult& result, bool dryRun, bool stopped) {
    std::string text;
    if (dryRun)
        text += std::string(kDryRunNote) + "\n";
    text += FormatRunCounts(result) + "\n";
    text += FormatRunProblems(result, kProblemsListed);
    if (stopped)
        text += std::string(kStoppedNote) + "\n";
    text += std::string(kDone) + "\n";
    WriteLocaleText(stderr, text);
}

int CCliJob::Run() {
    if (!CollectInputs(*g_pCore))
        return kExitRefused;
    if (const int refused = Confirm(*g_pCore))
        return refused;
    return Execute();
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
        case CliCommand::Run:
            break;
    }
    CCore core;
    CConsoleDialogHost host;
    core.SetDialogHost(&host);
    g_pCore = &core;
    g_jobTables.Allocate();
    const int status = CCliJob(parse.options).Run();
    g_jobTables.Release();
    g_pCore = nullptr;
    return status;
}
