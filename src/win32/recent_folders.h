#pragma once
// The button beside 所在目录 and its menu of the folders used last, newest
// first: a pick fills the folder edit. A folder dropped on the dialog from
// the shell (WM_DROPFILES) fills the edit too. Dialog thread only.

#include <windows.h>
// After windows.h, whose macros it needs.
#include <shellapi.h>

#include <string>
#include <vector>

class CRecentFolders {
  public:
    // Draws the button as a drop-down arrow (its text stays its name for
    // assistive technology) and lets dialog take dropped folders.
    explicit CRecentFolders(HWND dialog);
    ~CRecentFolders();
    CRecentFolders(const CRecentFolders&) = delete;
    CRecentFolders& operator=(const CRecentFolders&) = delete;

    // folders as path text (the run's spelling), newest first; the button
    // is disabled while there are none.
    void SetFolders(const std::vector<std::string>& folders);
    // The menu under the button; the folder picked goes into the edit.
    void ShowMenu();
    // The one folder dropped fills the edit; files, several items and
    // anything else are refused. Releases drop.
    void TakeDrop(HDROP drop);

  private:
    HWND m_hDialog;
    HBITMAP m_hArrow = nullptr;
    std::vector<std::wstring> m_folders;
};
