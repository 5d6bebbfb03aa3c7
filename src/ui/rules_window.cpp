#include "ui/rules_window.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/app_session.h"
#include "app/app_texts.h"
#include "app/rules_editor_texts.h"
#include "service/core.h"
#include "service/dialog_host.h"
#include "ui/open_failure_box.h"
#include "ui/question_box.h"
#include "ui/rules_table.h"
#include "ui/working_text.h"

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

int Index(RulesFile file) {
    return file == RulesFile::Replace ? 0 : 1;
}

// A top-level QWidget is a plain client area to assistive technology; this
// one is a window of its own, reached from the dialog.
QAccessibleInterface* RulesWindowAccessible(const QString& key, QObject* object) {
    if (key == QLatin1String("CRulesWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

QPushButton* Button(const char* name, const char* text) {
    auto* button = new QPushButton(Text(text));
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

CRulesWindow::CRulesWindow(CAppSession& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session) {
    static const bool kAccessibleInstalled =
        (QAccessible::installFactory(RulesWindowAccessible), true);
    (void)kAccessibleInstalled;
    setObjectName(QStringLiteral("rulesWindow"));
    setWindowTitle(Text(app_text::kRulesCaption));
    m_pTabs = new QTabWidget;
    for (RulesFile file : {RulesFile::Replace, RulesFile::Rename}) {
        auto* table = new CRulesTable(file);
        m_pTables[Index(file)] = table;
        m_pTabs->addTab(
            table, Text(file == RulesFile::Replace ? app_text::kReplaceTab : app_text::kRenameTab));
        connect(table, &CRulesTable::changed, this, &CRulesWindow::UpdateButtons);
    }
    QPushButton* open = Button("openInEditor", app_text::kOpenInEditor);
    m_pSave = Button("saveRules", app_text::kSave);
    QPushButton* close = Button("closeRules", app_text::kClose);
    connect(open, &QPushButton::clicked, this, &CRulesWindow::OpenInEditor);
    connect(m_pSave, &QPushButton::clicked, this, &CRulesWindow::Save);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(open);
    buttons->addStretch();
    buttons->addWidget(m_pSave);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs, 1);
    layout->addLayout(buttons);
    resize(760, 560);
}

CRulesTable& CRulesWindow::Table(RulesFile file) {
    return *m_pTables[Index(file)];
}

void CRulesWindow::ShowFile(RulesFile file) {
    for (RulesFile f : {RulesFile::Replace, RulesFile::Rename}) {
        if (!Table(f).Document().Modified())
            Load(f);
    }
    m_pTabs->setCurrentIndex(Index(file));
    UpdateButtons();
    show();
    raise();
    activateWindow();
}

void CRulesWindow::Load(RulesFile file) {
    const std::string& path =
        file == RulesFile::Replace ? m_session.ReplaceRulesPath() : m_session.RenameRulesPath();
    const std::string why = Table(file).Document().Load(path);
    Table(file).Refresh();
    if (!why.empty())
        m_session.Core().msgboxWarning(this, why);
}

bool CRulesWindow::Modified() const {
    return m_pTables[0]->Document().Modified() || m_pTables[1]->Document().Modified();
}

// 保存 is offered while a file holds changes and none of them is invalid.
void CRulesWindow::UpdateButtons() {
    bool ready = Modified();
    for (CRulesTable* table : m_pTables) {
        const CRulesDocument& doc = table->Document();
        ready = ready && (!doc.Modified() || doc.InvalidCount() == 0);
    }
    m_pSave->setEnabled(ready);
}

// A file changed elsewhere since it was read is never overwritten: the user
// may read it again instead, giving up the changes in the table.
bool CRulesWindow::Save() {
    bool saved = true;
    for (CRulesTable* table : m_pTables) {
        CRulesDocument& doc = table->Document();
        if (!doc.Modified())
            continue;
        std::string why;
        switch (doc.Save(why)) {
            case CRulesDocument::SaveOutcome::Saved:
                break;
            case CRulesDocument::SaveOutcome::ChangedElsewhere:
                saved = false;
                if (m_session.Core().msgboxConfirm(this, why) == CDialogHost::kYes)
                    Load(doc.File());
                break;
            case CRulesDocument::SaveOutcome::Failed:
                saved = false;
                m_session.Core().msgboxWarning(this, why);
                break;
        }
        table->Refresh();
    }
    UpdateButtons();
    return saved;
}

void CRulesWindow::OpenInEditor() {
    const bool replace = m_pTabs->currentIndex() == 0;
    const std::string& path = replace ? m_session.ReplaceRulesPath() : m_session.RenameRulesPath();
    if (const char* why = m_session.OpenTarget(path, false))
        ShowOpenFailure(this, FromWorking(path), QString::fromUtf8(why));
}

// Unsaved changes are saved, dropped or kept open, as the user answers.
void CRulesWindow::closeEvent(QCloseEvent* event) {
    if (Modified()) {
        switch (AskYesNoCancel(this, Text(app_text::kAskSaveOnClose))) {
            case Answer::Yes:
                if (!Save()) {
                    event->ignore();
                    return;
                }
                break;
            case Answer::No:
                for (RulesFile file : {RulesFile::Replace, RulesFile::Rename})
                    Load(file);
                break;
            case Answer::Cancel:
                event->ignore();
                return;
        }
    }
    QWidget::closeEvent(event);
}

void ShowRulesWindow(QWidget& dialog, CAppSession& session, RulesFile file,
                     const CMatchModes& modes) {
    auto* window = dialog.findChild<CRulesWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new CRulesWindow(session, &dialog);
    window->Table(RulesFile::Replace).SetModes(modes);
    window->ShowFile(file);
}
