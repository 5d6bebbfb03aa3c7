#include "win32/results_list_view.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "app/app_texts.h"
#include "win32/list_view_parts.h"
#include "win32/wide_text.h"

CResultsListView::CResultsListView(HWND list) : m_hList(list) {
    ListView_SetExtendedListViewStyle(m_hList,
                                      LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP);
    // The check boxes' states are the list's (CResultsList), asked for per row.
    GiveCheckBoxes(m_hList);
    ListView_SetCallbackMask(m_hList, LVIS_STATEIMAGEMASK);
    const char* titles[] = {app_text::kColumnKind, app_text::kColumnPath,
                            app_text::kColumnReplacements, app_text::kColumnDetail};
    for (int i = 0; i < kResultColumns; ++i) {
        std::wstring title = Widen(titles[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt =
            static_cast<ResultColumn>(i) == ResultColumn::Replacements ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.pszText = title.data();
        column.cx = 100;
        ListView_InsertColumn(m_hList, i, &column);
    }
    ShowSortArrow(m_hList, static_cast<int>(m_list.SortColumn()), m_list.SortAscending());
}

void CResultsListView::ShowRows(bool deselect) {
    if (deselect)
        ListView_SetItemState(m_hList, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(m_hList, static_cast<int>(m_list.Rows()), 0);
    InvalidateRect(m_hList, nullptr, TRUE);
}

void CResultsListView::ShowAppended() {
    ListView_SetItemCountEx(m_hList, static_cast<int>(m_list.Rows()), LVSICF_NOSCROLL);
}

// A kind is at most five Chinese characters, each about a line high in
// width, after a check box; 替换次数 is four.
void CResultsListView::SetWidths(int width, SIZE cell) {
    // A column of the elided path is a narrow character: the average of the
    // Latin letters in the list's font (a Chinese one takes two).
    HDC dc = GetDC(m_hList);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(m_hList, WM_GETFONT, 0, 0)));
    SIZE letters{};
    GetTextExtentPoint32W(dc, L"abcdefghijklmnopqrstuvwxyz", 26, &letters);
    SelectObject(dc, old);
    ReleaseDC(m_hList, dc);
    m_charWidth = std::max<int>(letters.cx / 26, 1);
    const int kind = cell.cy * 7, count = cell.cy * 5;
    const int rest = std::max<int>(width - kind - count - cell.cy * 2, cell.cy * 20);
    ListView_SetColumnWidth(m_hList, 0, kind);
    ListView_SetColumnWidth(m_hList, 1, rest * 3 / 5);
    ListView_SetColumnWidth(m_hList, 2, count);
    ListView_SetColumnWidth(m_hList, 3, rest * 2 / 5);
}

LRESULT CResultsListView::OnNotify(const NMHDR& header, bool& reordered) {
    reordered = false;
    if (header.code == LVN_GETDISPINFOW) {
        auto& item = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item;
        const size_t row = static_cast<size_t>(item.iItem);
        if (row >= m_list.Rows())
            return 0;
        if (item.mask & LVIF_TEXT) {
            m_cell = CellText(row, item.iSubItem);
            item.pszText = m_cell.data();
        }
        if (item.mask & LVIF_STATE) {
            item.state = CheckStateImage(m_list.Checkable(row), m_list.Checked(row));
            item.stateMask = LVIS_STATEIMAGEMASK;
        }
    } else if (header.code == LVN_GETINFOTIPW) {
        auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(const_cast<NMHDR&>(header));
        if (static_cast<size_t>(tip.iItem) < m_list.Rows() && tip.cchTextMax > 0) {
            const std::wstring full = Widen(m_list.FullPathText(static_cast<size_t>(tip.iItem)));
            lstrcpynW(tip.pszText, full.c_str(), tip.cchTextMax);
        }
    } else if (header.code == LVN_COLUMNCLICK) {
        OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        reordered = true;
    } else if (header.code == NM_CLICK) {
        LVHITTESTINFO hit{};
        hit.pt = reinterpret_cast<const NMITEMACTIVATE&>(header).ptAction;
        if (ListView_SubItemHitTest(m_hList, &hit) >= 0 && (hit.flags & LVHT_ONITEMSTATEICON))
            ToggleCheck(hit.iItem);
    } else if (header.code == LVN_KEYDOWN) {
        if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_SPACE)
            ToggleCheck(ListView_GetNextItem(m_hList, -1, LVNI_FOCUSED));
    }
    return 0;
}

std::wstring CResultsListView::CellText(size_t row, int column) const {
    switch (static_cast<ResultColumn>(column)) {
        case ResultColumn::Kind:
            return Widen(m_list.KindText(row));
        case ResultColumn::Path: {
            // The column's width in average characters, less the cell's margins.
            const int width = ListView_GetColumnWidth(m_hList, column) / m_charWidth - 2;
            return Widen(
                ElideMiddle(m_list.PathText(row), static_cast<size_t>(std::max(width, 4))));
        }
        case ResultColumn::Replacements:
            return Widen(m_list.ReplacementsText(row));
        case ResultColumn::Detail:
            break;
    }
    return Widen(m_list.DetailText(row));
}

// A click on the column sorted by turns its order over; on another, sorts
// by it upwards.
void CResultsListView::OnColumnClick(int column) {
    const auto chosen = static_cast<ResultColumn>(column);
    const bool ascending = chosen != m_list.SortColumn() || !m_list.SortAscending();
    m_list.SortBy(chosen, ascending);
    ShowSortArrow(m_hList, column, ascending);
    ShowRows(true);
}

void CResultsListView::ToggleCheck(int row) {
    if (row < 0 || static_cast<size_t>(row) >= m_list.Rows() ||
        !m_list.Checkable(static_cast<size_t>(row)))
        return;
    m_list.SetChecked(static_cast<size_t>(row), !m_list.Checked(static_cast<size_t>(row)));
    ListView_RedrawItems(m_hList, row, row);
}
