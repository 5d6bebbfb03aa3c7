#include "cli/console_progress.h"

#include <cstdio>
#include <string>

#include "app/run_progress.h"
#include "cli/console_host.h"
#include "platform/console.h"

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
}

CConsoleProgress::CConsoleProgress(bool draw) : m_bDraw(draw), m_start(Clock::now()) {}

void CConsoleProgress::Post(unsigned message, std::uintptr_t /*wParam*/, std::intptr_t lParam) {
    if (message != WM_JOB_PROGRESS)
        return;
    if (m_raiseSigintAt != 0 && lParam == m_raiseSigintAt)
        RaiseInterrupt();
    if (!m_bDraw)
        return;
    const Clock::time_point now = Clock::now();
    if (m_bDrawn && now - m_lastDraw < kRedrawInterval)
        return;
    Draw(lParam, now);
}

void CConsoleProgress::Draw(std::intptr_t count, Clock::time_point now) {
    const CRunProgress progress{true, static_cast<long>(count), m_totalOf ? m_totalOf() : -1,
                                std::chrono::duration<double>(now - m_start).count()};
    // Appended piece by piece: g++ 12 at -O3 warns wrongly about '+' on a literal.
    std::string line = "\r";
    line.append(ProgressStatus(RunKind::Run, std::to_string(count), progress.Total()));
    std::string more;
    if (progress.Percent() >= 0)
        more.append(std::to_string(progress.Percent())).append("%");
    if (const std::string rate = RateAndTimeLeft(progress); !rate.empty())
        more.append(more.empty() ? "" : "，").append(rate);
    if (!more.empty())
        line.append("（").append(more).append("）");
    line += "\x1b[K";  // erase what a longer earlier line left
    WriteLocaleText(stderr, line);
    m_bDrawn = true;
    m_lastDraw = now;
}

void CConsoleProgress::Finish() {
    if (m_bDrawn)
        WriteLocaleText(stderr, "\r\x1b[K");
    m_bDrawn = false;
}
