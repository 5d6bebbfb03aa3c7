// Drives the real vexa.exe by window messages, as a user would with the
// mouse: finds the controls of the dialog by id, fills the edits, clicks,
// reads and answers the message boxes, follows the status line, and checks
// the files on disk byte for byte. One line per check, then the totals.
// Usage: vexa_driver.exe path\to\vexa.exe work-folder

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/journal_files.h"

namespace {

namespace fs = std::filesystem;
int g_passed = 0, g_failed = 0;
std::wstring g_exe, g_work;
PROCESS_INFORMATION g_proc{};
HWND g_dlg = nullptr;
// A run keeps an undo journal on Windows too: the confirmation says so.
const wchar_t* const kConfirm =
    L"本次执行会记录撤销日志，完成后可在“结果”中撤销。确定要继续执行吗？";

std::string InCodePage(UINT cp, const std::wstring& text) {
    std::string out(text.size() * 4, '\0');
    out.resize(WideCharToMultiByte(cp, 0, text.data(), (int)text.size(), out.data(),
                                   (int)out.size(), nullptr, nullptr));
    return out;
}

void Check(const char* name, bool ok, const std::wstring& detail = L"") {
    ++(ok ? g_passed : g_failed);
    std::printf("%s %s%s%s\n", ok ? "ok  " : "FAIL", name, ok ? "" : ": ",
                ok ? "" : InCodePage(CP_UTF8, detail).c_str());
    std::fflush(stdout);
}

bool WaitFor(const std::function<bool()>& done, int ms = 20000, int stepMs = 50) {
    for (int waited = 0; waited < ms && !done(); waited += stepMs)
        Sleep(stepMs);
    return done();
}

std::wstring Text(HWND window) {
    std::vector<wchar_t> buffer(65536, L'\0');
    SendMessageW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}
// The first child of parent of class cls (and text, when given).
HWND ChildOf(HWND parent, const wchar_t* cls, const wchar_t* text = nullptr) {
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        wchar_t name[64] = L"";
        GetClassNameW(w, name, 64);
        if (_wcsicmp(name, cls) == 0 && (!text || Text(w) == text))
            return w;
    }
    return nullptr;
}
// The texts of parent's static controls, in order: what a box says.
std::wstring StaticTexts(HWND parent) {
    std::wstring texts;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        wchar_t name[64] = L"";
        GetClassNameW(w, name, 64);
        texts += _wcsicmp(name, L"Static") == 0 ? Text(w) : L"";
    }
    return texts;
}
std::wstring Item(int id) {
    return Text(GetDlgItem(g_dlg, id));
}
void SetItem(int id, const std::wstring& text) {
    SendMessageW(GetDlgItem(g_dlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
void Click(HWND parent, int id) {
    PostMessageW(GetDlgItem(parent, id), BM_CLICK, 0, 0);
}
void SetCheck(int id, bool on) {
    SendMessageW(GetDlgItem(g_dlg, id), BM_SETCHECK, on, 0);
}
HWND Focus() {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(g_proc.dwThreadId, &gui);
    return gui.hwndFocus;
}

// A visible window of class cls of vexa.exe other than except: by default
// the dialog or a box.
HWND FindWindowOfVexa(HWND except, const wchar_t* cls = L"#32770") {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, cls, nullptr));) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == g_proc.dwProcessId && w != except && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

// Waits for a message box over the dialog, answers it with button and
// returns its caption and text.
std::wstring AnswerBox(int button) {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindWindowOfVexa(g_dlg)) != nullptr; }))
        return L"(no box)";
    const std::wstring text = Text(box) + L"|" + StaticTexts(box);
    Click(box, button);
    WaitFor([&] { return !IsWindow(box); });
    return text;
}

bool Start() {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring cmd = L"\"" + g_exe + L"\"";
    g_dlg = nullptr;
    return CreateProcessW(g_exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          g_work.c_str(), &si, &g_proc) &&
           WaitFor([] { return (g_dlg = FindWindowOfVexa(nullptr)) != nullptr; });
}

bool Close() {
    PostMessageW(g_dlg, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(g_proc.hProcess, 20000) == WAIT_OBJECT_0;
    CloseHandle(g_proc.hProcess);
    CloseHandle(g_proc.hThread);
    return ended;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(missing)";
}
void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every control by id: class, text, place in dialog units (within 2 pixels,
// a unit's size taken from the span of 1000's top left to 1005's bottom
// right: 316 x 153 units) and tab order; the labels by their texts.
void CheckTemplate() {
    struct Control {
        int id;
        const wchar_t *cls, *text;
        int x, y, w, h;
    };
    const Control controls[] = {{1003, L"Button", L"开始", 261, 146, 50, 14},
                                {1000, L"Edit", L"", 50, 7, 238, 14},
                                {1019, L"Button", L"最近的文件夹", 289, 7, 13, 14},
                                {1001, L"Button", L"指定", 303, 7, 30, 14},
                                {1004, L"Button", L"打开", 336, 7, 30, 14},
                                {1002, L"Edit", L"", 50, 25, 252, 14},
                                {1010, L"Button", L"包含子目录", 50, 43, 56, 10},
                                {1011, L"Button", L"重命名文件夹", 50, 57, 64, 10},
                                {1030, L"Button", L"区分大小写", 50, 73, 58, 10},
                                {1031, L"Button", L"全字匹配", 113, 73, 50, 10},
                                {1032, L"Button", L"正则表达式", 168, 73, 58, 10},
                                {1013, L"Button", L"内容替换规则", 50, 91, 61, 14},
                                {1012, L"Button", L"重命名规则", 117, 91, 61, 14},
                                {1005, L"Button", L"关于", 316, 146, 50, 14},
                                {1006, L"Static", L"就绪", 7, 152, 162, 8}};
    RECT first{}, last{};
    GetWindowRect(GetDlgItem(g_dlg, 1000), &first);
    GetWindowRect(GetDlgItem(g_dlg, 1005), &last);
    const double unitX = (last.right - first.left) / 316.0;
    const double unitY = (last.bottom - first.top) / 153.0;
    std::wstring wrong;
    HWND tab = GetDlgItem(g_dlg, 1003);
    for (const Control& c : controls) {
        HWND w = GetDlgItem(g_dlg, c.id);
        wchar_t cls[64] = L"";
        GetClassNameW(w, cls, 64);
        RECT r{};
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, g_dlg, reinterpret_cast<POINT*>(&r), 2);
        const bool placed = std::abs(c.x * unitX - r.left) <= 2 &&
                            std::abs(c.y * unitY - r.top) <= 2 &&
                            std::abs(c.w * unitX - (r.right - r.left)) <= 2 &&
                            std::abs(c.h * unitY - (r.bottom - r.top)) <= 2;
        // A disabled control (the folders used last, none yet) is not in the tab order.
        const bool tabbed = c.id != 1006 && IsWindowEnabled(w);
        if (_wcsicmp(cls, c.cls) != 0 || Text(w) != c.text || !placed || (tabbed && w != tab))
            wrong += std::to_wstring(c.id) + L" (" + cls + L" \"" + Text(w) + L"\") ";
        if (tabbed)
            tab = GetNextDlgTabItem(g_dlg, tab, FALSE);
    }
    std::wstring labels;
    for (HWND w = GetWindow(g_dlg, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        labels += (GetDlgCtrlID(w) & 0xFFFF) == 0xFFFF ? Text(w) : L"";
    Check("controls of the template: id, class, text, place, tab order", wrong.empty(), wrong);
    Check("labels", labels == L"所在目录：文件后缀：（分号分隔）", labels);
    Check("focus on 开始 at start", Focus() == GetDlgItem(g_dlg, 1003));
    Check("no folders used last at the first start", !IsWindowEnabled(GetDlgItem(g_dlg, 1019)));
}

// Empty or wrong input: one warning, the focus on the input it concerns.
void CheckRefusals(const std::wstring& job) {
    struct Refusal {
        std::wstring path, suffix, message;
        int focus;
    };
    const Refusal refusals[] = {{L"", L"*.txt", L"路径无效！", 1000},
                                {job, L"txt", L"文件后缀指定无效！", 1002},
                                {job, L";*.txt", L"请指定文件扩展名。所有文件用 *.* 表示。", 1003},
                                {job, L"*.txt", L"文本内容替换有效规则不能为空。", 1003}};
    for (const Refusal& r : refusals) {
        SetItem(1000, r.path);
        SetItem(1002, r.suffix);
        Click(g_dlg, 1003);
        const std::wstring box = AnswerBox(IDOK);
        Check("refused with its warning and focus",
              box == L"Korvane|" + r.message && Focus() == GetDlgItem(g_dlg, r.focus), box);
    }
}

// A cell of a list view in vexa.exe: the item is read through memory of
// that process, where the list view writes the text.
std::wstring ListCell(HWND list, int row, int column) {
    const size_t size = sizeof(LVITEMW) + 1024 * sizeof(wchar_t);
    auto* remote = static_cast<char*>(
        VirtualAllocEx(g_proc.hProcess, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = 1024;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    WriteProcessMemory(g_proc.hProcess, remote, &item, sizeof item, nullptr);
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
    wchar_t text[1024] = L"";
    ReadProcessMemory(g_proc.hProcess, remote + sizeof(LVITEMW), text, sizeof text, nullptr);
    VirtualFreeEx(g_proc.hProcess, remote, 0, MEM_RELEASE);
    return text;
}

// Column col of list, row by row as shown.
std::wstring ListColumn(HWND list, int col) {
    std::wstring cells;
    const int count = list ? (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) : 0;
    for (int i = 0; i < count; ++i)
        cells += ListCell(list, i, col) + L"\n";
    return cells;
}

// A click on the header of list's column col, as the mouse gives it.
void ClickHeader(HWND list, int col) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    // In the middle of the header item: its edges are the dividers.
    int x = (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, col, 0) / 2;
    for (int i = 0; i < col; ++i)
        x += (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
}

// Selects row of list (the item state is written in vexa.exe's memory),
// then presses the space bar there: its check box turns over.
void ToggleRow(HWND list, int row) {
    auto* remote = static_cast<char*>(
        VirtualAllocEx(g_proc.hProcess, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE));
    LVITEMW item{};
    item.stateMask = item.state = LVIS_FOCUSED | LVIS_SELECTED;
    WriteProcessMemory(g_proc.hProcess, remote, &item, sizeof item, nullptr);
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(g_proc.hProcess, remote, 0, MEM_RELEASE);
    SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(list, WM_KEYUP, VK_SPACE, 0);
}

// The check box of row: 0 none, 1 empty, 2 checked.
int RowCheck(HWND list, int row) {
    return (int)(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12);
}

// Every row of the results window's list as "kind|path|count|detail" lines, sorted.
std::wstring ResultRows(HWND results) {
    HWND list = ChildOf(results, L"SysListView32");
    std::vector<std::wstring> rows;
    const int count = list ? (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) : 0;
    for (int i = 0; i < count; ++i)
        rows.push_back(ListCell(list, i, 0) + L"|" + ListCell(list, i, 1) + L"|" +
                       ListCell(list, i, 2) + L"|" + ListCell(list, i, 3) + L"\n");
    std::sort(rows.begin(), rows.end());
    std::wstring all;
    for (const std::wstring& row : rows)
        all += row;
    return all;
}

// F1: a help window of its own, within the screen, scrolling, naming the
// rules file, closed by its 关闭.
void CheckHelp(const fs::path& rules) {
    PostMessageW(g_dlg, WM_KEYDOWN, VK_F1, 0);
    HWND help = nullptr;
    WaitFor([&] { return (help = FindWindowOfVexa(nullptr, L"VexaHelp")) != nullptr; });
    RECT r{}, work{};
    GetWindowRect(help, &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND text = ChildOf(help, L"Edit");
    const std::wstring shown = Text(text);
    Check("F1 opens the help window within the screen, naming the rules file",
          help && Text(help) == L"Korvane 帮助" && r.left >= work.left && r.top >= work.top &&
              r.right <= work.right && r.bottom <= work.bottom &&
              (GetWindowLongW(text, GWL_STYLE) & WS_VSCROLL) &&
              shown.find(rules.wstring()) != std::wstring::npos &&
              shown.find(L'<') == std::wstring::npos,
          Text(help) + L" " + shown.substr(0, 200));
    Check("help tells no undo where none is kept",
          kJournalAvailable || shown.find(L"不记录撤销日志") != std::wstring::npos, shown);
    Click(help, 101);
    Check("关闭 closes the help window", WaitFor([&] { return !IsWindow(help); }));
}

// 打开 on a missing folder: the box names it and why, and 复制路径 copies
// the path and leaves the box open.
void CheckOpenFailure(const std::wstring& missing) {
    SetItem(1000, missing);
    Click(g_dlg, 1004);
    HWND box = nullptr;
    WaitFor([&] { return (box = FindWindowOfVexa(g_dlg)) != nullptr; });
    const std::wstring said = StaticTexts(box);
    if (HWND copy = ChildOf(box, L"Button", L"复制路径"))
        SendMessageW(copy, BM_CLICK, 0, 0);
    std::wstring copied;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            copied = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    Check("打开 on a missing folder names it and why; 复制路径 copies it, the box stays",
          said.find(L"无法打开：") != std::wstring::npos &&
              said.find(missing) != std::wstring::npos &&
              said.find(L"文件夹不存在。") != std::wstring::npos && copied == missing &&
              IsWindow(box),
          said + L" | " + copied);
    Click(box, IDOK);
    WaitFor([&] { return !IsWindow(box); });
}

HWND ResultsWindow() {
    HWND results = nullptr;
    WaitFor([&] { return (results = FindWindowOfVexa(nullptr, L"VexaResults")) != nullptr; });
    return results;
}

// 预览 opens "结果 - Korvane" listing what a run would change, and writes
// nothing (changed() names the files that differ from what they were).
void CheckPreview(const std::wstring& job, const std::function<std::wstring()>& changed) {
    Click(g_dlg, 1014);
    HWND results = ResultsWindow();
    WaitFor([] { return Item(1006) == L"预览完成"; });
    const std::wstring rows = ResultRows(results);
    const std::wstring expected =
        L"将改写|b.txt|1|\n将改写|c.txt|1|\n将改写|旧目录\\e.txt|1|\n将改写|甲.txt|2|\n"
        L"将重命名|旧目录||-> 新目录\n";
    Check("预览 opens 结果 - Korvane listing the files a run would change, below the folder",
          results && Text(results) == L"结果 - Korvane" && rows == expected, rows);
    Check("预览 writes nothing", changed().empty() && fs::exists(job + L"\\旧目录"), changed());
    HWND list = ChildOf(results, L"SysListView32");
    const std::wstring byPath = ListColumn(list, 1);
    ClickHeader(list, 1);
    const std::wstring reversed = ListColumn(list, 1);
    Check("sorted by path, turned over by a click on 路径",
          byPath == L"b.txt\nc.txt\n旧目录\n旧目录\\e.txt\n甲.txt\n" &&
              reversed == L"甲.txt\n旧目录\\e.txt\n旧目录\nc.txt\nb.txt\n",
          byPath + L"/" + reversed);
    const std::wstring filter = Text(ChildOf(results, L"ComboBox"));
    Check("the filter's entries say how many rows they have", filter == L"全部（5）", filter);
    HWND run = ChildOf(results, L"Button", L"执行");
    Check("a preview's results offer 执行", run && IsWindowVisible(run));
    PostMessageW(results, WM_CLOSE, 0, 0);
    WaitFor([&] { return !IsWindowVisible(results); });
}

// 撤销本次执行 from 结果 with 是 puts the tree back byte for byte (left()
// names what is not back). Only where a run keeps an undo journal.
void CheckUndo(const std::function<std::wstring()>& left) {
    if (!kJournalAvailable) {
        std::printf("skip 撤销本次执行 from 结果: this build keeps no undo journal\n");
        return;
    }
    Click(g_dlg, 1015);
    HWND results = ResultsWindow();
    HWND undo = results ? ChildOf(results, L"Button", L"撤销本次执行") : nullptr;
    Check("结果 offers 撤销本次执行 after the run", undo && IsWindowVisible(undo));
    if (!undo)
        return;
    PostMessageW(undo, BM_CLICK, 0, 0);
    const std::wstring asked = AnswerBox(IDYES);
    WaitFor([] { return Item(1006) == L"撤销完成"; });
    Check("撤销本次执行 with 是 restores the tree byte for byte",
          asked.find(L"确定要撤销吗？") != std::wstring::npos && left().empty(), asked + left());
    PostMessageW(results, WM_CLOSE, 0, 0);
}

// 执行 under a preview with one file unchecked: after 是, every file the
// preview would rewrite but that one is rewritten, that one is byte for byte
// as it was, the folder the preview would rename is renamed, and the counts
// say one file was left out.
void CheckPreviewRun(const std::wstring& job) {
    fs::create_directories(job + L"\\旧目录");
    const std::string gbk = InCodePage(936, L"旧文本");
    WriteAll(job + L"\\c.txt", gbk);
    WriteAll(job + L"\\旧目录\\a.txt", "colour");
    WriteAll(job + L"\\旧目录\\b.txt", "colour");
    SetItem(1000, job);
    Click(g_dlg, 1014);
    HWND results = ResultsWindow();
    WaitFor([] { return Item(1006) == L"预览完成"; });
    HWND list = ChildOf(results, L"SysListView32");
    // The order is the one clicked last, upwards or downwards: rows by their paths.
    const auto row = [list](const wchar_t* path) {
        const int count = (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
        for (int i = 0; i < count; ++i)
            if (ListCell(list, i, 1) == path)
                return i;
        return -1;
    };
    const int b = row(L"旧目录\\b.txt");
    ToggleRow(list, b);
    Check("a file to rewrite unchecked by its check box, a rename has none",
          b >= 0 && RowCheck(list, b) == 1 && RowCheck(list, row(L"旧目录\\a.txt")) == 2 &&
              RowCheck(list, row(L"旧目录")) == 0,
          ListColumn(list, 1));
    PostMessageW(ChildOf(results, L"Button", L"执行"), BM_CLICK, 0, 0);
    const std::wstring asked = AnswerBox(IDYES);
    WaitFor([] { return Item(1006) == L"执行完成！"; });
    Check("执行, 是 rewrites every previewed file but the unchecked one, renames the folder",
          asked == L"Korvane|" + std::wstring(kConfirm) &&
              ReadAll(job + L"\\c.txt") == InCodePage(936, L"新文本") &&
              ReadAll(job + L"\\新目录\\a.txt") == "color" &&
              ReadAll(job + L"\\新目录\\b.txt") == "colour" && !fs::exists(job + L"\\旧目录"),
          asked + L" " + Item(1020));
    Check("the counts say one file was left out",
          Item(1020).find(L"另有 1 个文件未勾选，未处理") != std::wstring::npos, Item(1020));
    PostMessageW(results, WM_CLOSE, 0, 0);
    WaitFor([&] { return !IsWindowVisible(results); });
}

}  // namespace

// The rules editor: a rule added in the list and typed into the edits is
// saved after the file's lines in its own encoding, mark, line breaks and
// Ctrl-Z; an empty find text keeps 保存 off and says why.
void CheckRulesEditor(const fs::path& rules) {
    auto utf16 = [](const std::wstring& t) {
        return std::string(reinterpret_cast<const char*>(t.data()), t.size() * 2);
    };
    const std::string mark = "\xFF\xFE", ctrlZ("\x1A\0", 2);
    WriteAll(rules, mark + utf16(L"a`b\r\n# 注释\r\n") + ctrlZ);
    Click(g_dlg, 1013);
    HWND editor = nullptr;
    Check("内容替换规则 opens 规则 - Korvane", WaitFor([&] {
              return (editor = FindWindowW(L"#32770", L"规则 - Korvane")) &&
                     IsWindowVisible(editor);
          }));
    if (!editor)
        return;
    const HWND list = GetDlgItem(editor, 1101), save = GetDlgItem(editor, 1112);
    auto rows = [&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); };
    Check("the list shows the file's lines", rows() == 2, std::to_wstring(rows()));
    Click(editor, 1104);
    Check("添加 adds an invalid row",
          WaitFor([&] { return rows() == 3; }) && !IsWindowEnabled(save));
    const std::wstring reason = Text(GetDlgItem(editor, 1108));
    Check("the reason is said under the list",
          reason.find(L"查找内容不能为空") != std::wstring::npos, reason);
    SendMessageW(GetDlgItem(editor, 1102), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"colour"));
    SendMessageW(GetDlgItem(editor, 1103), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"color"));
    Check("a valid rule offers 保存", WaitFor([&] { return IsWindowEnabled(save) != FALSE; }));
    Click(editor, 1112);
    const std::string expected = mark + utf16(L"a`b\r\n# 注释\r\ncolour`color\r\n") + ctrlZ;
    Check("保存 writes the file as it was plus the rule",
          WaitFor([&] { return ReadAll(rules) == expected; }) && !IsWindowEnabled(save));
    Click(editor, 1113);
    Check("关闭 hides it", WaitFor([&] { return !IsWindowVisible(editor); }));
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 3)
        return std::fprintf(stderr, "usage: vexa_driver vexa.exe work-folder\n"), 2;
    g_exe = argv[1];
    g_work = argv[2];
    Check("working code page is 936", GetACP() == 936, std::to_wstring(GetACP()));
    Check("dialog shows", Start());
    if (!g_dlg)
        return 1;
    wchar_t appData[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    const fs::path app = fs::path(appData) / L"Vexa";
    const fs::path rules = app / L"vexa_文本替换规则.txt",
                   renames = app / L"vexa_文件夹重命名规则.txt";
    Check("rules files created at first start", ReadAll(rules) == "" && ReadAll(renames) == "");
    CheckTemplate();
    const std::wstring job = g_work + L"\\工作";
    fs::create_directories(job + L"\\旧目录");
    CheckRefusals(job);

    CheckHelp(rules);
    Click(g_dlg, 1005);
    const std::wstring about = AnswerBox(IDOK);
    Check("关于 shows identity and version",
          about.rfind(L"关于 Korvane|Korvane", 0) == 0 &&
              about.find(L"1.0.4.27") != std::wstring::npos,
          about);
    CheckOpenFailure(job + L"\\无");
    CheckRulesEditor(rules);

    // The rules in the working code page; files in GBK, UTF-8 with mark, UTF-16.
    WriteAll(rules, InCodePage(CP_ACP, L"旧文本`新文本\r\ncolour`color\r\n"));
    WriteAll(renames, InCodePage(CP_ACP, L"旧目录`新目录\r\n"));
    const std::wstring files[][3] = {{L"\\甲.txt", L"旧文本 colour\r\n", L"新文本 color\r\n"},
                                     {L"\\b.txt", L"旧文本 x\n", L"新文本 x\n"},
                                     {L"\\c.txt", L"旧文本", L"新文本"},
                                     {L"\\d.htm", L"colour", L"colour"},
                                     {L"\\旧目录\\e.txt", L"colour", L"color"}};
    auto encode = [](int i, const std::wstring& t) {
        const std::string utf16(reinterpret_cast<const char*>(t.data()), t.size() * 2);
        return i == 1   ? "\xEF\xBB\xBF" + InCodePage(CP_UTF8, t)
               : i == 2 ? "\xFF\xFE" + utf16
                        : InCodePage(936, t);
    };
    for (int i = 0; i < 5; ++i)
        WriteAll(job + files[i][0], encode(i, files[i][1]));
    SetItem(1000, job);
    SetCheck(1010, true);
    SetCheck(1011, true);
    CheckPreview(job, [&] {
        std::wstring changed;
        for (int i = 0; i < 5; ++i)
            changed += ReadAll(job + files[i][0]) == encode(i, files[i][1]) ? L"" : files[i][0];
        return changed;
    });
    Click(g_dlg, 1003);
    Check("confirmation asked", AnswerBox(IDYES) == L"Korvane|" + std::wstring(kConfirm));
    Check("run reaches 执行完成！, button 执行, counts line",
          WaitFor([] { return Item(1006) == L"执行完成！"; }) && Item(1003) == L"执行" &&
              Item(1020).find(L"已改写 4 个") != std::wstring::npos,
          Item(1006) + L" " + Item(1003) + L" " + Item(1020));
    std::wstring wrong;
    for (int i = 0; i < 5; ++i) {
        const std::wstring path = job + (i == 4 ? L"\\新目录\\e.txt" : files[i][0]);
        wrong += ReadAll(path) == encode(i, files[i][2]) ? L"" : path + L" ";
    }
    Check("files rewritten byte for byte, folder renamed", wrong.empty(), wrong);
    CheckUndo([&] {
        std::wstring left;
        for (int i = 0; i < 5; ++i)
            left += ReadAll(job + files[i][0]) == encode(i, files[i][1]) ? L"" : files[i][0];
        return left + (fs::exists(job + L"\\新目录") ? L" 新目录" : L"");
    });

    CheckPreviewRun(g_work + L"\\预览");
    // The button beside the edit drops down the folders used last, newest
    // first; the first one picked from the keyboard fills the edit.
    SetItem(1000, L"");
    Click(g_dlg, 1019);
    HWND menu = nullptr;
    WaitFor([&] { return (menu = FindWindowOfVexa(nullptr, L"#32768")) != nullptr; });
    for (WPARAM key : {VK_DOWN, VK_RETURN})
        PostMessageW(menu, WM_KEYDOWN, key, 0);
    Check("the folders used last drop down beside the folder edit, newest first",
          menu && WaitFor([&] { return Item(1000) == g_work + L"\\预览"; }), Item(1000));

    // Files large enough (6 MB) that the one in hand outlasts the look at 正在停止.
    std::string colours, colors;
    for (int i = 0; i < 900000; ++i)
        colours += "colour\n", colors += "color\n";
    const std::wstring many = g_work + L"\\many";
    fs::create_directories(many);
    for (int i = 0; i < 24; ++i)
        WriteAll(many + L"\\" + std::to_wstring(i) + L".txt", colours);
    SetItem(1000, many);
    SetCheck(1011, false);
    Click(g_dlg, 1003);
    AnswerBox(IDYES);
    Check("progress shown", WaitFor([] { return Item(1006).rfind(L"执行中...第", 0) == 0; }),
          Item(1006));
    HWND bar = GetDlgItem(g_dlg, 1017);
    wchar_t barClass[64] = L"";
    GetClassNameW(bar, barClass, 64);
    Check("a progress bar during the run, then the total on the status line",
          _wcsicmp(barClass, L"msctls_progress32") == 0 && IsWindowVisible(bar) &&
              WaitFor([] { return Item(1006).find(L" / 共24个") != std::wstring::npos; }),
          Item(1006));
    SendMessageW(GetDlgItem(g_dlg, 1003), BM_CLICK, 0, 0);
    const bool stopping = Item(1003) == L"正在停止" && !IsWindowEnabled(GetDlgItem(g_dlg, 1003));
    WaitFor([] { return Item(1003) == L"执行" && Item(1006) == L"执行完成！"; });
    int rewritten = 0;
    for (int i = 0; i < 24; ++i)
        rewritten += ReadAll(many + L"\\" + std::to_wstring(i) + L".txt") == colors;
    Check("stop: 正在停止 and disabled, then 执行 with fewer files done",
          stopping && rewritten < 24 && Item(1020).rfind(L"已停止，", 0) == 0,
          std::to_wstring(rewritten) + L" rewritten; " + Item(1020));

    // Closed during a run: asked first; 否 keeps the run, 是 stops it and the
    // window closes once it has ended; the inputs are saved.
    Click(g_dlg, 1003);
    AnswerBox(IDYES);
    SetItem(1000, job);
    SetItem(1002, L"*.txt;*.htm");
    SetCheck(1010, false);
    SetCheck(1011, true);
    PostMessageW(g_dlg, WM_CLOSE, 0, 0);
    const std::wstring asked = AnswerBox(IDNO);
    Check("closing during a run asks, 否 keeps the run",
          asked.find(L"正在执行，关闭窗口将停止执行。") != std::wstring::npos && IsWindow(g_dlg) &&
              Item(1003) == L"停止",
          asked + L" " + Item(1003));
    PostMessageW(g_dlg, WM_CLOSE, 0, 0);
    AnswerBox(IDYES);
    Check("window closes during a run", Close());
    Check("restarted", Start());
    Check("inputs restored after a restart",
          Item(1000) == job && Item(1002) == L"*.txt;*.htm" && !IsDlgButtonChecked(g_dlg, 1010) &&
              IsDlgButtonChecked(g_dlg, 1011),
          Item(1000) + L" | " + Item(1002));
    Check("window closes again", Close());
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed ? 1 : 0;
}
