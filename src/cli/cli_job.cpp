#include "cli/cli_job.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/app_session.h"
#include "app/counts_line.h"
#include "app/run_controller.h"
#include "cli/cli_journal.h"
#include "cli/cli_texts.h"
#include "cli/console_host.h"
#include "cli/file_list_input.h"
#include "engine/report/run_summary.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/file_io.h"
#include "platform/message_catalog.h"
#include "platform/paths.h"
#include "service/core.h"
#include "service/dialog_host.h"

namespace {

constexpr size_t kProblemsListed = 50;

// "-", or a readable path that is no regular file nor folder (a pipe,
// /dev/stdin): read once, whole, before the rules are loaded.
bool IsStream(const std::string& path) {
    return path == "-" || KindOfPath(path) == PathKind::Other;
}

// Text from the console in the working code page (where the console gives
// UTF-8), strictly.
bool ToWorking(const std::string& text, std::string& working) {
    if (!kConsoleTextIsUtf8) {
        working = text;
        return true;
    }
    return ConvertCharset("UTF-8", CCodePage::Working().Name().c_str(), text, working);
}

bool AllToWorking(const std::vector<std::string>& texts, std::vector<std::string>& working) {
    working.resize(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        if (!ToWorking(texts[i], working[i]))
            return false;
    }
    return true;
}

// The progress line rewrites itself with a carriage return and an erase
// sequence: only for a terminal that understands them.
bool WantProgressLine(bool quiet) {
    const char* term = std::getenv("TERM");
    return !quiet && IsTerminal(stderr) && !(term && std::string_view(term) == "dumb");
}

// --color=auto colours a diff for a terminal, unless NO_COLOR is set (and
// not empty) or the terminal is dumb.
bool WantColor(ColorWhen when) {
    if (when != ColorWhen::Auto)
        return when == ColorWhen::Always;
    const char* noColor = std::getenv("NO_COLOR");
    const char* term = std::getenv("TERM");
    return IsTerminal(stdout) && !(noColor && *noColor) &&
           !(term && std::string_view(term) == "dumb");
}

}  // namespace

CCliJob::CCliJob(const CCliOptions& options, CAppSession& session)
    : m_options(options),
      m_session(session),
      m_progress(WantProgressLine(options.quiet)),
      m_observer(m_progress, options.list, options.diff, WantColor(options.color), options.json) {
    if (const char* at = std::getenv("VEXA_CLI_TEST_SIGINT_AT"))
        m_progress.m_raiseSigintAt = std::atol(at);
}

bool CCliJob::ReadStreams(std::optional<std::string> (&bytes)[2]) {
    const std::string* paths[] = {&m_options.rulesPath, &m_options.renameRulesPath};
    int fromInput = 0;
    for (const std::string* path : paths)
        fromInput += !path->empty() && IsStream(*path) && NamesStandardInput(*path);
    if (fromInput > 1) {
        Warn(Tr(kTwoRulesOnStdin));
        return false;
    }
    if (fromInput > 0 && !m_options.yes && !m_options.dryRun) {
        Warn(Tr(kRulesOnStdinNeedYes));
        return false;
    }
    for (size_t i = 0; i < 2; ++i) {
        if (paths[i]->empty() || !IsStream(*paths[i]))
            continue;
        std::string read, why;
        if (!CAppSession::ReadRulesStream(*paths[i], read, why)) {
            Warn(why);
            return false;
        }
        bytes[i] = std::move(read);
    }
    return true;
}

bool CCliJob::PrepareInputs() {
    // The suffixes are compared with names in the working code page; a
    // console that gives UTF-8 has them converted, strictly. Left out (the
    // globs or the list choose), every name passes the checks.
    if (!ToWorking(m_options.suffixes.empty() ? "*.*" : m_options.suffixes, m_suffixes)) {
        Warn(Tr(kSuffixNotInCodePage));
        return false;
    }
    if (!PrepareChoice())
        return false;
    // The dialog's own rules files, unless named or replaced by rules of the
    // command line; only read here: nothing is created in the config folder.
    const bool replaceDefault = m_options.rulesPath.empty() && m_options.rules.empty();
    const bool renameDefault = m_options.renameRulesPath.empty() && m_options.renameRules.empty() &&
                               m_options.renameFolders;
    if (m_session.AppPrefix().empty() && (replaceDefault || renameDefault)) {
        Warn(Tr(kNoConfigFolder));
        return false;
    }
    std::optional<std::string> bytes[2];
    if (!ReadStreams(bytes))
        return false;
    m_replacePath = !m_options.rulesPath.empty() ? m_options.rulesPath
                    : replaceDefault             ? m_session.ReplaceRulesPath()
                                                 : std::string();
    m_renamePath = !m_options.renameRulesPath.empty() ? m_options.renameRulesPath
                   : renameDefault                    ? m_session.RenameRulesPath()
                                                      : std::string();
    m_session.UseRules(m_replacePath, std::move(bytes[0]), m_renamePath, std::move(bytes[1]));
    return true;
}

bool CCliJob::PrepareChoice() {
    std::vector<std::string> rules, renameRules;
    if (!AllToWorking(m_options.rules, rules) ||
        !AllToWorking(m_options.renameRules, renameRules) ||
        !AllToWorking(m_options.globs, m_choice.globs) ||
        !AllToWorking(m_options.excludes, m_choice.excludes)) {
        Warn(Tr(kChoiceNotInCodePage));
        return false;
    }
    m_session.UseCommandLineRules(std::move(rules), std::move(renameRules));
    m_choice.suffixesGiven = !m_options.suffixes.empty();
    if (m_options.filesFrom.empty())
        return true;
    std::string bytes, why;
    if (!CAppSession::ReadFileList(m_options.filesFrom, bytes, why)) {
        Warn(why);
        return false;
    }
    const CFileListPlace place(CurrentFolder(), m_options.folder,
                               CanonicalFolder(m_options.folder));
    for (const std::string& listed : SplitFileList(bytes, m_options.nulSeparated)) {
        std::string below = place.BelowFolder(listed), working;
        // A path with no form in the code page names no file the run can reach.
        m_choice.fileList.push_back(ToWorking(below, working) ? working : below);
    }
    m_choice.useFileList = true;
    return true;
}

CDialogSettings CCliJob::Inputs() const {
    return {m_options.folder,
            m_suffixes,
            m_options.includeSubfolders,
            m_options.renameFolders,
            {m_options.ignoreCase, m_options.wholeWord, m_options.regex}};
}

// Asked on the terminal; with nobody there to answer, refused.
bool CCliJob::Confirm(const std::string& text) {
    if (!IsTerminal(stdin)) {
        Warn(Tr(kNoTerminal));
        return false;
    }
    if (m_session.Core().msgboxConfirm(nullptr, text) == CDialogHost::kYes)
        return true;
    WriteLocaleText(stderr, std::string(Tr(kDeclined)) + "\n");
    return false;
}

void CCliJob::Warn(const std::string& text) {
    m_progress.Finish();
    WriteLocaleText(stderr, text + "\n");
}

CRunObserver* CCliJob::Observer() {
    return &m_observer;
}

void CCliJob::Configure(CRunController& controller) {
    controller.m_bConfirm = !m_options.yes;
    controller.m_bAskInterrupted = false;  // said, not asked
    controller.m_bOffersUndo = false;      // --undo is another command
    controller.m_jobs = m_options.jobs;
    m_progress.m_totalOf = [&controller] { return controller.TotalFiles(); };
    controller.m_bKeepJournal = !m_options.noUndo;
    controller.m_bWarningsInQuestion = false;  // on stderr, with -y too
    // The job runs here, with Ctrl-C as its stop request.
    controller.m_startThread = [this, &controller](CReplaceThread& worker) {
        CStopOnInterrupt guard(controller.StopWord());
        m_started = std::chrono::steady_clock::now();
        CRunController::RunHere(worker);
        m_bInterrupted = controller.StopWord().load();
        return true;
    };
}

int CCliJob::Run() {
    if (!PrepareInputs())
        return kExitRefused;
    CRunController controller(m_session, *this);
    Configure(controller);
    controller.m_fileChoice = m_choice;
    return Finish(controller, controller.Start(m_options.dryRun ? RunKind::Preview : RunKind::Run));
}

int CCliJob::Undo() {
    if (KindOfPath(m_options.folder) != PathKind::Folder) {
        ShowInputRefusal({JobInput::Folder, Tr(N_("路径无效！"))});
        return kExitRefused;
    }
    CRunController controller(m_session, *this);
    Configure(controller);
    return Finish(controller, controller.StartUndo(m_options.folder, m_options.dryRun));
}

// The job has run on this thread already; its end is handed in as the
// worker's last message would be.
int CCliJob::Finish(CRunController& controller, CRunController::Outcome outcome) {
    m_progress.m_totalOf = nullptr;  // the controller goes with this job
    if (outcome != CRunController::Outcome::Started)
        return kExitRefused;
    controller.OnJobDone();
    return m_status;
}

void CCliJob::OnRunEnded(const CRunEnd& end) {
    m_progress.Finish();
    const CRunResult& result = end.result;
    if (!result.refusal.empty() || !result.failure.empty()) {  // said already
        m_status = result.refusal.empty() ? kExitProblems : kExitRefused;
        return;
    }
    if (m_options.json) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - m_started);
        m_observer.Summary(result, m_bInterrupted || result.stopped, elapsed.count());
    }
    const bool written = m_observer.Flush();
    const bool undo = end.kind == RunKind::Undo;
    std::string text;
    if (m_options.dryRun)
        text += std::string(Tr(undo ? kUndoDryRunNote : kDryRunNote)) + "\n";
    else if (undo)
        text += std::string(Tr(kUndoNote)) + "\n";
    // Its own line of counts, which scripts read, rather than the dialogs'.
    text += FormatRunCounts(result) + "\n";
    if (!undo && end.job.modes.Any())
        text += FillMessage(kModesLine, {ModeNames(end.job.modes)}) + "\n";
    if (!undo && result.selected == 0 && m_options.filesFrom.empty())
        text += std::string(Tr(kNothingSelected)) + "\n";
    text += FormatRunProblems(result, kProblemsListed);
    if (m_bInterrupted)
        text += std::string(Tr(kStoppedNote)) + "\n";
    // A stopped run did not finish: its last word says so.
    text += std::string(Tr(m_bInterrupted ? kStopped : kDone)) + "\n";
    WriteLocaleText(stderr, text);
    m_status = m_bInterrupted                     ? kExitStopped
               : result.HasProblems() || !written ? kExitProblems
                                                  : kExitClean;
}

// In a refusal about a file or folder, the path it concerns: "vexa-cli:
// PATH: text", unless the text names it already.
void CCliJob::ShowInputRefusal(const CRefusal& refusal) {
    const std::string* path = refusal.input == JobInput::Folder         ? &m_options.folder
                              : refusal.input == JobInput::ReplaceRules ? &m_replacePath
                              : refusal.input == JobInput::RenameRules  ? &m_renamePath
                                                                        : nullptr;
    const std::string shown = path && !path->empty() ? NameForDisplay(*path) : std::string();
    if (shown.empty() || refusal.text.find(shown) != std::string::npos)
        Warn("vexa-cli: " + refusal.text);
    else
        Warn("vexa-cli: " + shown + ": " + refusal.text);
}

int RunCli(int argc, char** argv) {
    CCodePage::Working();  // the locale's character set, for texts and paths alike
    // English (or another catalog's language) when the locale asks for it,
    // from share/locale beside the program's bin folder.
    BindMessageCatalog(ProgramFolder() + "/../share/locale");
    PrepareConsole();
    const CCliParse parse = ParseCliOptions(argc, argv);
    switch (parse.command) {
        case CliCommand::Help:
            WriteLocaleText(stdout, Tr(kHelpText));
            if (kConsoleTextIsUtf8)
                WriteLocaleText(stdout, kWindowsHelpText);
            return kExitClean;
        case CliCommand::Version:
            WriteLocaleText(stdout, "vexa-cli " VEXA_VERSION "\n");
            return kExitClean;
        case CliCommand::UsageError:
            WriteLocaleText(stderr, "vexa-cli: " + parse.error + "\n" + Tr(kUsageHint) + "\n");
            return kExitRefused;
        case CliCommand::ListJournals:
            return ListJournals();
        case CliCommand::Forget:
            return ForgetJournal(parse.options.folder);
        case CliCommand::Run:
        case CliCommand::Undo:
            break;
    }
    CConsoleDialogHost host;
    CAppSession session(CAppSession::Kind::CommandLine, nullptr, &host);
    CCliJob cli(parse.options, session);
    return parse.command == CliCommand::Undo ? cli.Undo() : cli.Run();
}
