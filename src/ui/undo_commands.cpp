// Undo from the dialog: 撤销本次执行 in the results window, and 结果 before
// any run of this session, which shows the folder's last run from its
// journal. The undo itself is a job of the run controller, like a run.

#include <QLineEdit>
#include <QPushButton>

#include "app/app_session.h"
#include "app/journals.h"
#include "app/run_controller.h"
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
    if (!m_bHadJob && m_pSession)
        m_form.results->setEnabled(HasJournalOfLastRun(FolderOfEdit()));
}

// The list is what the journal says the run changed, and the undo offered
// is of that run.
void CReplaceDlg::ShowLastRunFromJournal() {
    const std::string folder = FolderOfEdit();
    CLastRunShown shown;
    if (!ReadLastRunShown(folder, shown)) {
        m_form.results->setEnabled(false);  // gone since it was looked for
        return;
    }
    CJob job;
    job.folder = folder;
    Results().Begin(RunKind::Run, job);
    Results().Feed(shown.events);
    Results().Finish(QString::fromUtf8(shown.countsLine));
    m_undoFolder = folder;
    Results().SetUndoOffered(true);
    Results().ShowOnTop();
}
