#include <signal.h>
#include <unistd.h>

#include "platform/console.h"

namespace {

std::atomic<bool>* g_pStopFlag = nullptr;
struct sigaction g_saved {};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

// Only sets the flag: the walk finishes the file in hand, renames the folders
// it walked into on the way out, and returns.
extern "C" void OnSigint(int) {
    if (g_pStopFlag)
        g_pStopFlag->store(true, std::memory_order_relaxed);
}

}  // namespace

void PrepareConsole() {
    ::signal(SIGPIPE, SIG_IGN);
}

CStopOnInterrupt::CStopOnInterrupt(std::atomic<bool>& stopFlag) {
    g_pStopFlag = &stopFlag;
    struct sigaction action {};
    action.sa_handler = OnSigint;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &g_saved);
}

CStopOnInterrupt::~CStopOnInterrupt() {
    sigaction(SIGINT, &g_saved, nullptr);
    g_pStopFlag = nullptr;
}

void RaiseInterrupt() {
    ::raise(SIGINT);
}

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

bool WriteConsoleText(std::FILE* stream, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
           std::fflush(stream) == 0;
}
