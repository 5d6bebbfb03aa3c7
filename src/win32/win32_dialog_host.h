#pragma once
// CWin32DialogHost: the service class's message boxes, shell opening and
// About presentation on Win32. Owners are the dialog's HWND. Dialog thread only.

#include <windows.h>

#include "service/dialog_host.h"

class CWin32DialogHost : public CDialogHost {
  public:
    // The window that owns boxes opened without one (shell failures).
    void SetOwner(HWND owner) { m_hOwner = owner; }

    void Warning(void* owner, const std::string& text) override;
    int Confirm(void* owner, const std::string& text) override;
    // Opens a folder or file with its associated program. A failure shows a
    // warning that names the path and the system's reason.
    bool OpenUrl(const std::string& target) override;
    std::string About(int operation, const tagSoft* soft, const std::string& text) override;

  private:
    HWND m_hOwner = nullptr;
};

// The system's text for an error code, without the trailing line break.
std::wstring SystemMessage(DWORD error);
