// Undo from the dialog: 撤销本次执行 in the results window, and 结果 before
// any run of this session, which shows the folder's last run from its
// journal. The undo itself is a job of the run controller, like a run.

#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

#include "app/app_session.h"
#include "app/counts_line.h"
#include "app/run_controller.h"
#include "engine/journal/journal_events.h"
#include "engine/journal/journal_store.h"
#include "prep/build_job.h"
#include "service/core.h"
#include "ui/replace_dlg.h"
#include "ui/working_text.h"

void CReplaceDlg::OnUndo() {
    if (!m_pController->IsRunning() && !m_undoFolder.empty())
        m_pController->StartUndo(m_undoFolder);
}

std::string CReplaceDlg::FolderOfEdit() const {
    // Spelt as the run spells it.
    return m_pSession->Core().parsePath(ToWorking(m_form.path->text()));
}

void CReplaceDlg::RefreshResultsButton() {
    if (m_bHadJob || !m_pSession)
        return;
    const std::string root = RunJournalRoot();
    const std::string folder = FolderOfEdit();
    m_form.results->setEnabled(!root.empty() && !folder.empty() && HasLastRun(root, folder));
}

// The list is what the journal says the run changed, and the undo offered
// is of that run.
void CReplaceDlg::ShowLastRunFromJournal() {
    const std::string root = RunJournalRoot();
    const std::string folder = FolderOfEdit();
    CJournalContents journal;
    if (root.empty() || folder.empty() || !ReadLastRun(root, folder, journal)) {
        m_form.results->setEnabled(false);  // gone since it was looked for
        return;
    }
    const auto files = static_cast<size_t>(
        std::count_if(journal.entries.begin(), journal.entries.end(),
                      [](const CJournalEntry& e) { return e.kind == JournalRecord::File; }));
    CJob job;
    job.folder = folder;
    Results().Begin(RunKind::Run, job);
    Results().Feed(JournalEvents(journal, folder));
    Results().Finish(QString::fromUtf8(FormatJournalLine(
        journal.header.startTime, files, journal.entries.size() - files, journal.finished)));
    m_undoFolder = folder;
    Results().SetUndoOffered(true);
    Results().ShowOnTop();
}
