#include "app/run_progress.h"

#include <cmath>

#include "app/app_texts.h"

namespace {

// Less than this gives a rate that jumps about.
constexpr double kMeasureFrom = 0.5;

constexpr const char* kProgressBefore[] = {
    app_text::kProgressBefore, app_text::kPreviewProgressBefore, app_text::kUndoProgressBefore};

}  // namespace

int CRunProgress::Percent() const {
    const long all = Total();
    if (all < 0)
        return -1;
    return all == 0 ? 100 : static_cast<int>(count * 100 / all);
}

double CRunProgress::Rate() const {
    return seconds < kMeasureFrom || count <= 0 ? 0 : static_cast<double>(count) / seconds;
}

double CRunProgress::SecondsLeft() const {
    const double rate = Rate();
    if (Total() < 0 || rate <= 0)
        return -1;
    return static_cast<double>(Total() - count) / rate;
}

std::string ProgressStatus(RunKind kind, const std::string& number, long total) {
    std::string text = kProgressBefore[static_cast<int>(kind)] + number + app_text::kProgressAfter;
    if (total >= 0)
        text += app_text::kTotalBefore + std::to_string(total) + app_text::kTotalAfter;
    return text;
}

std::string RateAndTimeLeft(const CRunProgress& progress) {
    const double rate = progress.Rate();
    if (rate <= 0)
        return {};
    std::string text =
        app_text::kRateBefore + std::to_string(std::lround(rate)) + app_text::kRateAfter;
    const double left = progress.SecondsLeft();
    if (left >= 0)
        text += app_text::kTimeLeft + DurationText(left);
    return text;
}

std::string DurationText(double seconds) {
    const long s = std::lround(std::ceil(seconds));
    if (s < 60)
        return std::to_string(s) + app_text::kSeconds;
    if (s < 3600)
        return std::to_string(s / 60) + app_text::kMinutes + " " + std::to_string(s % 60) +
               app_text::kSeconds;
    // Seconds say nothing at this length.
    return std::to_string(s / 3600) + app_text::kHours + std::to_string(s % 3600 / 60) +
           app_text::kMinutes;
}
