#pragma once
// CResultsListView: the results window's list view (a virtual one, so a
// hundred thousand rows cost nothing to add) over the shared results list:
// the columns 类型, 路径, 替换次数, 说明; paths below the chosen folder
// shortened in the middle to the column's width, the full path as the tip;
// a click on a header sorts by that column (again: the other way); a
// preview's files to rewrite carry a check box that a click on it or the
// space bar turns over. Dialog thread only.

#include <windows.h>

#include <string>

#include "app/results_list.h"

class CResultsListView {
  public:
    // Takes over list, a report-style list view with LVS_OWNERDATA.
    explicit CResultsListView(HWND list);

    CResultsList& Rows() { return m_list; }
    const CResultsList& Rows() const { return m_list; }
    // The rows changed in number or order: the list view shows them again,
    // with no row selected when deselect says so.
    void ShowRows(bool deselect);
    // Rows were appended (sorted in anywhere): the ones in sight are drawn again.
    void ShowAppended();
    // Column widths for a list width wide, in the font's cell (average
    // character width, line height).
    void SetWidths(int width, SIZE cell);
    // The list's notifications; sortedOrSearched is set when the rows were
    // put in a new order (the selection is gone then).
    LRESULT OnNotify(const NMHDR& header, bool& reordered);

  private:
    std::wstring CellText(size_t row, int column) const;
    void OnColumnClick(int column);
    void ToggleCheck(int row);

    HWND m_hList;
    CResultsList m_list;
    int m_charWidth = 8;  // pixels of one column of ElideMiddle
    std::wstring m_cell;  // the text the list view was last handed
};
