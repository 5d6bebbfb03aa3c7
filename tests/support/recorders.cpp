#include "support/recorders.h"

void CRecordingDialogHost::Warning(void*, const std::string& text) {
    std::lock_guard lock(m_mutex);
    warnings.push_back(text);
}

int CRecordingDialogHost::Confirm(void*, const std::string& text) {
    std::lock_guard lock(m_mutex);
    questions.push_back(text);
    return answer;
}

void CRecordingDialogHost::OpenUrl(const std::string& target) {
    std::lock_guard lock(m_mutex);
    opened.push_back(target);
}

std::string CRecordingDialogHost::About(int, const tagSoft*, const std::string&) {
    std::lock_guard lock(m_mutex);
    ++abouts;
    return {};
}

std::string CMemorySettingsStore::GetStr(const char* key) {
    auto it = texts.find(key);
    return it == texts.end() ? std::string() : it->second;
}

int CMemorySettingsStore::GetBool(const char* key) {
    auto it = flags.find(key);
    return it == flags.end() ? 0 : it->second;
}

void CRecordingNotify::Post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    std::lock_guard lock(m_mutex);
    m_messages.push_back({message, wParam, lParam});
}

std::vector<CPostedMessage> CRecordingNotify::Messages() {
    std::lock_guard lock(m_mutex);
    return m_messages;
}

std::vector<std::intptr_t> CRecordingNotify::ProgressCounts() {
    std::lock_guard lock(m_mutex);
    std::vector<std::intptr_t> counts;
    for (const auto& m : m_messages) {
        if (m.message == WM_JOB_PROGRESS)
            counts.push_back(m.lParam);
    }
    return counts;
}
