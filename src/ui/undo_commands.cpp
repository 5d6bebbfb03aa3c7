// Undo from the dialog: 撤销本次执行 in the results window, the question
// before a run on a folder whose last run was interrupted, and 结果 before
// any run of this session, which shows the folder's last run from its
// journal. The undo itself is a job like a run, on the same worker thread.

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

#include "engine/journal/journal_events.h"
#include "engine/journal/journal_store.h"
#include "prep/build_job.h"
#include "service/core.h"
#include "service/dialog_host.h"
#include "ui/counts_line.h"
#include "ui/question_box.h"
#include "ui/replace_dlg.h"
#include "ui/ui_texts.h"
#include "ui/working_text.h"

void CReplaceDlg::OnUndo() {
    if (m_bRunning || m_undoFolder.empty())
        return;
    // Asked over the window the button is in.
    QWidget* owner = m_pResults && m_pResults->isVisible() ? static_cast<QWidget*>(m_pResults)
                                                           : static_cast<QWidget*>(this);
    if (g_pCore->msgboxConfirm(owner, ui_text::kConfirmUndo) != CDialogHost::kYes)
        return;
    StartUndo(m_undoFolder);
}

// 是 undoes the interrupted run and stops there: the user sees what the
// undo put back and what it left before starting anything new.
bool CReplaceDlg::GoOnAfterInterrupted(const CJob& job) {
    if (job.journalRoot.empty() || !LastRunInterrupted(job.journalRoot, job.folder))
        return true;
    switch (AskYesNoCancel(this, QString::fromUtf8(ui_text::kAskUndoInterrupted))) {
        case Answer::Yes:
            StartUndo(job.folder);
            return false;
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
}

void CReplaceDlg::StartUndo(const std::string& folder) {
    LaunchJob(BuildUndoJob(folder), ResultsKind::Undo);
}

std::string CReplaceDlg::FolderOfEdit() const {
    // Spelt as the run spells it.
    return g_pCore->parsePath(ToWorking(m_pPath->text()));
}

void CReplaceDlg::RefreshResultsButton() {
    if (m_bHadJob)
        return;
    const std::string root = RunJournalRoot();
    const std::string folder = FolderOfEdit();
    m_pResultsButton->setEnabled(!root.empty() && !folder.empty() && HasLastRun(root, folder));
}

// The list is what the journal says the run changed, and the undo offered
// is of that run.
void CReplaceDlg::ShowLastRunFromJournal() {
    const std::string root = RunJournalRoot();
    const std::string folder = FolderOfEdit();
    CJournalContents journal;
    if (root.empty() || folder.empty() || !ReadLastRun(root, folder, journal)) {
        m_pResultsButton->setEnabled(false);  // gone since it was looked for
        return;
    }
    const auto files = static_cast<size_t>(
        std::count_if(journal.entries.begin(), journal.entries.end(),
                      [](const CJournalEntry& e) { return e.kind == JournalRecord::File; }));
    CJob job;
    job.folder = folder;
    Results().Begin(ResultsKind::Run, job);
    Results().Feed(JournalEvents(journal, folder));
    Results().Finish(FormatJournalLine(journal.header.startTime, files,
                                       journal.entries.size() - files, journal.finished));
    m_undoFolder = folder;
    Results().SetUndoOffered(true);
    Results().ShowOnTop();
}
