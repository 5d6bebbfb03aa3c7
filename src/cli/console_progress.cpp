#include "cli/console_progress.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "app/run_progress.h"
#include "cli/console_host.h"
#include "platform/console.h"
#include "platform/message_catalog.h"

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

// A duration as the progress line says it: "12 秒", "3 分 5 秒", "1 小时 20 分".
std::string TimeText(double seconds) {
    const long s = std::lround(seconds);
    if (s < 60)
        return FillMessage(N_("{} 秒"), {std::to_string(s)});
    if (s < 3600)
        return FillMessage(N_("{} 分 {} 秒"), {std::to_string(s / 60), std::to_string(s % 60)});
    return FillMessage(N_("{} 小时 {} 分"),
                       {std::to_string(s / 3600), std::to_string(s / 60 % 60)});
}
}  // namespace

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
    line.append(FillMessage(N_("执行中...第{}个文件"), {std::to_string(count)}));
    if (progress.Total() >= 0)
        line.append(FillMessage(N_(" / 共{}个"), {std::to_string(progress.Total())}));
    std::string more;
    if (progress.Percent() >= 0)
        more.append(std::to_string(progress.Percent())).append("%");
    if (progress.Rate() > 0) {
        const std::string rate =
            FillMessage(N_("每秒 {} 个"), {std::to_string(std::lround(progress.Rate()))});
        more = more.empty() ? rate : FillMessage(N_("{}，{}"), {more, rate});
    }
    if (const double left = progress.SecondsLeft(); left >= 0)
        more = FillMessage(N_("{}，还剩约 {}"), {more, TimeText(left)});
    if (!more.empty())
        line.append(FillMessage(N_("（{}）"), {more}));
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
