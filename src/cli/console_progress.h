#pragma once
// The worker's notification target on the command line: the progress line
// "执行中...第N个文件", with " / 共M个", the percentage and the time left once
// the total is known, and the rate; redrawn in place on stderr at most ten
// times a second, so that printing never slows the run down.

#include <chrono>
#include <cstdint>
#include <functional>

#include "engine/run/run_state.h"

class CConsoleProgress : public CNotifyTarget {
  public:
    // draw: stderr is a terminal and the user did not ask for quiet.
    explicit CConsoleProgress(bool draw);

    // Runs on the worker, which is the calling thread here.
    void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    // Whether the progress line is drawn at all.
    bool Draws() const { return m_bDraw; }
    // The files the job handles, once counted; -1 before (any thread).
    std::function<long()> m_totalOf;
    // Clears the progress line, if one was drawn, before the summary is printed.
    void Finish();

    // Tests only: deliver Ctrl-C when the progress of this file number arrives,
    // as a user's Ctrl-C would while that file is in hand. 0: never.
    std::intptr_t m_raiseSigintAt = 0;

  private:
    using Clock = std::chrono::steady_clock;
    void Draw(std::intptr_t count, Clock::time_point now);

    bool m_bDraw;
    bool m_bDrawn = false;
    Clock::time_point m_start;
    Clock::time_point m_lastDraw;
};
