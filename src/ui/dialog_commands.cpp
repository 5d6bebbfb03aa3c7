// The dialog's remaining commands: the folder picker, opening the folder and
// the two rules files, and About.

#include <QFileDialog>
#include <QLineEdit>

#include "app/app_session.h"
#include "app/app_texts.h"
#include "service/core.h"
#include "ui/open_failure_box.h"
#include "ui/replace_dlg.h"
#include "ui/results_window.h"
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
    const QString initial = m_pSession->Core().isPathExist(ToWorking(typed)) ? typed : QString();
    const QString title = QString::fromUtf8(app_text::kPickFolderTitle);
    QString chosen =
        m_pickFolder ? m_pickFolder(this, title, initial) : PickFolder(this, title, initial);
    if (chosen.isEmpty())
        return;
    while (chosen.size() > 1 && chosen.endsWith(QLatin1Char('/')))
        chosen.chop(1);
    edit->setText(chosen);
}

void CReplaceDlg::OnOpenPath() {
    OpenTarget(ToWorking(m_form.path->text()), true);
}

void CReplaceDlg::OnOpenReplaceRules() {
    OpenTarget(m_pSession->ReplaceRulesPath(), false);
}

void CReplaceDlg::OnOpenRenameRules() {
    OpenTarget(m_pSession->RenameRulesPath(), false);
}

void CReplaceDlg::OpenTarget(const std::string& path, bool folder) {
    if (const char* why = m_pSession->OpenTarget(path, folder))
        ShowOpenFailure(this, FromWorking(path), QString::fromUtf8(why));
}

void CReplaceDlg::OnAbout() {
    m_pSession->ShowAbout();
}
