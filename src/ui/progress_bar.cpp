#include "ui/progress_bar.h"

#include <QLabel>
#include <QProgressBar>

#include <climits>

#include "app/app_texts.h"
#include "app/run_progress.h"
#include "ui/dialog_ids.h"

namespace {

template <class W>
W* KeepRoomWhenHidden(W* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->hide();
    return widget;
}

}  // namespace

// Named, as a screen reader would otherwise have nothing to call it by; its
// value is what assistive technology reads as it rises.
QProgressBar* MakeProgressBar() {
    auto* bar = new QProgressBar;
    bar->setObjectName(QStringLiteral("ctl%1").arg(static_cast<int>(IDC_PROGRESS)));
    bar->setAccessibleName(QString::fromUtf8(app_text::kProgressName));
    bar->setToolTip(QString::fromUtf8(app_text::kTipProgress));
    bar->setAccessibleDescription(bar->toolTip());
    bar->setFormat(QStringLiteral("%p%"));
    return KeepRoomWhenHidden(bar);
}

QLabel* MakeRateLabel() {
    auto* rate = new QLabel;
    rate->setObjectName(QStringLiteral("ctl%1").arg(static_cast<int>(IDC_RATE)));
    rate->setToolTip(QString::fromUtf8(app_text::kTipRate));
    rate->setAccessibleDescription(rate->toolTip());
    return KeepRoomWhenHidden(rate);
}

void ShowRunProgress(QProgressBar* bar, QLabel* rate, const CRunProgress& progress) {
    bar->setVisible(progress.active);
    rate->setVisible(progress.active);
    if (!progress.active) {
        bar->reset();
        rate->clear();
        return;
    }
    const long total = progress.Total();
    if (total < 0) {
        bar->setRange(0, 0);  // busy: how many there are is not known yet
    } else {
        // A bar counts in int; a larger total is shown in proportion.
        const long scale = total / INT_MAX + 1;
        bar->setRange(0, static_cast<int>(total / scale));
        bar->setValue(static_cast<int>(progress.count / scale));
    }
    rate->setText(QString::fromStdString(RateAndTimeLeft(progress)));
}
