#pragma once
// Test stand-ins for what a front end installs: a dialog host that records
// warnings, and a notification target that records the worker's messages
// (posted from the worker thread).

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "engine/run/run_state.h"
#include "service/dialog_host.h"

class CRecordingDialogHost : public CDialogHost {
  public:
    void Warning(void*, const std::string& text) override { warnings.push_back(text); }
    int Confirm(void*, const std::string&) override { return answer; }
    bool OpenUrl(const std::string&) override { return true; }
    std::string About(int, const tagSoft*, const std::string&) override { return {}; }

    std::vector<std::string> warnings;
    int answer = kYes;  // what Confirm returns
};

struct CPostedMessage {
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

class CRecordingNotify : public CNotifyTarget {
  public:
    void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
        std::lock_guard lock(m_mutex);
        m_messages.push_back({message, wParam, lParam});
    }
    std::vector<CPostedMessage> Messages() {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    // The lParam of every WM_JOB_PROGRESS, in order.
    std::vector<std::intptr_t> ProgressCounts() {
        std::vector<std::intptr_t> counts;
        for (const auto& m : Messages()) {
            if (m.message == WM_JOB_PROGRESS)
                counts.push_back(m.lParam);
        }
        return counts;
    }

  private:
    std::mutex m_mutex;
    std::vector<CPostedMessage> m_messages;
};
