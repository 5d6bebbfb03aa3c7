#include "win32/results_window.h"

#include <commctrl.h>
#include <richedit.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "app/app_texts.h"
#include "engine/report/file_diff.h"
#include "win32/counts_label.h"
#include "win32/dialog_window.h"
#include "win32/diff_view.h"
#include "win32/list_view_parts.h"
#include "win32/results_list_view.h"
#include "win32/text_export.h"
#include "win32/wide_text.h"

namespace {

constexpr const wchar_t* kClassName = L"VexaResults";
// clang-format off
enum ControlId { kCounts = 100, kFilterLabel, kFilter, kSearchLabel, kSearch, kList, kDiff, kCopy,
                 kSave, kUndo, kRun, kClose };
// clang-format on
enum MenuId { kMenuOpenFile = 1, kMenuOpenFolder };

HWND Control(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int id) {
    HWND control = CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    // The dialog's font, which owns the window.
    const HWND dialog = GetWindow(parent, GW_OWNER);
    SendMessageW(control, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    return control;
}

HWND Button(HWND parent, const char* text, int id) {
    return Control(parent, L"BUTTON", Widen(text), WS_TABSTOP | BS_PUSHBUTTON, id);
}

// The line height and average character width of the window's font.
SIZE FontCell(HWND window) {
    HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(
        dc, reinterpret_cast<HGDIOBJ>(SendMessageW(GetDlgItem(window, kCounts), WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {std::max<LONG>(metrics.tmAveCharWidth, 1), std::max<LONG>(metrics.tmHeight, 1)};
}

void Place(HWND window, int id, int x, int y, int w, int h) {
    MoveWindow(GetDlgItem(window, id), x, y, std::max(w, 0), std::max(h, 0), TRUE);
}

// text with its one %1 filled.
std::wstring Filled(const char* text, const std::string& value) {
    std::string out = text;
    const size_t at = out.find("%1");
    if (at != std::string::npos)
        out.replace(at, 2, value);
    return Widen(out);
}

void RegisterOnce() {
    // The procedure is replaced per window at creation.
    static const bool registered = RegisterPlainWindowClass(kClassName, DefWindowProcW);
    (void)registered;
}

}  // namespace

CResultsWindow::CResultsWindow(HWND owner, std::function<void(const std::string&, bool)> open,
                               std::function<void()> undo)
    : m_hOwner(owner), m_open(std::move(open)), m_undo(std::move(undo)) {
    LoadLibraryW(L"Msftedit.dll");  // the rich edit control's class
    RegisterOnce();
    m_hWnd =
        CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, Widen(app_text::kResultsTitle).c_str(),
                        WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, owner, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
    for (int big : {ICON_BIG, ICON_SMALL})
        SendMessageW(m_hWnd, WM_SETICON, big, SendMessageW(owner, WM_GETICON, big, 0));
    CreateControls();
}

CResultsWindow::~CResultsWindow() {
    if (m_hWnd)
        DestroyWindow(m_hWnd);
}

void CResultsWindow::CreateControls() {
    m_hCounts = Control(m_hWnd, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kCounts);
    Control(m_hWnd, L"STATIC", Widen(app_text::kFilterLabel), SS_LEFT, kFilterLabel);
    m_hFilter =
        Control(m_hWnd, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kFilter);
    // The label before the search box names it for assistive technology.
    Control(m_hWnd, L"STATIC", Widen(app_text::kSearchName) + L"：", SS_LEFT, kSearchLabel);
    m_hSearch = Control(m_hWnd, L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, kSearch);
    SendMessageW(m_hSearch, EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(Widen(app_text::kSearchPlaceholder).c_str()));
    // Named by its window text, which a list view does not show.
    m_hList = Control(
        m_hWnd, WC_LISTVIEWW, Widen(app_text::kTipResultsList),
        WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
        kList);
    m_pListView = std::make_unique<CResultsListView>(m_hList);
    m_hDiff = Control(m_hWnd, MSFTEDIT_CLASS, L"",
                      WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                          ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                      kDiff);
    Button(m_hWnd, app_text::kCopyList, kCopy);
    Button(m_hWnd, app_text::kSaveList, kSave);
    m_hUndo = Button(m_hWnd, app_text::kUndo, kUndo);
    m_hRun = Button(m_hWnd, app_text::kRun, kRun);
    Button(m_hWnd, app_text::kClose, kClose);
    ShowWindow(m_hUndo, SW_HIDE);
    ShowWindow(m_hRun, SW_HIDE);
    ShowWindow(m_hDiff, SW_HIDE);
    FillFilter();
}

void CResultsWindow::FillFilter() {
    SendMessageW(m_hFilter, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i <= std::size(kResultFilterKinds); ++i)
        SendMessageW(m_hFilter, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L""));
    SendMessageW(m_hFilter, CB_SETCURSEL, 0, 0);
    CountFilterEntries();
}

// "将改写（12）": each entry with how many rows it has, filter or not.
void CResultsWindow::CountFilterEntries() {
    for (size_t i = 0; i <= std::size(kResultFilterKinds); ++i) {
        const int kind = i == 0 ? -1 : static_cast<int>(kResultFilterKinds[i - 1]);
        SetComboEntry(m_hFilter, static_cast<int>(i), Widen(Rows().FilterEntryText(kind)));
    }
}

// Sizes come from the font, so the window reads the same at any scale:
// counts (two lines), the filter, the list (and below it the differences
// after a preview), the buttons.
void CResultsWindow::Layout() {
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const SIZE cell = FontCell(m_hWnd);
    const int gap = cell.cy / 2, row = cell.cy * 7 / 4, width = client.right - 2 * gap;
    int y = gap;
    Place(m_hWnd, kCounts, gap, y, width, cell.cy * 2);
    ShowCountsLine(m_hCounts, Widen(m_countsShown));
    y += cell.cy * 2 + gap;
    const int labelWidth = cell.cy * 3, filterWidth = cell.cx * 22;
    const int searchLabel = cell.cy * 5, searchAt = gap + labelWidth + filterWidth + gap * 2;
    Place(m_hWnd, kFilterLabel, gap, y + (row - cell.cy) / 2, labelWidth, cell.cy);
    Place(m_hWnd, kFilter, gap + labelWidth, y, filterWidth, row * 8);
    Place(m_hWnd, kSearchLabel, searchAt, y + (row - cell.cy) / 2, searchLabel, cell.cy);
    Place(m_hWnd, kSearch, searchAt + searchLabel, y, client.right - gap - searchAt - searchLabel,
          row);
    y += row + gap;
    const int buttonsTop = client.bottom - gap - row;
    const int listHeight = buttonsTop - gap - y;
    const bool diff = IsWindowVisible(m_hDiff);
    const int listShown = diff ? listHeight * 11 / 20 : listHeight;
    Place(m_hWnd, kList, gap, y, width, listShown);
    Place(m_hWnd, kDiff, gap, y + listShown + gap, width, listHeight - listShown - gap);
    const int button = cell.cx * 16;
    Place(m_hWnd, kCopy, gap, buttonsTop, button, row);
    Place(m_hWnd, kSave, gap * 2 + button, buttonsTop, button, row);
    Place(m_hWnd, kClose, client.right - gap - button, buttonsTop, button, row);
    // Never both: 执行 after a preview, 撤销本次执行 after a run.
    Place(m_hWnd, kRun, client.right - 2 * (gap + button), buttonsTop, button, row);
    Place(m_hWnd, kUndo, client.right - 2 * (gap + button), buttonsTop, button, row);
    m_pListView->SetWidths(width, cell);
}

void CResultsWindow::Begin(RunKind kind, const CJob& job) {
    Rows().Reset(kind, job.folder);
    m_job = job;
    SetWindowTextW(m_hSearch, L"");
    FillFilter();
    m_pListView->ShowRows(true);
    SetUndoOffered(false);
    SetRunOffered(false);
    const char* running = kind == RunKind::Preview ? app_text::kPreviewing
                          : kind == RunKind::Undo  ? app_text::kUndoing
                                                   : app_text::kRunning;
    // The counts line keeps its place while the job goes on.
    m_counts.clear();
    m_countsShown = running + std::string("...");
    SetWindowTextW(m_hCounts, Widen(m_countsShown).c_str());
    SetWindowTextW(m_hDiff, Widen(app_text::kDiffHint).c_str());
    ShowWindow(m_hDiff, kind == RunKind::Preview ? SW_SHOWNA : SW_HIDE);
    Layout();
}

void CResultsWindow::Feed(const std::vector<CRunEvent>& events) {
    if (events.empty())
        return;
    Rows().Append(events);
    m_pListView->ShowAppended();
    CountFilterEntries();
}

void CResultsWindow::Finish(const std::string& counts) {
    m_counts = m_countsShown = counts;
    ShowCountsLine(m_hCounts, Widen(counts));
}

void CResultsWindow::SetUndoOffered(bool offered) {
    ShowWindow(m_hUndo, offered ? SW_SHOWNA : SW_HIDE);
}

void CResultsWindow::SetRunOffered(bool offered) {
    ShowWindow(m_hRun, offered ? SW_SHOWNA : SW_HIDE);
}

void CResultsWindow::OnRun() {
    if (!IsWindowVisible(m_hRun) || !m_runPreviewed)
        return;
    CPreviewedRun run{m_job, {}, 0};
    run.files = Rows().KeptFiles(run.leftOut);
    m_runPreviewed(run);
}

// The first time, as large as the list wants within nine tenths of the
// screen the dialog is on, centred there.
void CResultsWindow::ShowOnTop() {
    if (!IsWindowVisible(m_hWnd)) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(m_hOwner, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT area = monitor.rcWork;
        const SIZE cell = FontCell(m_hWnd);
        const int w = std::min<int>(cell.cx * 120, (area.right - area.left) * 9 / 10);
        const int h = std::min<int>(cell.cy * 36, (area.bottom - area.top) * 9 / 10);
        SetWindowPos(m_hWnd, nullptr, area.left + (area.right - area.left - w) / 2,
                     area.top + (area.bottom - area.top - h) / 2, w, h, SWP_NOZORDER);
    }
    ShowWindow(m_hWnd, IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(m_hWnd);
}

LRESULT CALLBACK CResultsWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    auto* self = reinterpret_cast<CResultsWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->HandleMessage(message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CResultsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            Layout();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == m_hList)
                ShowContextMenu(lParam);
            return 0;
        case WM_CLOSE:
            ShowWindow(m_hWnd, SW_HIDE);  // kept for the next 结果
            return 0;
        case WM_NCDESTROY:
            m_hWnd = nullptr;
            break;
    }
    return DefWindowProcW(m_hWnd, message, wParam, lParam);
}

// A new filter leaves no row selected: the differences of a file that may
// no longer be listed go with it.
void CResultsWindow::OnCommand(int id, int code) {
    switch (id) {
        case kFilter:
            if (code == CBN_SELCHANGE) {
                const LRESULT at = SendMessageW(m_hFilter, CB_GETCURSEL, 0, 0);
                Rows().SetFilter(at <= 0 ? -1 : static_cast<int>(kResultFilterKinds[at - 1]));
                m_pListView->ShowRows(true);
                OnSelectionChanged();
            }
            break;
        case kSearch:
            if (code == EN_CHANGE) {
                Rows().SetSearch(Narrow(DialogItemText(m_hWnd, kSearch)));
                m_pListView->ShowRows(true);
                OnSelectionChanged();
            }
            break;
        case kRun:
            OnRun();
            break;
        case kCopy:
            CopyToClipboard(m_hWnd, Rows().ListText(m_counts));
            break;
        case kSave:
            OnSave();
            break;
        case kUndo:
            m_undo();
            break;
        case kClose:
        case IDCANCEL:
            ShowWindow(m_hWnd, SW_HIDE);
            break;
    }
}

LRESULT CResultsWindow::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != m_hList)
        return 0;
    bool reordered = false;
    const LRESULT result = m_pListView->OnNotify(header, reordered);
    if (reordered)
        OnSelectionChanged();
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED))
            OnSelectionChanged();
    }
    return result;
}

void CResultsWindow::ShowContextMenu(LPARAM at) {
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    int row = ListView_GetNextItem(m_hList, -1, LVNI_SELECTED);
    if (at == -1) {  // from the keyboard: at the selected row
        RECT r{};
        ListView_GetItemRect(m_hList, row, &r, LVIR_LABEL);
        point = {r.left, r.bottom};
        ClientToScreen(m_hList, &point);
    } else {
        LVHITTESTINFO hit{};
        hit.pt = point;
        ScreenToClient(m_hList, &hit.pt);
        row = ListView_HitTest(m_hList, &hit);
    }
    if (row < 0 || static_cast<size_t>(row) >= Rows().Rows())
        return;
    HMENU menu = CreatePopupMenu();
    if (IsFileEvent(Rows().Event(static_cast<size_t>(row)).kind))
        AppendMenuW(menu, MF_STRING, kMenuOpenFile, Widen(app_text::kOpenFile).c_str());
    AppendMenuW(menu, MF_STRING, kMenuOpenFolder, Widen(app_text::kOpenFolder).c_str());
    const int chosen =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
    DestroyMenu(menu);
    const std::string path = Rows().OpenablePath(static_cast<size_t>(row));
    if (chosen == kMenuOpenFile)
        m_open(path, false);
    else if (chosen == kMenuOpenFolder)
        m_open(ParentFolderOf(path), true);
}

// After a preview, the selected file's differences, worked out again now
// from the file as it is.
void CResultsWindow::OnSelectionChanged() {
    if (Rows().Kind() != RunKind::Preview)
        return;
    const int row = ListView_GetNextItem(m_hList, -1, LVNI_SELECTED);
    if (row < 0 || Rows().Event(static_cast<size_t>(row)).kind != RunEventKind::Rewritten) {
        SetWindowTextW(m_hDiff, Widen(app_text::kDiffHint).c_str());
        return;
    }
    std::vector<CDiffHunk> hunks;
    std::string why;
    if (!DiffOfFile(m_job, Rows().Event(static_cast<size_t>(row)).path, kMaxDiffBytes, hunks, why))
        SetWindowTextW(m_hDiff, Filled(app_text::kDiffUnavailable, why).c_str());
    else if (hunks.empty())
        SetWindowTextW(m_hDiff, Widen(app_text::kDiffNone).c_str());
    else
        ShowDiff(m_hDiff, hunks);
}

// The list is offered a name in the folder it is about.
void CResultsWindow::OnSave() {
    const std::wstring folder = FromEnginePath(m_job.folder);
    const std::wstring suggested =
        folder.empty()
            ? Widen(app_text::kSaveListName)
            : folder + (folder.back() == L'\\' ? L"" : L"\\") + Widen(app_text::kSaveListName);
    const std::wstring path = PickTextFile(m_hWnd, Widen(app_text::kSaveListTitle), suggested);
    if (!path.empty() && !SaveTextFile(path, Rows().ListText(m_counts)))
        MessageBoxW(m_hWnd, Filled(app_text::kSaveFailed, Narrow(path)).c_str(),
                    Widen(app_text::kCaption).c_str(), MB_OK | MB_ICONWARNING);
}
