#include "ui/replace_dlg.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

#include "engine/run/replace_thread.h"
#include "prep/job_inputs.h"
#include "prep/job_tables.h"
#include "service/core.h"
#include "service/soft_record.h"
#include "ui/dialog_notify.h"
#include "ui/job_event.h"
#include "ui/qt_dialog_host.h"
#include "ui/qt_settings_store.h"
#include "ui/replace_app.h"
#include "ui/results_window.h"
#include "ui/ui_texts.h"
#include "ui/working_text.h"

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <class W>
W* Control(W* widget, ControlId id) {
    widget->setObjectName(QStringLiteral("ctl%1").arg(static_cast<int>(id)));
    return widget;
}

QPushButton* Button(ControlId id, const char* text) {
    auto* button = Control(new QPushButton(Text(text)), id);
    button->setAutoDefault(false);  // Enter never presses a button
    return button;
}

// A tooltip, and the accessible name for a control whose text does not say
// what it is (an edit, the status and counts lines).
void Describe(QWidget* widget, const char* tip, const char* name = nullptr) {
    widget->setToolTip(Text(tip));
    if (name)
        widget->setAccessibleName(Text(name));
}

// The program's icon in the sizes the title bar, task bar and switcher use.
QIcon WindowIcon() {
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/vexa/vexa-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace

CReplaceDlg::CReplaceDlg(QWidget* parent)
    : QDialog(parent),
      m_hIcon(WindowIcon()),
      m_pStore(std::make_unique<CQtSettingsStore>()),
      m_pQtHost(std::make_unique<CQtDialogHost>()),
      m_pNotify(std::make_unique<CDialogNotify>(this)) {
    setWindowTitle(Text(ui_text::kCaption));
    // Title, system menu and minimise box; no maximise, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();
}

CReplaceDlg::~CReplaceDlg() {
    OnDestroy();
}

// The controls in template order, which is also the tab order. Sizes come
// from the font: the edits are as wide as the template's 252 dialog units.
void CReplaceDlg::BuildControls() {
    m_pStartStop = Button(IDC_STARTSTOP, ui_text::kStart);
    m_pPath = Control(new QLineEdit, IDC_PATH);
    auto* browse = Button(IDC_BROWSE, ui_text::kBrowse);
    auto* openPath = Button(IDC_OPENPATH, ui_text::kOpen);
    m_pSuffix = Control(new QLineEdit, IDC_SUFFIX);
    m_pSub = Control(new QCheckBox(Text(ui_text::kIncludeSub)), IDC_SUB);
    m_pRenameDir = Control(new QCheckBox(Text(ui_text::kRenameDirs)), IDC_RENAMEDIR);
    auto* replaceRules = Button(IDC_REPLACE_RULES, ui_text::kReplaceRules);
    auto* renameRules = Button(IDC_RENAME_RULES, ui_text::kRenameRules);
    auto* about = Button(IDC_ABOUT, ui_text::kAbout);
    auto* folderLabel = new QLabel(Text(ui_text::kFolderLabel));
    m_pStatus = Control(new QLabel(Text(ui_text::kReady)), IDC_STATUS);
    auto* suffixLabel = new QLabel(Text(ui_text::kSuffixLabel));
    auto* suffixHint = new QLabel(Text(ui_text::kSuffixHint));
    m_pPreview = Button(IDC_PREVIEW, ui_text::kPreview);
    m_pResultsButton = Button(IDC_RESULTS, ui_text::kResults);
    m_pResultsButton->setEnabled(false);  // until a run or preview has started
    m_pCounts = Control(new QLabel, IDC_COUNTS);
    m_pCounts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pCounts->setWordWrap(true);
    Describe(m_pStartStop, ui_text::kTipStartStop);
    Describe(m_pPath, ui_text::kTipPath, ui_text::kFolderLabel);
    Describe(browse, ui_text::kTipBrowse);
    Describe(openPath, ui_text::kTipOpen);
    Describe(m_pSuffix, ui_text::kTipSuffix, ui_text::kSuffixLabel);
    Describe(m_pSub, ui_text::kTipSub);
    Describe(m_pRenameDir, ui_text::kTipRenameDirs);
    Describe(replaceRules, ui_text::kTipReplaceRules);
    Describe(renameRules, ui_text::kTipRenameRules);
    Describe(about, ui_text::kTipAbout);
    Describe(m_pStatus, ui_text::kTipStatus, ui_text::kTipStatus);
    Describe(m_pPreview, ui_text::kTipPreview);
    Describe(m_pResultsButton, ui_text::kTipResults);
    Describe(m_pCounts, ui_text::kTipCounts, ui_text::kTipCounts);

    m_pPath->setPlaceholderText(Text(ui_text::kPathPlaceholder));
    m_pSuffix->setPlaceholderText(Text(ui_text::kSuffixPlaceholder));
    const int dluX = fontMetrics().averageCharWidth();  // four horizontal dialog units
    m_pPath->setMinimumWidth(dluX * 63);
    m_pSuffix->setMinimumWidth(dluX * 63);
    m_pStatus->setMinimumWidth(dluX * 40);
    for (QPushButton* b : {m_pStartStop, about, m_pPreview, m_pResultsButton})
        b->setMinimumWidth(std::max(b->sizeHint().width(), dluX * 12));
    folderLabel->setBuddy(m_pPath);
    suffixLabel->setBuddy(m_pSuffix);

    auto* grid = new QGridLayout;
    grid->addWidget(folderLabel, 0, 0);
    grid->addWidget(m_pPath, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(openPath, 0, 3);
    grid->addWidget(suffixLabel, 1, 0);
    grid->addWidget(m_pSuffix, 1, 1);
    grid->addWidget(suffixHint, 1, 2, 1, 2);
    grid->addWidget(m_pSub, 2, 1);
    grid->addWidget(m_pRenameDir, 3, 1);
    grid->setRowMinimumHeight(4, fontMetrics().height() * 3 / 2);
    auto* rulesRow = new QHBoxLayout;
    rulesRow->addWidget(replaceRules);
    rulesRow->addWidget(renameRules);
    rulesRow->addStretch();
    grid->addLayout(rulesRow, 5, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_pStatus, 1);
    bottom->addWidget(m_pPreview);
    bottom->addWidget(m_pStartStop);
    bottom->addWidget(about);
    auto* countsRow = new QHBoxLayout;
    countsRow->addWidget(m_pCounts, 1);
    countsRow->addWidget(m_pResultsButton);
    m_pCounts->setMinimumWidth(dluX * 70);

    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addSpacing(fontMetrics().height() * 2);
    top->addLayout(bottom);
    top->addLayout(countsRow);
    top->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* order[] = {m_pStartStop, m_pPath, browse,       openPath,
                        m_pSuffix,    m_pSub,  m_pRenameDir, replaceRules,
                        renameRules,  about,   m_pPreview,   m_pResultsButton};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(m_pStartStop, &QPushButton::clicked, this, &CReplaceDlg::OnStartStop);
    connect(browse, &QPushButton::clicked, this, &CReplaceDlg::OnBrowsePath);
    connect(openPath, &QPushButton::clicked, this, &CReplaceDlg::OnOpenPath);
    connect(replaceRules, &QPushButton::clicked, this, &CReplaceDlg::OnOpenReplaceRules);
    connect(renameRules, &QPushButton::clicked, this, &CReplaceDlg::OnOpenRenameRules);
    connect(about, &QPushButton::clicked, this, &CReplaceDlg::OnAbout);
    connect(m_pPreview, &QPushButton::clicked, this, &CReplaceDlg::OnPreview);
    connect(m_pResultsButton, &QPushButton::clicked, this, &CReplaceDlg::OnResults);
    // Before any run, 结果 follows the folder typed: looked for once typing
    // pauses, and when the edit is left.
    m_pJournalCheck = new QTimer(this);
    m_pJournalCheck->setSingleShot(true);
    m_pJournalCheck->setInterval(300);
    connect(m_pJournalCheck, &QTimer::timeout, this, &CReplaceDlg::RefreshResultsButton);
    connect(m_pPath, &QLineEdit::textChanged, m_pJournalCheck, qOverload<>(&QTimer::start));
    connect(m_pPath, &QLineEdit::editingFinished, this, &CReplaceDlg::RefreshResultsButton);

    // Every key reaches PreTranslateMessage first, whichever control has the focus.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

int CReplaceDlg::OnInitDialog() {
    m_bInitialised = true;
    setWindowIcon(m_hIcon);  // large and small alike

    g_pCore = new CCore;
    g_pCore->SetSettingsStore(m_pStore.get());
    m_pQtHost->SetOwner(this);
    g_pCore->SetDialogHost(m_pHostOverride ? m_pHostOverride : m_pQtHost.get());
    g_pSoft = new tagSoft{};
    FillSoftRecord(*g_pSoft);
    g_pCore->autoFileConfig();

    g_jobTables.appPrefix = g_pCore->getAppPath();
    g_jobTables.replaceRulesPath = g_jobTables.appPrefix + kReplaceRulesSuffix;
    g_jobTables.renameRulesPath = g_jobTables.appPrefix + kRenameRulesSuffix;
    g_pCore->createFile(g_jobTables.replaceRulesPath, 0);
    g_pCore->createFile(g_jobTables.renameRulesPath, 0);

    m_pPath->setText(FromWorking(g_pCore->getConfigStr("pathuser")));
    m_pSuffix->setText(FromWorking(g_pCore->getConfigStr("fileext")));
    m_pSub->setChecked(g_pCore->getConfigB("sub") != 0);
    m_pRenameDir->setChecked(g_pCore->getConfigB("renamedir") != 0);

    g_jobTables.Allocate();
    RefreshResultsButton();
    m_bRunning = 0;
    m_stopWord.store(true);
    return 1;
}

int CReplaceDlg::CollectInputs(int validate) {
    g_jobTables.folderPath = ToWorking(m_pPath->text());
    g_jobTables.suffixText = ToWorking(m_pSuffix->text());
    g_jobTables.includeSubfolders = m_pSub->isChecked() ? 1 : 0;
    g_jobTables.renameFolders = m_pRenameDir->isChecked() ? 1 : 0;
    if (!validate)
        return 1;
    return CheckJobInputs(Owner(), [this](JobInput input) {
        (input == JobInput::Folder ? m_pPath : m_pSuffix)->setFocus();
    });
}

void CReplaceDlg::OnDestroy() {
    if (m_bDestroyed || !m_bInitialised)
        return;
    m_bDestroyed = true;
    // Ask a running worker to stop and wait until it has ended: it reads the
    // tables and g_pCore that are saved from and released below.
    if (m_bRunning)
        m_stopWord.store(true);
    m_pNotify->Detach();
    if (m_pWorker) {
        m_pWorker->Join();
        m_pWorker.reset();
    }
    QCoreApplication::removePostedEvents(this, kJobProgressEvent);
    QCoreApplication::removePostedEvents(this, kJobDoneEvent);
    m_bRunning = 0;

    CollectInputs(0);
    g_pCore->saveConfigStr("pathuser", g_jobTables.folderPath);
    g_pCore->saveConfigStr("fileext", g_jobTables.suffixText);
    g_pCore->saveConfigB("sub", g_jobTables.includeSubfolders);
    g_pCore->saveConfigB("renamedir", g_jobTables.renameFolders);

    g_jobTables.Release();
    delete g_pCore;
    g_pCore = nullptr;
    delete g_pSoft;
    g_pSoft = nullptr;
}

void CReplaceDlg::SetStatus(const std::string& text) {
    m_pStatus->setText(QString::fromUtf8(text));
    Q_EMIT statusChanged(m_pStatus->text());
}

bool CReplaceDlg::PreTranslateMessage(QObject* target, QEvent* event) {
    if (FilterKey(target, event))
        return true;
    if (event->type() == kJobProgressEvent) {
        OnJobProgress(m_pNotify->TakeProgress());
        return true;
    }
    if (event->type() == kJobDoneEvent) {
        OnJobDone();
        return true;
    }
    return false;
}

// Enter and Escape never close the dialog or press a button, and no Alt
// combination does anything (Alt+F4 included; there are no mnemonics). Boxes
// and the picker are windows of their own and keep their keys.
bool CReplaceDlg::FilterKey(QObject* target, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(target);
    if (!widget || widget->window() != this)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool consumed = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                          key->key() == Qt::Key_Escape || key->key() == Qt::Key_Alt ||
                          (key->modifiers() & Qt::AltModifier);
    if (type == QEvent::ShortcutOverride) {
        // Accepted: no shortcut sees the key, which then arrives as a key press.
        if (consumed)
            event->accept();
        return consumed;
    }
    if (!consumed && key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
        if (auto* app = qobject_cast<CReplaceApp*>(QCoreApplication::instance()))
            app->OnHelp(this);
        return true;
    }
    return consumed;
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
        m_pStartStop->setFocus();  // the first control in tab order
    }
    QDialog::showEvent(event);
}

// The dialog finishes (the close box, as a cancel): this is where the
// window's destruction handling runs, before exec() returns.
void CReplaceDlg::done(int result) {
    OnDestroy();
    QDialog::done(result);
}
