#pragma once
// Test stand-ins for what a front end installs: a dialog host that records
// every box, a settings store in memory, and a notification target that
// records the worker's messages.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/run_state.h"
#include "service/dialog_host.h"
#include "service/settings_store.h"

class CRecordingDialogHost : public CDialogHost {
  public:
    void Warning(void* owner, const std::string& text) override;
    int Confirm(void* owner, const std::string& text) override;
    void OpenUrl(const std::string& target) override;
    std::string About(int operation, const tagSoft* soft, const std::string& text) override;

    std::vector<std::string> warnings;
    std::vector<std::string> questions;
    std::vector<std::string> opened;
    int abouts = 0;
    int answer = kYes;  // what Confirm returns

  private:
    std::mutex m_mutex;  // OpenUrl and About may come from another thread
};

class CMemorySettingsStore : public CSettingsStore {
  public:
    void Load() override { ++loads; }
    std::string GetStr(const char* key) override;
    int GetBool(const char* key) override;
    void SaveStr(const char* key, const std::string& value) override { texts[key] = value; }
    void SaveBool(const char* key, int value) override { flags[key] = value; }

    std::map<std::string, std::string> texts;
    std::map<std::string, int> flags;
    int loads = 0;
};

struct CPostedMessage {
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

class CRecordingNotify : public CNotifyTarget {
  public:
    void Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::vector<CPostedMessage> Messages();
    // The lParam of every WM_JOB_PROGRESS, in order.
    std::vector<std::intptr_t> ProgressCounts();

  private:
    std::mutex m_mutex;
    std::vector<CPostedMessage> m_messages;
};
