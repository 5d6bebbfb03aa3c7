#pragma once
// CRulesWindow ("规则 - Korvane"): the rules editor, one tab per rules file
// (CRulesTable), with 用文本编辑器打开 for the file of the tab shown, 保存 for
// every changed file and 关闭, which asks first about unsaved changes.
// Modeless; the dialog keeps one and reuses it. Dialog thread only.

#include <QWidget>

#include "engine/run/job.h"
#include "prep/rule_check.h"

class QPushButton;
class QTabWidget;
class CAppSession;
class CRulesTable;

class CRulesWindow : public QWidget {
    Q_OBJECT

  public:
    CRulesWindow(CAppSession& session, QWidget* parent);

    // Shows the tab of file, the files read again unless they hold unsaved changes.
    void ShowFile(RulesFile file);
    // Saves every changed file; false when one could not be saved (said already).
    bool Save();
    CRulesTable& Table(RulesFile file);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    bool Modified() const;
    void Load(RulesFile file);
    void UpdateButtons();
    void OpenInEditor();

    CAppSession& m_session;
    QTabWidget* m_pTabs = nullptr;
    CRulesTable* m_pTables[2] = {nullptr, nullptr};
    QPushButton* m_pSave = nullptr;
};

// The dialog's rules editor on the tab of file: made on first use, then reused.
// modes: the dialog's match modes, which the replacement rules' tester uses.
void ShowRulesWindow(QWidget& dialog, CAppSession& session, RulesFile file,
                     const CMatchModes& modes = {});
