// The worker's notification target for the dialog.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>

#include <thread>

#include "ui/dialog_notify.h"
#include "ui/job_event.h"

namespace {

class CEventLog : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() == kJobProgressEvent || e->type() == kJobDoneEvent)
            types.push_back(e->type());
        return QObject::event(e);
    }
    std::vector<QEvent::Type> types;
};

}  // namespace

// Progress from the worker is coalesced to the latest count, done follows it,
// and nothing arrives once the dialog has detached.
TEST(DialogNotify, ProgressIsCoalescedAndNothingArrivesAfterDetach) {
    CEventLog log;
    CDialogNotify notify(&log);
    std::thread worker([&] {
        for (int n = 1; n <= 1000; ++n)
            notify.Post(WM_JOB_PROGRESS, 0, n);
    });
    worker.join();
    QCoreApplication::sendPostedEvents(&log);
    ASSERT_EQ(log.types.size(), 1u) << "one queued progress event at a time";
    EXPECT_EQ(notify.TakeProgress(), 1000);

    notify.Post(WM_JOB_PROGRESS, 0, 1001);  // taken: the next count queues again
    notify.Post(WM_JOB_DONE, 0, 0);
    QCoreApplication::sendPostedEvents(&log);
    EXPECT_EQ(log.types, (std::vector{kJobProgressEvent, kJobProgressEvent, kJobDoneEvent}));
    EXPECT_EQ(notify.TakeProgress(), 1001);

    notify.Detach();
    notify.Post(WM_JOB_DONE, 0, 0);
    notify.Post(WM_JOB_PROGRESS, 0, 1002);
    QCoreApplication::sendPostedEvents(&log);
    EXPECT_EQ(log.types.size(), 3u);
}
