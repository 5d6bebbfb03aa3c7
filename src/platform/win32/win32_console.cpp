// The console on Windows: Ctrl-C through SetConsoleCtrlHandler, "is a
// terminal" by GetConsoleMode (the C runtime's _isatty is also true for the
// NUL device), text to a console with WriteConsoleW and to anything else as
// UTF-8.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string_view>

#include "platform/console.h"
#include "platform/dir.h"
#include "platform/name_text.h"

namespace {

std::atomic<bool>* g_pStopFlag = nullptr;

// Runs on a thread the system starts for the event: only sets the flag.
BOOL WINAPI OnConsoleControl(DWORD event) {
    if ((event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) && g_pStopFlag) {
        g_pStopFlag->store(true, std::memory_order_relaxed);
        return TRUE;
    }
    return FALSE;
}

HANDLE ConsoleOf(std::FILE* stream) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) ? handle : nullptr;
}

}  // namespace

void PrepareConsole() {
    // Bytes go out as they are: a listed name reads back exactly, lines end in LF.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    // The progress line redraws itself with escape sequences.
    for (const DWORD id : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        const HANDLE handle = ::GetStdHandle(id);
        DWORD mode = 0;
        if (handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode))
            ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
}

CStopOnInterrupt::CStopOnInterrupt(std::atomic<bool>& stopFlag) {
    g_pStopFlag = &stopFlag;
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

CStopOnInterrupt::~CStopOnInterrupt() {
    ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    g_pStopFlag = nullptr;
}

void RaiseInterrupt() {
    OnConsoleControl(CTRL_C_EVENT);
}

bool IsTerminal(std::FILE* stream) {
    return ConsoleOf(stream) != nullptr;
}

bool WriteConsoleText(std::FILE* stream, const std::string& text) {
    if (const HANDLE console = ConsoleOf(stream)) {
        std::fflush(stream);
        CPlatformName wide;
        if (!PathTextToName(text, wide))
            return false;
        for (std::wstring_view rest(wide); !rest.empty();) {
            DWORD written = 0;
            const DWORD ask = rest.size() > 8192 ? 8192 : static_cast<DWORD>(rest.size());
            if (!::WriteConsoleW(console, rest.data(), ask, &written, nullptr) || written == 0)
                return false;
            rest.remove_prefix(written);
        }
        return true;
    }
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
           std::fflush(stream) == 0;
}
