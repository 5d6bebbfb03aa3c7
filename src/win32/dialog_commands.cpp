// The dialog's remaining commands: the folder picker, opening the folder and
// the two rules files, About and help.

#include <shobjidl.h>

#include "app/app_session.h"
#include "app/app_texts.h"
#include "app/help_text.h"
#include "prep/prep_messages.h"
#include "win32/help_plain.h"
#include "win32/ini_settings_store.h"
#include "win32/replace_dlg.h"
#include "win32/resource.h"
#include "win32/wide_text.h"
#include "win32/win32_texts.h"

namespace {

// The shell's folder picker, opened on initial when that names a folder.
// Empty when cancelled or when the picker cannot be had.
std::wstring PickFolder(HWND owner, const std::wstring& title, const std::wstring& initial) {
    IFileOpenDialog* picker = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&picker))))
        return {};
    std::wstring chosen;
    DWORD options = 0;
    picker->GetOptions(&options);
    picker->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    picker->SetTitle(title.c_str());
    IShellItem* start = nullptr;
    if (!initial.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(initial.c_str(), nullptr, IID_PPV_ARGS(&start)))) {
        picker->SetFolder(start);
        start->Release();
    }
    IShellItem* result = nullptr;
    if (SUCCEEDED(picker->Show(owner)) && SUCCEEDED(picker->GetResult(&result))) {
        wchar_t* path = nullptr;
        if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            chosen = path;
            CoTaskMemFree(path);
        }
        result->Release();
    }
    picker->Release();
    return chosen;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Fills %1, %2 and %3 in one pass, so a path that holds "%2" stays as it is.
std::string FillPlaces(std::string_view text, const std::string (&values)[3]) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '3') {
            out += values[text[i + 1] - '1'];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

void CReplaceDlg::OnBrowsePath() {
    BrowseFolder(IDC_PATH);
}

// Opens the picker on the folder typed in the control when it exists. The
// chosen folder replaces the text as the picker gives it (a start adds the
// separator); cancelling leaves the text as it was.
void CReplaceDlg::BrowseFolder(int controlId) {
    const std::wstring typed = ControlText(controlId);
    const std::wstring chosen = PickFolder(m_hWnd, Widen(app_text::kPickFolderTitle),
                                           IsFolder(typed) ? typed : std::wstring());
    if (!chosen.empty())
        SetControlText(controlId, chosen);
}

void CReplaceDlg::OnOpenPath() {
    OpenTarget(Inputs().folder, true);
}

void CReplaceDlg::OnOpenReplaceRules() {
    OpenTarget(m_pSession->ReplaceRulesPath(), false);
}

void CReplaceDlg::OnOpenRenameRules() {
    OpenTarget(m_pSession->RenameRulesPath(), false);
}

// What is not there is never handed to the shell; what the shell could not
// open, its host has said why already, with the system's words.
void CReplaceDlg::OpenTarget(const std::string& path, bool folder) {
    const char* why = m_pSession->OpenTarget(path, folder);
    if (why && why != app_text::kOpenNoHandler)
        Warn(FillMessage(win32_text::kOpenFailed, {Narrow(FromEnginePath(path)), why}));
}

void CReplaceDlg::OnAbout() {
    m_pSession->ShowAbout();
}

// The help text both dialogs show, naming where this program keeps its files.
void CReplaceDlg::OnHelp() {
    const std::string places[3] = {Narrow(FromEnginePath(m_pSession->ReplaceRulesPath())),
                                   Narrow(FromEnginePath(m_pSession->RenameRulesPath())),
                                   Narrow(m_pStore->FilePath())};
    const std::string text = FillPlaces(HtmlToPlain(kHelpHtml), places);
    MessageBoxW(m_hWnd, Widen(text).c_str(), Widen(win32_text::kHelpCaption).c_str(),
                MB_OK | MB_ICONINFORMATION);
}
