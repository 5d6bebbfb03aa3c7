#include "app/run_controller.h"

#include <utility>
#include <vector>

#include "app/app_session.h"
#include "app/app_texts.h"
#include "app/counts_line.h"
#include "app/previewed_run.h"
#include "app/run_progress.h"
#include "engine/journal/journal_store.h"
#include "engine/report/run_summary.h"
#include "engine/run/job_thread_proc.h"
#include "engine/run/replace_thread.h"
#include "prep/build_job.h"
#include "prep/job_inputs.h"
#include "prep/job_tables.h"
#include "prep/load_job_tables.h"
#include "service/core.h"

namespace {

// By RunKind: the status line as a job starts and at its end.
constexpr const char* kStarted[] = {app_text::kRunning, app_text::kPreviewing, app_text::kUndoing};
constexpr const char* kEnded[] = {app_text::kFinished, app_text::kPreviewFinished,
                                  app_text::kUndoFinished};

}  // namespace

CRunController::CRunController(CAppSession& session, CRunView& view)
    : m_session(session), m_view(view) {}

CRunController::~CRunController() {
    Shutdown();
}

int CRunController::CollectInputs(int validate) {
    const CDialogSettings in = m_view.Inputs();
    JobTables& t = g_jobTables;
    t.folderPath = in.folder;
    t.suffixText = in.suffixes;
    t.includeSubfolders = in.includeSubfolders ? 1 : 0;
    t.renameFolders = in.renameFolders ? 1 : 0;
    t.modes = in.modes;
    if (!validate)
        return 1;
    // A missing folder or a suffix text without a dot points at its input;
    // what the rules files or the suffix list hold is only said.
    std::optional<CRefusal> refused = CheckFolderAndSuffix();
    std::vector<CRefusal> warnings;
    if (refused)
        m_view.FocusInput(refused->input);
    else
        refused = LoadTables(&warnings);
    m_rulesWarnings.clear();
    for (const CRefusal& warning : warnings)
        m_rulesWarnings.append(m_rulesWarnings.empty() ? "" : "\n").append(warning.text);
    if (!refused)
        return 1;
    m_view.ShowInputRefusal(*refused);
    return 0;
}

// The inputs are checked first; then, when the folder's last run was
// interrupted, the user decides about undoing it; then a run is confirmed.
// A preview writes nothing, so there is nothing to confirm.
CRunController::Outcome CRunController::Start(RunKind kind) {
    if (IsRunning() || kind == RunKind::Undo || !CollectInputs(1))
        return Outcome::Refused;
    const bool preview = kind == RunKind::Preview;
    CJob job = BuildJob(g_jobTables, preview);
    m_fileChoice.ApplyTo(job);
    if (!job.journalRoot.empty() && LastRunInterrupted(job.journalRoot, job.folder)) {
        if (!m_bAskInterrupted) {
            m_view.Warn(app_text::InterruptedRunNote(PathForDisplay(job.folder)));
        } else {
            switch (m_view.AskYesNoCancel(app_text::kAskUndoInterrupted)) {
                case Answer::Yes:
                    // Only the undo: the user sees what it put back before
                    // starting anything new.
                    return Launch(BuildUndoJob(job.folder), RunKind::Undo);
                case Answer::No:
                    break;
                case Answer::Cancel:
                    return Outcome::Declined;
            }
        }
    }
    if (!m_rulesWarnings.empty() && !m_bWarningsInQuestion)
        m_view.Warn(m_rulesWarnings);
    if (!preview && !ConfirmRun(job))
        return Outcome::Declined;
    const Outcome outcome = Launch(std::move(job), kind);
    if (outcome == Outcome::Started) {
        m_session.RememberFolder(m_view.Inputs().folder);
        m_view.ShowRecentFolders(m_session.RecentFolders());
    }
    return outcome;
}

// The warning that a run cannot be undone holds only where no journal will
// be kept; a window that offers the undo in 结果 says so instead.
bool CRunController::ConfirmRun(const CJob& job) {
    const bool journaled =
        m_bOffersUndo && job.keepJournal && m_bKeepJournal && !job.journalRoot.empty();
    std::string question = Tr(journaled ? app_text::kConfirmRunJournaled : kMsgConfirmRun);
    if (m_bWarningsInQuestion && !m_rulesWarnings.empty())
        question = m_rulesWarnings + "\n\n" + question;
    return !m_bConfirm || m_view.Confirm(question);
}

CRunController::Outcome CRunController::StartPreviewed(const CPreviewedRun& run) {
    if (IsRunning())
        return Outcome::Refused;
    if (RulesChangedSince(run.job) && !m_view.Confirm(app_text::kAskRulesChanged))
        return Outcome::Declined;
    CJob job = JobOfPreviewedRun(run);
    if (!ConfirmRun(job))
        return Outcome::Declined;
    const Outcome outcome = Launch(std::move(job), RunKind::Run);
    m_leftOut = outcome == Outcome::Started ? run.leftOut : 0;
    return outcome;
}

CRunController::Outcome CRunController::StartUndo(const std::string& folder, bool dryRun) {
    if (IsRunning())
        return Outcome::Refused;
    CJob job = BuildUndoJob(folder, dryRun);
    if (!m_bAskInterrupted && !job.journalRoot.empty() &&
        LastRunInterrupted(job.journalRoot, job.folder))
        m_view.Warn(app_text::InterruptedUndoNote(PathForDisplay(job.folder)));
    if (!dryRun && m_bConfirm && !m_view.Confirm(Tr(app_text::kConfirmUndo)))
        return Outcome::Declined;
    return Launch(std::move(job), RunKind::Undo);
}

CRunController::Outcome CRunController::Launch(CJob job, RunKind kind) {
    job.jobs = m_jobs;
    job.keepJournal = job.keepJournal && m_bKeepJournal;
    auto* params = new JobParams{&m_view.NotifyTarget(), nullptr, &m_stopWord, std::move(job),
                                 m_view.Observer()};
    const CJob shown = params->job;  // params belongs to the worker once it runs
    m_state = RunState::Running;
    m_kind = kind;
    m_view.ShowState(m_state, kind);
    m_view.SetCounts("");
    m_started = std::chrono::steady_clock::now();
    m_stopWord.store(false);
    m_pWorker = std::make_unique<CReplaceThread>(&JobThreadProc, params);
    // Counted beside the worker (a thread of its own, listing folders
    // only), so the run starts at once and the window never waits for it.
    if (m_view.WantsTotal())
        m_total.Start(shown);
    m_view.ShowProgress({true, 0, -1, 0});
    if (m_prepareWorker)
        m_prepareWorker(*m_pWorker);
    const bool started = m_startThread ? m_startThread(*m_pWorker) : m_pWorker->CreateThread();
    if (!started) {
        m_view.Notice(app_text::kCannotStartThread);
        m_pWorker.reset();
        m_total.Stop();
        delete params;
        ReturnToIdle();
        return Outcome::NotStarted;
    }
    m_view.SetStatus(kStarted[static_cast<int>(kind)]);
    m_view.OnRunStarted(kind, shown);
    return Outcome::Started;
}

void CRunController::RunHere(CReplaceThread& worker) {
    worker.RunHere();
}

void CRunController::Stop() {
    if (m_state != RunState::Running)
        return;
    m_stopWord.store(true);
    m_state = RunState::Stopping;
    m_view.ShowState(m_state, m_kind);
}

bool CRunController::RequestClose() {
    if (!IsRunning())
        return true;
    if (m_bCloseAfterRun)
        return false;  // already stopping to close
    if (!m_view.Confirm(app_text::kConfirmCloseRunning))
        return false;
    if (!IsRunning())
        return true;  // the run ended while the question was open
    m_bCloseAfterRun = true;
    Stop();
    return false;
}

void CRunController::Shutdown() {
    if (IsRunning())
        m_stopWord.store(true);
    m_total.Stop();
    if (m_pWorker) {
        m_pWorker->Join();
        m_pWorker.reset();
    }
    m_state = RunState::Idle;
    m_stopWord.store(true);
}

void CRunController::ShutdownAndSave() {
    Shutdown();
    m_session.SaveSettings(m_view.SettingsOfInputs());
}

void CRunController::OnJobProgress(std::intptr_t count) {
    if (!IsRunning())
        return;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - m_started;
    const CRunProgress progress{true, static_cast<long>(count), m_total.Total(), took.count()};
    m_view.SetStatus(ProgressStatus(m_kind, m_session.Core().getStrInt(static_cast<int>(count)),
                                    progress.Total()));
    m_view.ShowProgress(progress);
    m_view.OnRunProgress(m_kind);
}

// A job refused before it touched anything (the folder busy with another
// run, nothing to undo) did not finish anything: the status line is ready
// again and the refusal is said in a box.
void CRunController::OnJobDone() {
    if (!m_pWorker)
        return;
    m_pWorker->Join();
    m_total.Stop();
    const CRunResult result = std::move(m_pWorker->m_result);
    const CJob job = std::move(m_pWorker->m_job);
    m_pWorker.reset();
    ReturnToIdle();
    const bool refused = !result.refusal.empty();
    m_view.SetStatus(refused ? app_text::kReady : kEnded[static_cast<int>(m_kind)]);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - m_started;
    std::string counts = refused ? std::string() : FormatCountsLine(result, took.count(), m_kind);
    if (!refused && m_kind != RunKind::Undo)
        counts += ModesPart(job.modes);
    if (!refused && m_leftOut > 0)
        counts += LeftOutPart(m_leftOut);
    m_leftOut = 0;
    m_view.SetCounts(counts);
    const bool closing = std::exchange(m_bCloseAfterRun, false);
    if (!closing) {
        for (const std::string* text : {&result.refusal, &result.failure}) {
            if (!text->empty())
                m_view.ShowJobRefusal(*text);
        }
    }
    m_view.OnRunEnded({m_kind, result, job, counts, closing});
    if (closing)
        m_view.CloseWindow();
}

void CRunController::ReturnToIdle() {
    m_stopWord.store(true);
    m_state = RunState::Idle;
    m_view.ShowProgress({});
    m_view.ShowState(m_state, m_kind);
}
