#include "app/app_session.h"

#include <utility>

#include "app/app_texts.h"
#include "engine/report/reason_texts.h"
#include "engine/report/run_summary.h"
#include "platform/file_io.h"
#include "prep/job_inputs.h"
#include "prep/job_tables.h"
#include "prep/load_job_tables.h"
#include "prep/prep_messages.h"
#include "service/core.h"
#include "service/soft_record.h"

std::string ProgramRulesFile(bool rename) {
    const std::string prefix = CCore().AppPrefix();
    return prefix.empty() ? prefix : prefix + (rename ? kRenameRulesSuffix : kReplaceRulesSuffix);
}

CAppSession::CAppSession(Kind kind, CSettingsStore* store, CDialogHost* host) {
    g_pCore = new CCore;
    g_pCore->SetSettingsStore(store);
    g_pCore->SetDialogHost(host);
    JobTables& t = g_jobTables;
    if (kind == Kind::Dialog) {
        m_pSoft = new tagSoft{};
        FillSoftRecord(*m_pSoft);
        g_pSoft = m_pSoft;
        g_pCore->autoFileConfig();
        t.appPrefix = g_pCore->getAppPath();
    } else {
        t.appPrefix = g_pCore->AppPrefix();  // nothing is created to read rules
    }
    if (!t.appPrefix.empty()) {
        t.replaceRulesPath = t.appPrefix + kReplaceRulesSuffix;
        t.renameRulesPath = t.appPrefix + kRenameRulesSuffix;
    }
    if (kind == Kind::Dialog) {
        g_pCore->createFile(t.replaceRulesPath, 0);
        g_pCore->createFile(t.renameRulesPath, 0);
    }
    t.Allocate();
}

CAppSession::~CAppSession() {
    g_jobTables.Release();
    g_jobTables = JobTables{};
    delete g_pCore;
    g_pCore = nullptr;
    g_pSoft = nullptr;
    delete m_pSoft;
}

CCore& CAppSession::Core() {
    return *g_pCore;
}

const std::string& CAppSession::AppPrefix() const {
    return g_jobTables.appPrefix;
}

const std::string& CAppSession::ReplaceRulesPath() const {
    return g_jobTables.replaceRulesPath;
}

const std::string& CAppSession::RenameRulesPath() const {
    return g_jobTables.renameRulesPath;
}

void CAppSession::UseRules(const std::string& replacePath, std::optional<std::string> replaceBytes,
                           const std::string& renamePath, std::optional<std::string> renameBytes) {
    JobTables& t = g_jobTables;
    t.replaceRulesPath = replacePath;
    t.replaceRulesBytes = std::move(replaceBytes);
    t.renameRulesPath = renamePath;
    t.renameRulesBytes = std::move(renameBytes);
}

void CAppSession::UseCommandLineRules(std::vector<std::string> rules,
                                      std::vector<std::string> renameRules) {
    g_jobTables.commandLineRules = std::move(rules);
    g_jobTables.commandLineRenameRules = std::move(renameRules);
}

bool CAppSession::ReadRulesStream(const std::string& path, std::string& bytes, std::string& why) {
    const CIoResult r = ReadStreamPath(path, bytes, kMaxRulesFileBytes + 1);
    if (r.status == IoStatus::TooLarge)
        why = FillMessage(kMsgRulesFileTooLarge, {PathForDisplay(path)});
    else if (!r.Ok())
        why = FillMessage(app_text::kRulesStreamUnreadable,
                          {PathForDisplay(path), ReasonText(ReadReason(r.status), r.osError)});
    return r.Ok();
}

namespace {
// Far more than any tree's list of paths; a larger input is no such list.
constexpr std::uint64_t kMaxFileListBytes = std::uint64_t{1} << 30;
}  // namespace

bool CAppSession::ReadFileList(const std::string& path, std::string& bytes, std::string& why) {
    const CIoResult r = ReadStreamPath(path, bytes, kMaxFileListBytes);
    if (!r.Ok())
        why = FillMessage(app_text::kFileListUnreadable,
                          {PathForDisplay(path), ReasonText(ReadReason(r.status), r.osError)});
    return r.Ok();
}

CDialogSettings CAppSession::LoadSettings() {
    m_recentFolders = LoadRecentFolders(*g_pCore);
    return LoadDialogSettings(*g_pCore);
}

void CAppSession::SaveSettings(const CDialogSettings& settings) {
    SaveDialogSettings(*g_pCore, settings);
    SaveRecentFolders(*g_pCore, m_recentFolders);
}

const char* CAppSession::OpenTarget(const std::string& path, bool folder) {
    const bool exists = folder ? g_pCore->isPathExist(path) : g_pCore->isFileExist(path);
    if (!exists)
        return folder ? app_text::kOpenNoFolder : app_text::kOpenNoFile;
    return g_pCore->openUrl(path) ? nullptr : app_text::kOpenNoHandler;
}

void CAppSession::ShowAbout() {
    g_pCore->uu(4, g_pSoft, "");
}
