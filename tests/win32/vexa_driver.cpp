// Drives the real vexa.exe by window messages, as a user would with the
// mouse: finds the controls of the dialog by id, fills the edits, clicks,
// reads and answers the message boxes, follows the status line, and checks
// the files on disk byte for byte. One line per check, then the totals.
// Usage: vexa_driver.exe path\to\vexa.exe work-folder

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

int g_passed = 0, g_failed = 0;
std::wstring g_exe, g_work;
PROCESS_INFORMATION g_proc{};
HWND g_dlg = nullptr;

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 3 + 1, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), (int)out.size(),
                                   nullptr, nullptr) -
               1);
    return out;
}

void Check(const char* name, bool ok, const std::wstring& detail = L"") {
    ++(ok ? g_passed : g_failed);
    std::printf("%s %s%s%s\n", ok ? "ok  " : "FAIL", name, ok ? "" : ": ",
                ok ? "" : Utf8(detail).c_str());
    std::fflush(stdout);
}

bool WaitFor(const std::function<bool()>& done, int ms = 20000, int stepMs = 50) {
    for (int waited = 0; waited < ms; waited += stepMs) {
        if (done())
            return true;
        Sleep(stepMs);
    }
    return done();
}

std::wstring Text(HWND window) {
    wchar_t buffer[2048] = L"";
    SendMessageW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer));
    return buffer;
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

// A visible top-level window of vexa.exe: the dialog (caption given) or a box.
HWND FindWindowOfVexa(const wchar_t* caption, HWND except) {
    struct Seek {
        const wchar_t* caption;
        HWND except, found;
    } seek{caption, except, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto& s = *reinterpret_cast<Seek*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            wchar_t cls[64] = L"";
            GetClassNameW(w, cls, 64);
            if (pid != g_proc.dwProcessId || w == s.except || !IsWindowVisible(w) ||
                std::wstring(cls) != L"#32770" || (s.caption && Text(w) != s.caption))
                return TRUE;
            s.found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&seek));
    return seek.found;
}

// Waits for a message box over the dialog, checks its text and answers it.
void AnswerBox(const char* name, const std::wstring& expected, int button) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindWindowOfVexa(nullptr, g_dlg)) != nullptr; });
    const std::wstring text = box ? Text(GetDlgItem(box, 0xFFFF)) : L"(no box)";
    Check(name, text == expected, L"box says \"" + text + L"\"");
    if (box) {
        Click(box, button);
        WaitFor([&] { return !IsWindow(box); });
    }
}

HWND Focus() {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(g_proc.dwThreadId, &gui);
    return gui.hwndFocus;
}

bool Start() {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring cmd = L"\"" + g_exe + L"\"";
    if (!CreateProcessW(g_exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        g_work.c_str(), &si, &g_proc))
        return false;
    return WaitFor([] { return (g_dlg = FindWindowOfVexa(L"Korvane", nullptr)) != nullptr; });
}

bool Close() {
    PostMessageW(g_dlg, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(g_proc.hProcess, 20000) == WAIT_OBJECT_0;
    CloseHandle(g_proc.hProcess);
    CloseHandle(g_proc.hThread);
    return ended;
}

std::string ReadFile(const std::wstring& path) {
    std::string bytes;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return "(missing)";
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got)
        bytes.append(buffer, got);
    CloseHandle(f);
    return bytes;
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    ::WriteFile(f, bytes.data(), (DWORD)bytes.size(), &put, nullptr);
    CloseHandle(f);
}

std::string InCodePage(UINT cp, const std::wstring& text) {
    std::string out(text.size() * 4, '\0');
    out.resize(WideCharToMultiByte(cp, 0, text.data(), (int)text.size(), out.data(),
                                   (int)out.size(), nullptr, nullptr));
    return out;
}
std::string Utf16(const std::wstring& text) {
    return std::string("\xFF\xFE") +
           std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

std::wstring AppFolder() {
    wchar_t appData[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    return std::wstring(appData) + L"\\Vexa\\";
}

void CheckTemplate() {
    struct Control {
        int id;
        const wchar_t* cls;
        const wchar_t* text;
        int x, y, w, h;
    };
    const Control controls[] = {// in tab order
                                {1003, L"Button", L"开始", 261, 146, 50, 14},
                                {1000, L"Edit", L"", 50, 7, 252, 14},
                                {1001, L"Button", L"指定", 303, 7, 30, 14},
                                {1004, L"Button", L"打开", 336, 7, 30, 14},
                                {1002, L"Edit", L"", 50, 25, 252, 14},
                                {1010, L"Button", L"包含子目录", 50, 43, 56, 10},
                                {1011, L"Button", L"重命名文件夹", 50, 57, 64, 10},
                                {1013, L"Button", L"内容替换规则", 50, 91, 61, 14},
                                {1012, L"Button", L"重命名规则", 117, 91, 61, 14},
                                {1005, L"Button", L"关于", 316, 146, 50, 14},
                                {1006, L"Static", L"就绪", 7, 152, 162, 8}};
    // Placement in the dialog's own units: a unit's size in pixels taken from
    // the span of the folder edit's top left to 关于's bottom right (316 x 153
    // units), every control within 2 pixels.
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
        RECT got{};
        GetWindowRect(w, &got);
        MapWindowPoints(nullptr, g_dlg, reinterpret_cast<POINT*>(&got), 2);
        const double want[] = {c.x * unitX, c.y * unitY, c.w * unitX, c.h * unitY};
        const double have[] = {1.0 * got.left, 1.0 * got.top, 1.0 * got.right - got.left,
                               1.0 * got.bottom - got.top};
        bool placed = true;
        for (int k = 0; k < 4; ++k)
            placed = placed && std::abs(want[k] - have[k]) <= 2.0;
        if (!w || _wcsicmp(cls, c.cls) != 0 || Text(w) != c.text || !placed)
            wrong += std::to_wstring(c.id) + L" (" + cls + L" \"" + Text(w) + L"\") ";
        if (c.id != 1006 && w != tab)
            wrong += L"tab order at " + std::to_wstring(c.id) + L" ";
        tab = GetNextDlgTabItem(g_dlg, tab, FALSE);
    }
    Check("controls of the template by id, class, text, place and tab order", wrong.empty(), wrong);
    Check("focus on 开始 at start", Focus() == GetDlgItem(g_dlg, 1003));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vexa_driver vexa.exe work-folder\n");
        return 2;
    }
    g_exe = argv[1];
    g_work = argv[2];
    Check("working code page is 936", GetACP() == 936, std::to_wstring(GetACP()));
    Check("dialog shows", Start());
    if (!g_dlg)
        return 1;
    const std::wstring app = AppFolder();
    Check("rules files created at first start",
          ReadFile(app + L"vexa_文本替换规则.txt") == "" &&
              ReadFile(app + L"vexa_文件夹重命名规则.txt") == "");
    CheckTemplate();

    const std::wstring job = g_work + L"\\工作";
    CreateDirectoryW(job.c_str(), nullptr);
    struct Refusal {
        const char* name;
        std::wstring path, suffix, message;
        int focus;
    };
    const Refusal refusals[] = {
        {"empty folder refused", L"", L"*.txt", L"路径无效！", 1000},
        {"missing folder refused", job + L"\\无", L"*.txt", L"路径无效！", 1000},
        {"suffix without a dot refused", job, L"txt", L"文件后缀指定无效！", 1002},
        {"suffix without an extension refused", job, L";*.txt",
         L"请指定文件扩展名。所有文件用 *.* 表示。", 1003},
        {"empty replacement rules refused", job, L"*.txt", L"文本内容替换有效规则不能为空。",
         1003}};
    for (const Refusal& r : refusals) {
        SetItem(1000, r.path);
        SetItem(1002, r.suffix);
        Click(g_dlg, 1003);
        AnswerBox(r.name, r.message, IDOK);
        Check("  focus after the refusal", Focus() == GetDlgItem(g_dlg, r.focus));
    }

    // The rules in the working code page; files in GBK, UTF-8 with mark, UTF-16.
    WriteFile(app + L"vexa_文本替换规则.txt",
              InCodePage(CP_ACP, L"旧文本`新文本\r\ncolour`color\r\n"));
    WriteFile(app + L"vexa_文件夹重命名规则.txt", InCodePage(CP_ACP, L"旧目录`新目录\r\n"));
    CreateDirectoryW((job + L"\\旧目录").c_str(), nullptr);
    const std::wstring files[][3] = {{L"\\甲.txt", L"旧文本 colour\r\n", L"新文本 color\r\n"},
                                     {L"\\b.txt", L"旧文本 x\n", L"新文本 x\n"},
                                     {L"\\c.txt", L"旧文本", L"新文本"},
                                     {L"\\d.htm", L"colour", L"colour"},
                                     {L"\\旧目录\\e.txt", L"colour", L"color"}};
    auto encode = [](int i, const std::wstring& t) {
        return i == 1   ? "\xEF\xBB\xBF" + InCodePage(CP_UTF8, t)
               : i == 2 ? Utf16(t)
                        : InCodePage(936, t);
    };
    for (int i = 0; i < 5; ++i)
        WriteFile(job + files[i][0], encode(i, files[i][1]));
    SetItem(1002, L"*.txt");
    SetCheck(1010, true);
    SetCheck(1011, true);
    Click(g_dlg, 1003);
    AnswerBox("confirmation asked", L"替换操作无法撤销，请自行备份文件！确定要继续执行吗？", IDYES);
    Check("run reaches 执行完成！", WaitFor([] { return Item(1006) == L"执行完成！"; }),
          Item(1006));
    Check("button reads 执行 after the run", Item(1003) == L"执行", Item(1003));
    Check("counts line after the run", Item(1020).find(L"已改写 4 个") != std::wstring::npos,
          Item(1020));
    std::wstring wrong;
    for (int i = 0; i < 5; ++i) {
        std::wstring path = job + files[i][0];
        if (i == 4)
            path = job + L"\\新目录\\e.txt";
        if (ReadFile(path) != encode(i, files[i][2]))
            wrong += path + L" ";
    }
    Check("files rewritten byte for byte, folder renamed", wrong.empty(), wrong);

    const std::wstring many = g_work + L"\\many";
    CreateDirectoryW(many.c_str(), nullptr);
    for (int i = 0; i < 2000; ++i)
        WriteFile(many + L"\\" + std::to_wstring(i) + L".txt", "colour\n");
    SetItem(1000, many);
    SetCheck(1011, false);
    Click(g_dlg, 1003);
    AnswerBox("confirmation of the long run",
              L"替换操作无法撤销，请自行备份文件！确定要继续执行吗？", IDYES);
    Check("progress shown", WaitFor([] { return Item(1006).rfind(L"执行中...第", 0) == 0; }),
          Item(1006));
    Click(g_dlg, 1003);
    // The Stopping state lasts until the file in hand is done: watched closely.
    bool stopping = false;
    WaitFor(
        [&] {
            stopping = stopping ||
                       (Item(1003) == L"正在停止" && !IsWindowEnabled(GetDlgItem(g_dlg, 1003)));
            return Item(1003) == L"执行";
        },
        20000, 1);
    Check("stop: button reads 正在停止, disabled, until the run ends", stopping);
    Check("stopped run ends",
          WaitFor([] { return Item(1006) == L"执行完成！" && Item(1003) == L"执行"; }), Item(1006));
    int rewritten = 0;
    for (int i = 0; i < 2000; ++i)
        rewritten += ReadFile(many + L"\\" + std::to_wstring(i) + L".txt") == "color\n";
    Check("stopped before the end", rewritten < 2000 && Item(1020).rfind(L"已停止，", 0) == 0,
          std::to_wstring(rewritten) + L" rewritten; " + Item(1020));

    SetItem(1000, job);
    SetItem(1002, L"*.txt;*.htm");
    SetCheck(1010, false);
    SetCheck(1011, true);
    Check("window closes", Close());
    Check("restarted", Start());
    Check("inputs restored after a restart",
          Item(1000) == job && Item(1002) == L"*.txt;*.htm" &&
              SendMessageW(GetDlgItem(g_dlg, 1010), BM_GETCHECK, 0, 0) == BST_UNCHECKED &&
              SendMessageW(GetDlgItem(g_dlg, 1011), BM_GETCHECK, 0, 0) == BST_CHECKED,
          Item(1000) + L" | " + Item(1002));
    Check("window closes again", Close());
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed ? 1 : 0;
}
