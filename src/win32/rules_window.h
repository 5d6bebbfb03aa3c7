#pragma once
// CRulesWindow ("规则 - Korvane"), the Windows rules editor from dialog
// template 103: a tab per rules file, a list view with a row per line of
// the file, the selected rule's two texts edited in the edits below it, the
// tester, and 用文本编辑器打开, 保存 and 关闭. It draws a CRulesDocument per
// file, as the Qt editor does. Modeless, owned by the dialog; the dialog's
// thread only.

#include <windows.h>

#include "app/rules_document.h"

class CAppSession;

class CRulesWindow {
  public:
    CRulesWindow(CAppSession& session, HWND owner);
    ~CRulesWindow();
    CRulesWindow(const CRulesWindow&) = delete;
    CRulesWindow& operator=(const CRulesWindow&) = delete;

    // Shows the tab of file, the files read again unless they hold unsaved changes.
    void ShowFile(RulesFile file);
    // The match modes the tester applies the replacement rules with (the dialog's).
    void SetModes(const CMatchModes& modes);
    // Shift+Enter in a cell types a line break (⏎); then the window's own
    // keyboard navigation. TRUE when msg was handled.
    BOOL PreTranslateMessage(MSG* msg);

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(NMHDR* header);
    void OnCommand(int id, int code);

    CRulesDocument& Doc() { return m_docs[m_tab]; }
    HWND Item(int id) const { return GetDlgItem(m_hWnd, id); }
    int Selected() const;
    void Load(int tab);
    void ShowTab(int tab);
    void FillList(int select);
    void ShowRowText(int row);
    void ShowSelected();
    void ShowState();
    void OnCellChanged(int column);
    void OnAdd();
    void OnRemove();
    void OnMove(bool up);
    bool Save();
    void OnClose();
    void OpenInEditor();

    CAppSession& m_session;
    HWND m_hWnd = nullptr;
    CMatchModes m_modes;
    CRulesDocument m_docs[2] = {CRulesDocument(RulesFile::Replace),
                                CRulesDocument(RulesFile::Rename)};
    int m_tab = 0;
    bool m_bFilling = false;  // the edits are being set, not typed in
};
