#include "ui/replace_dlg.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "app/app_session.h"
#include "app/app_texts.h"
#include "app/run_controller.h"
#include "service/core.h"
#include "service/dialog_host.h"
#include "ui/dialog_keys.h"
#include "ui/dialog_notify.h"
#include "ui/job_event.h"
#include "ui/open_failure_box.h"
#include "ui/qt_dialog_host.h"
#include "ui/qt_settings_store.h"
#include "ui/question_box.h"
#include "ui/rules_window.h"
#include "ui/working_text.h"

namespace {

// The program's icon in the sizes the title bar, task bar and switcher use.
QIcon WindowIcon() {
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/vexa/vexa-%1.png").arg(size), QSize(size, size));
    return icon;
}

QString PickFolder(QWidget* owner, const QString& title, const QString& initial) {
    return QFileDialog::getExistingDirectory(owner, title, initial, QFileDialog::ShowDirsOnly);
}

}  // namespace

CReplaceDlg::CReplaceDlg(QWidget* parent)
    : QDialog(parent),
      m_hIcon(WindowIcon()),
      m_pStore(std::make_unique<CQtSettingsStore>()),
      m_pQtHost(std::make_unique<CQtDialogHost>()),
      m_pNotify(std::make_unique<CDialogNotify>(this)) {
    setWindowTitle(QString::fromUtf8(app_text::kCaption));
    // Title, system menu and minimise box; no maximise, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    BuildDialogForm(*this, m_form);
    ConnectControls();
}

CReplaceDlg::~CReplaceDlg() {
    OnDestroy();
}

void CReplaceDlg::ConnectControls() {
    const CDialogForm& f = m_form;
    connect(f.startStop, &QPushButton::clicked, this, &CReplaceDlg::OnStartStop);
    connect(f.browse, &QPushButton::clicked, this, &CReplaceDlg::OnBrowsePath);
    connect(f.openPath, &QPushButton::clicked, this, &CReplaceDlg::OnOpenPath);
    connect(f.replaceRules, &QPushButton::clicked, this, &CReplaceDlg::OnOpenReplaceRules);
    connect(f.renameRules, &QPushButton::clicked, this, &CReplaceDlg::OnOpenRenameRules);
    connect(f.about, &QPushButton::clicked, this, &CReplaceDlg::OnAbout);
    connect(f.preview, &QPushButton::clicked, this, &CReplaceDlg::OnPreview);
    connect(f.results, &QPushButton::clicked, this, &CReplaceDlg::OnResults);
    // Before any run, 结果 follows the folder typed: looked for once typing
    // pauses, and when the edit is left.
    m_pJournalCheck = new QTimer(this);
    m_pJournalCheck->setSingleShot(true);
    m_pJournalCheck->setInterval(300);
    connect(m_pJournalCheck, &QTimer::timeout, this, &CReplaceDlg::RefreshResultsButton);
    connect(f.path, &QLineEdit::textChanged, m_pJournalCheck, qOverload<>(&QTimer::start));
    connect(f.path, &QLineEdit::editingFinished, this, &CReplaceDlg::RefreshResultsButton);
    // Every key reaches PreTranslateMessage first, whichever control has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

int CReplaceDlg::OnInitDialog() {
    m_bInitialised = true;
    setWindowIcon(m_hIcon);  // large and small alike
    m_pQtHost->SetOwner(this);
    m_pSession = std::make_unique<CAppSession>(CAppSession::Kind::Dialog, m_pStore.get(),
                                               m_pHostOverride ? m_pHostOverride : m_pQtHost.get());
    m_pController = std::make_unique<CRunController>(*m_pSession, *this);
    ShowInputs(m_pSession->LoadSettings());
    ShowRecentFolders(m_pSession->RecentFolders());
    RefreshResultsButton();
    return 1;
}

int CReplaceDlg::CollectInputs(int validate) {
    return m_pController->CollectInputs(validate);
}

void CReplaceDlg::OnDestroy() {
    if (!m_pController)
        return;           // never shown, or destroyed already
    m_pNotify->Detach();  // what the worker posts from here on is dropped
    QCoreApplication::removePostedEvents(this, kJobProgressEvent);
    QCoreApplication::removePostedEvents(this, kJobDoneEvent);
    m_pController->ShutdownAndSave();  // the worker ends before the session closes
    m_pController.reset();
    m_pSession.reset();
}

bool CReplaceDlg::IsRunning() const {
    return m_pController && m_pController->IsRunning();
}

void CReplaceDlg::SetStatus(const std::string& text) {
    m_form.status->setText(QString::fromUtf8(text));
    Q_EMIT statusChanged(m_form.status->text());
}

bool CReplaceDlg::PreTranslateMessage(QObject* target, QEvent* event) {
    if (FilterDialogKey(*this, target, event))
        return true;
    if (event->type() == kJobProgressEvent) {
        const std::intptr_t count = m_pNotify->TakeProgress();
        if (m_pController)
            m_pController->OnJobProgress(count);
        return true;
    }
    if (event->type() == kJobDoneEvent) {
        if (m_pController)
            m_pController->OnJobDone();
        return true;
    }
    return false;
}

bool CReplaceDlg::event(QEvent* event) {
    return PreTranslateMessage(this, event) || QDialog::event(event);
}

bool CReplaceDlg::eventFilter(QObject* watched, QEvent* event) {
    return PreTranslateMessage(watched, event) || QDialog::eventFilter(watched, event);
}

void CReplaceDlg::showEvent(QShowEvent* event) {
    if (!m_bInitialised && !event->spontaneous()) {
        OnInitDialog();
        m_form.startStop->setFocus();  // the first control in tab order
    }
    QDialog::showEvent(event);
}

// The dialog finishes (the close box, as a cancel): this is where the
// window's destruction handling runs, before exec() returns.
void CReplaceDlg::done(int result) {
    OnDestroy();
    QDialog::done(result);
}

CDialogSettings CReplaceDlg::Inputs() const {
    return {ToWorking(m_form.path->text()), ToWorking(m_form.suffix->text()),
            m_form.sub->isChecked(), m_form.renameDir->isChecked(), m_form.modes.Modes()};
}

void CReplaceDlg::ShowInputs(const CDialogSettings& settings) {
    m_form.path->setText(FromWorking(settings.folder));
    m_form.suffix->setText(FromWorking(settings.suffixes));
    m_form.sub->setChecked(settings.includeSubfolders);
    m_form.renameDir->setChecked(settings.renameFolders);
    m_form.modes.Show(settings.modes);
}

void CReplaceDlg::FocusInput(JobInput input) {
    if (input == JobInput::Folder || input == JobInput::Suffix)
        (input == JobInput::Folder ? m_form.path : m_form.suffix)->setFocus();
}

void CReplaceDlg::SetCounts(const std::string& text) {
    ShowCountsLine(m_form.counts, QString::fromUtf8(text));
}

// 预览 waits while anything runs.
void CReplaceDlg::ShowState(RunState state, RunKind) {
    m_form.startStop->setText(QString::fromUtf8(StartStopCaption(state)));
    SetEnabledKeepingFocus(m_form.startStop, state != RunState::Stopping);
    m_form.preview->setEnabled(state == RunState::Idle);
}

// Asked over the window the user works in: the results window for its undo.
bool CReplaceDlg::Confirm(const std::string& text) {
    QWidget* owner = m_pResults && m_pResults->isActiveWindow() ? static_cast<QWidget*>(m_pResults)
                                                                : static_cast<QWidget*>(this);
    return m_pSession->Core().msgboxConfirm(owner, text) == CDialogHost::kYes;
}

Answer CReplaceDlg::AskYesNoCancel(const std::string& text) {
    return ::AskYesNoCancel(this, QString::fromUtf8(text));
}

void CReplaceDlg::Notice(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), QString::fromUtf8(text), QMessageBox::Ok,
                    this);
    box.exec();
}

CNotifyTarget& CReplaceDlg::NotifyTarget() {
    return *m_pNotify;
}

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
    ShowRulesWindow(*this, *m_pSession, RulesFile::Replace, m_form.modes.Modes());
}

void CReplaceDlg::OnOpenRenameRules() {
    ShowRulesWindow(*this, *m_pSession, RulesFile::Rename, m_form.modes.Modes());
}

// A failure is shown over the window the user asked in: the results
// window for its context menu.
void CReplaceDlg::OpenTarget(const std::string& path, bool folder) {
    QWidget* owner = sender() == m_pResults ? static_cast<QWidget*>(m_pResults) : this;
    if (const char* why = m_pSession->OpenTarget(path, folder))
        ShowOpenFailure(owner, FromWorking(path), QString::fromUtf8(why));
}

void CReplaceDlg::OnAbout() {
    m_pSession->ShowAbout();
}
