// The dialog's remaining commands: the folder picker, opening the folder and
// the two rules files, and About.

#include <QFileDialog>
#include <QLineEdit>

#include "prep/job_tables.h"
#include "service/core.h"
#include "service/soft_record.h"
#include "ui/open_failure_box.h"
#include "ui/replace_dlg.h"
#include "ui/results_window.h"
#include "ui/ui_texts.h"
#include "ui/working_text.h"

namespace {

QString PickFolder(QWidget* owner, const QString& title, const QString& initial) {
    return QFileDialog::getExistingDirectory(owner, title, initial, QFileDialog::ShowDirsOnly);
}

}  // namespace

void CReplaceDlg::OnBrowsePath() {
    BrowseFolder(IDC_PATH);
}

// Opens the picker on the folder typed in the control when it exists. The
// chosen folder replaces the text without a trailing separator (a start
// adds it); cancelling leaves the text as it was.
void CReplaceDlg::BrowseFolder(ControlId controlId) {
    auto* edit = findChild<QLineEdit*>(QStringLiteral("ctl%1").arg(static_cast<int>(controlId)));
    if (!edit)
        return;
    const QString typed = edit->text();
    const QString initial = g_pCore->isPathExist(ToWorking(typed)) ? typed : QString();
    const QString title = QString::fromUtf8(ui_text::kPickFolderTitle);
    QString chosen =
        m_pickFolder ? m_pickFolder(this, title, initial) : PickFolder(this, title, initial);
    if (chosen.isEmpty())
        return;
    while (chosen.size() > 1 && chosen.endsWith(QLatin1Char('/')))
        chosen.chop(1);
    edit->setText(chosen);
}

// The folder path of the tables takes the edit's text, except during a run:
// the worker copies that path on its own thread as it starts, and a string
// written while another thread copies it can tear. The path opened is the
// same either way.
void CReplaceDlg::OnOpenPath() {
    const std::string path = ToWorking(m_pPath->text());
    if (!m_bRunning)
        g_jobTables.folderPath = path;
    OpenTarget(path, true);
}

void CReplaceDlg::OnOpenReplaceRules() {
    OpenTarget(g_jobTables.replaceRulesPath, false);
}

void CReplaceDlg::OnOpenRenameRules() {
    OpenTarget(g_jobTables.renameRulesPath, false);
}

// What is not there is not handed to the desktop: its handler would fail
// out of sight. What is there and finds no program gets the same warning.
void CReplaceDlg::OpenTarget(const std::string& path, bool folder) {
    const bool exists = folder ? g_pCore->isPathExist(path) : g_pCore->isFileExist(path);
    const char* why = !exists ? (folder ? ui_text::kOpenNoFolder : ui_text::kOpenNoFile)
                      : g_pCore->openUrl(path) ? nullptr
                                               : ui_text::kOpenNoHandler;
    if (!why)
        return;
    ShowOpenFailure(this, FromWorking(path), QString::fromUtf8(why));
}

void CReplaceDlg::OnAbout() {
    g_pCore->uu(4, g_pSoft, "");
}
