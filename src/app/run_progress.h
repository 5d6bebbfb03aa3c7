#pragma once
// Where a job stands, as its progress bar and progress line show it: the
// files begun, the total once counted, the rate and the time left. Any thread.

#include <string>

#include "app/run_kind.h"

struct CRunProgress {
    bool active = false;  // a job runs
    long count = 0;       // files begun so far
    long total = -1;      // files the job handles; -1 while not yet known
    double seconds = 0;   // since the job started

    // The total, never below the count (the tree may have grown since it
    // was counted); -1 while not known.
    long Total() const { return total < 0 ? -1 : (total > count ? total : count); }
    // 0 to 100; -1 while the total is not known.
    int Percent() const;
    // Files per second; 0 until there is enough to measure.
    double Rate() const;
    // Seconds to go at the rate so far; -1 while that cannot be said.
    double SecondsLeft() const;
};

// The status line at file number (its decimal text): "执行中...第N个文件",
// and " / 共M个" once total is known (预览中 and 撤销中 for a preview and an undo).
std::string ProgressStatus(RunKind kind, const std::string& number, long total);
// "每秒 N 个，还剩约 M 秒": what is known of the rate and time left; empty
// at the very start.
std::string RateAndTimeLeft(const CRunProgress& progress);
// A duration as "12 秒", "3 分 5 秒" or "1 小时 20 分".
std::string DurationText(double seconds);
