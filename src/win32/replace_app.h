#pragma once
// CReplaceApp: the application object of the Windows program. InitInstance
// prepares COM (the folder picker), the common controls and the working code
// page, creates the dialog and runs its message loop until it closes.

#include <windows.h>

class CReplaceDlg;

class CReplaceApp {
  public:
    explicit CReplaceApp(HINSTANCE instance) : m_hInstance(instance) {}

    // Returns FALSE, so the program then ends.
    BOOL InitInstance();

  private:
    // The dialog's message loop: every message passes PreTranslateMessage,
    // then the dialog manager (Tab between controls), then its window.
    static void RunLoop(CReplaceDlg& dlg);

    HINSTANCE m_hInstance;
};
