#include "win32/rules_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/app_session.h"
#include "app/app_texts.h"
#include "app/rules_editor_texts.h"
#include "app/rules_tester.h"
#include "prep/prep_messages.h"
#include "service/core.h"
#include "service/dialog_host.h"
#include "win32/dialog_window.h"
#include "win32/open_failure_box.h"
#include "win32/resource.h"
#include "win32/wide_text.h"

namespace {

constexpr COLORREF kInvalidBackground = RGB(255, 214, 214);

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

// A cell as the list and the edits show it: a line break is ⏎.
std::wstring Shown(const std::string& cell) {
    return Widen(Replaced(cell, "\n", app_text::kLineBreakMark));
}

std::string FromShown(const std::wstring& shown) {
    return Replaced(Narrow(shown), app_text::kLineBreakMark, "\n");
}

void SetText(HWND window, int id, const std::string& utf8) {
    SetDlgItemTextW(window, id, Widen(utf8).c_str());
}

}  // namespace

CRulesWindow::CRulesWindow(CAppSession& session, HWND owner) : m_session(session) {
    CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RULES), owner,
                       &CRulesWindow::DialogProc, reinterpret_cast<LPARAM>(this));
}

CRulesWindow::~CRulesWindow() {
    if (m_hWnd)
        DestroyWindow(m_hWnd);
}

INT_PTR CALLBACK CRulesWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<CRulesWindow*>(lParam)->m_hWnd = window;
    }
    auto* self = reinterpret_cast<CRulesWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    return self ? self->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CRulesWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const HWND list = Item(IDC_RULES_LIST);
            ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
            LVCOLUMNW column{};
            column.mask = LVCF_WIDTH;
            column.cx = 240;
            for (int i = 0; i < 2; ++i)
                ListView_InsertColumn(list, i, &column);
            for (int i = 0; i < 2; ++i) {
                std::wstring name = Widen(i ? app_text::kRenameTab : app_text::kReplaceTab);
                TCITEMW tab{};
                tab.mask = TCIF_TEXT;
                tab.pszText = name.data();
                TabCtrl_InsertItem(Item(IDC_RULES_TAB), i, &tab);
            }
            return TRUE;
        }
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, OnNotify(reinterpret_cast<NMHDR*>(lParam)));
            return TRUE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_NCDESTROY:
            m_hWnd = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

// The list marks invalid rows and greys kept lines; its tip is a row's reason.
LRESULT CRulesWindow::OnNotify(NMHDR* header) {
    if (header->idFrom == IDC_RULES_TAB && header->code == TCN_SELCHANGE) {
        ShowTab(TabCtrl_GetCurSel(Item(IDC_RULES_TAB)));
        return 0;
    }
    if (header->idFrom != IDC_RULES_LIST)
        return 0;
    if (header->code == LVN_ITEMCHANGED && !m_bFilling) {
        ShowSelected();
    } else if (header->code == NM_CUSTOMDRAW) {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        const size_t row = draw->nmcd.dwItemSpec;
        if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && row < Doc().RowCount()) {
            if (!Doc().Row(row).problem.empty())
                draw->clrTextBk = kInvalidBackground;
            if (Doc().Row(row).bKept)
                draw->clrText = GetSysColor(COLOR_GRAYTEXT);
        }
    } else if (header->code == LVN_GETINFOTIPW) {
        auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
        const size_t row = static_cast<size_t>(tip->iItem);
        if (row < Doc().RowCount() && tip->cchTextMax > 0) {
            const CRulesRow& r = Doc().Row(row);
            const std::wstring text =
                Widen(r.problem.empty() && r.bKept ? app_text::kKeptTip : r.problem);
            lstrcpynW(tip->pszText, text.c_str(), tip->cchTextMax);
        }
    }
    return 0;
}

void CRulesWindow::OnCommand(int id, int code) {
    if (code == EN_CHANGE) {
        if (m_bFilling)
            return;
        if (id == IDC_RULES_CELL0 || id == IDC_RULES_CELL1)
            OnCellChanged(id == IDC_RULES_CELL0 ? 0 : 1);
        else if (id == IDC_RULES_SAMPLE)
            ShowState();
        return;
    }
    if (code != BN_CLICKED)
        return;
    switch (id) {
        case IDC_RULES_ADD:
            return OnAdd();
        case IDC_RULES_REMOVE:
            return OnRemove();
        case IDC_RULES_UP:
        case IDC_RULES_DOWN:
            return OnMove(id == IDC_RULES_UP);
        case IDC_RULES_SAVE:
            Save();
            return;
        case IDC_RULES_CLOSE:
            return OnClose();
        case IDC_RULES_OPEN:
            return OpenInEditor();
        default:
            return;
    }
}

BOOL CRulesWindow::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd || !IsWindowVisible(m_hWnd) || (msg->hwnd != m_hWnd && !IsChild(m_hWnd, msg->hwnd)))
        return FALSE;
    const bool cell = msg->hwnd == Item(IDC_RULES_CELL0) || msg->hwnd == Item(IDC_RULES_CELL1);
    if (cell && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN &&
        (GetKeyState(VK_SHIFT) & 0x8000)) {
        SendMessageW(msg->hwnd, EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>(Widen(app_text::kLineBreakMark).c_str()));
        return TRUE;
    }
    return IsDialogMessageW(m_hWnd, msg);
}

void CRulesWindow::ShowFile(RulesFile file) {
    for (int tab = 0; tab < 2; ++tab) {
        if (!m_docs[tab].Modified())
            Load(tab);
    }
    const int tab = file == RulesFile::Replace ? 0 : 1;
    TabCtrl_SetCurSel(Item(IDC_RULES_TAB), tab);
    ShowTab(tab);
    ShowWindow(m_hWnd, SW_SHOW);
    SetForegroundWindow(m_hWnd);
}

void CRulesWindow::Load(int tab) {
    const std::string& path = tab == 0 ? m_session.ReplaceRulesPath() : m_session.RenameRulesPath();
    const std::string why = m_docs[tab].Load(path);
    if (!why.empty())
        m_session.Core().msgboxWarning(m_hWnd, why);
}

void CRulesWindow::ShowTab(int tab) {
    m_tab = tab;
    const bool replace = tab == 0;
    const char* headers[] = {replace ? app_text::kFindHeader : app_text::kOldNameHeader,
                             replace ? app_text::kReplaceHeader : app_text::kNewNameHeader};
    for (int i = 0; i < 2; ++i) {
        std::wstring text = Widen(headers[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = text.data();
        ListView_SetColumn(Item(IDC_RULES_LIST), i, &column);
        SetDlgItemTextW(m_hWnd, IDC_RULES_LABEL0 + i, (text + L"：").c_str());
    }
    for (int id : {IDC_RULES_SAMPLE, IDC_RULES_RESULT})
        EnableWindow(Item(id), replace);
    FillList(-1);
}

int CRulesWindow::Selected() const {
    return ListView_GetNextItem(Item(IDC_RULES_LIST), -1, LVNI_SELECTED);
}

void CRulesWindow::FillList(int select) {
    const HWND list = Item(IDC_RULES_LIST);
    m_bFilling = true;
    ListView_DeleteAllItems(list);
    for (size_t row = 0; row < Doc().RowCount(); ++row) {
        LVITEMW item{};
        item.iItem = static_cast<int>(row);
        ListView_InsertItem(list, &item);
        ShowRowText(static_cast<int>(row));
    }
    if (select >= 0) {
        ListView_SetItemState(list, select, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, select, FALSE);
    }
    m_bFilling = false;
    ShowSelected();
}

void CRulesWindow::ShowRowText(int row) {
    const CRulesRow& r = Doc().Row(static_cast<size_t>(row));
    for (int column = 0; column < 2; ++column) {
        std::wstring text = r.bKept ? (column ? L"" : Widen(r.note)) : Shown(r.cells[column]);
        ListView_SetItemText(Item(IDC_RULES_LIST), row, column, text.data());
    }
}

// The selected rule's texts in the edits; a kept line cannot be edited there.
void CRulesWindow::ShowSelected() {
    const int row = Selected();
    const bool editable = row >= 0 && !Doc().Row(static_cast<size_t>(row)).bKept;
    m_bFilling = true;
    for (int column = 0; column < 2; ++column) {
        const int id = column ? IDC_RULES_CELL1 : IDC_RULES_CELL0;
        SetDlgItemTextW(
            m_hWnd, id,
            editable ? Shown(Doc().Row(static_cast<size_t>(row)).cells[column]).c_str() : L"");
        EnableWindow(Item(id), editable);
    }
    m_bFilling = false;
    ShowState();
}

// The line under the list (the selected row's reason first), 保存, the tester.
void CRulesWindow::SetModes(const CMatchModes& modes) {
    m_modes = modes;
}

void CRulesWindow::ShowState() {
    const int row = Selected();
    const size_t invalid = Doc().InvalidCount();
    std::string line =
        invalid
            ? FillMessage(app_text::kRowsInvalid, {std::to_string(invalid), Doc().FirstProblem()})
            : FillMessage(app_text::kRowsValid, {std::to_string(Doc().RuleCount())});
    if (row >= 0 && !Doc().Row(static_cast<size_t>(row)).problem.empty())
        line = FillMessage(app_text::kRowsInvalid,
                           {std::to_string(invalid), Doc().Row(static_cast<size_t>(row)).problem});
    SetText(m_hWnd, IDC_RULES_PROBLEMS, line);
    bool ready = m_docs[0].Modified() || m_docs[1].Modified();
    for (const CRulesDocument& doc : m_docs)
        ready = ready && (!doc.Modified() || doc.InvalidCount() == 0);
    EnableWindow(Item(IDC_RULES_SAVE), ready);
    const std::string sample = Narrow(DialogItemText(m_hWnd, IDC_RULES_SAMPLE));
    const std::string result =
        sample.empty() ? "" : TryRules(m_docs[0].Rules(m_modes.regex), sample, m_modes);
    SetText(m_hWnd, IDC_RULES_RESULT, Replaced(result, "\n", "\r\n"));
    InvalidateRect(Item(IDC_RULES_LIST), nullptr, FALSE);
}

void CRulesWindow::OnCellChanged(int column) {
    const int row = Selected();
    if (row < 0)
        return;
    const int id = column ? IDC_RULES_CELL1 : IDC_RULES_CELL0;
    Doc().SetCell(static_cast<size_t>(row), column, FromShown(DialogItemText(m_hWnd, id)));
    ShowRowText(row);
    ShowState();
}

void CRulesWindow::OnAdd() {
    const int row = Selected();
    const int at = row >= 0 ? row + 1 : static_cast<int>(Doc().RowCount());
    Doc().InsertRule(static_cast<size_t>(at));
    FillList(at);
    SetFocus(Item(IDC_RULES_CELL0));
}

void CRulesWindow::OnRemove() {
    const int row = Selected();
    if (row < 0)
        return;
    Doc().RemoveRow(static_cast<size_t>(row));
    FillList(std::min(row, static_cast<int>(Doc().RowCount()) - 1));
}

void CRulesWindow::OnMove(bool up) {
    const int row = Selected();
    if (row >= 0 && Doc().MoveRow(static_cast<size_t>(row), up))
        FillList(up ? row - 1 : row + 1);
}

// A file changed elsewhere since it was read is never overwritten: the user
// may read it again instead, giving up the changes in the list.
bool CRulesWindow::Save() {
    bool saved = true;
    for (int tab = 0; tab < 2; ++tab) {
        CRulesDocument& doc = m_docs[tab];
        std::string why;
        if (!doc.Modified())
            continue;
        switch (doc.Save(why)) {
            case CRulesDocument::SaveOutcome::Saved:
                break;
            case CRulesDocument::SaveOutcome::ChangedElsewhere:
                saved = false;
                if (m_session.Core().msgboxConfirm(m_hWnd, why) == CDialogHost::kYes)
                    Load(tab);
                break;
            case CRulesDocument::SaveOutcome::Failed:
                saved = false;
                m_session.Core().msgboxWarning(m_hWnd, why);
                break;
        }
    }
    FillList(Selected());
    return saved;
}

// Unsaved changes are saved, dropped or kept open, as the user answers.
void CRulesWindow::OnClose() {
    if (m_docs[0].Modified() || m_docs[1].Modified()) {
        switch (MessageBoxW(m_hWnd, Widen(app_text::kAskSaveOnClose).c_str(),
                            Widen(app_text::kCaption).c_str(), MB_YESNOCANCEL | MB_ICONQUESTION)) {
            case IDYES:
                if (!Save())
                    return;
                break;
            case IDNO:
                Load(0);
                Load(1);
                break;
            default:
                return;
        }
    }
    ShowWindow(m_hWnd, SW_HIDE);
}

void CRulesWindow::OpenInEditor() {
    const std::string& path =
        m_tab == 0 ? m_session.ReplaceRulesPath() : m_session.RenameRulesPath();
    const char* why = m_session.OpenTarget(path, false);
    if (why && why != app_text::kOpenNoHandler)
        ShowOpenFailure(m_hWnd, FromEnginePath(path), why);
}
