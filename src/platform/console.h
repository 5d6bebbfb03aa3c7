#pragma once
// The console, for the command line: Ctrl-C, whether a stream is a
// terminal, and writing text to it.

#include <atomic>
#include <cstdio>
#include <string>

// The text written to the console: bytes in the locale's character set on
// POSIX; UTF-8 on Windows, shown on a console with the wide console API and
// sent to a pipe or a file as UTF-8.
#ifdef _WIN32
inline constexpr bool kConsoleTextIsUtf8 = true;
#else
inline constexpr bool kConsoleTextIsUtf8 = false;
#endif

// Once at start: a closed pipe on stdout (vexa-cli -l ... | head) must not
// end the process before the summary (POSIX); the console draws the progress
// line's escape sequences (Windows).
void PrepareConsole();

// While it lives, Ctrl-C sets stopFlag instead of ending the process. Before
// the run starts nothing has been changed, so the default (end) is right then.
class CStopOnInterrupt {
  public:
    explicit CStopOnInterrupt(std::atomic<bool>& stopFlag);
    ~CStopOnInterrupt();
    CStopOnInterrupt(const CStopOnInterrupt&) = delete;
    CStopOnInterrupt& operator=(const CStopOnInterrupt&) = delete;
};

// Delivers what a user's Ctrl-C delivers (tests).
void RaiseInterrupt();

// Whether stream is an interactive terminal (on Windows a console; the NUL
// device is none).
bool IsTerminal(std::FILE* stream);

// Writes text (see kConsoleTextIsUtf8) to stream and flushes; false when
// not all of it was written.
bool WriteConsoleText(std::FILE* stream, const std::string& text);
