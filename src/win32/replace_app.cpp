#include "win32/replace_app.h"

#include <commctrl.h>
#include <objbase.h>

#include "platform/code_page.h"
#include "win32/replace_dlg.h"

BOOL CReplaceApp::InitInstance() {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CCodePage::Working();  // the system's ANSI code page, fixed before any run
    {
        CReplaceDlg dlg;
        if (dlg.Create(m_hInstance)) {
            ShowWindow(dlg.Handle(), SW_SHOW);
            RunLoop(dlg);
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return FALSE;
}

void CReplaceApp::RunLoop(CReplaceDlg& dlg) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (dlg.PreTranslateMessage(&msg))
            continue;
        if (dlg.Handle() && IsDialogMessageW(dlg.Handle(), &msg))
            continue;
        // The results and help windows take Tab and Escape as a dialog does.
        const HWND top = GetAncestor(msg.hwnd, GA_ROOT);
        if (top && top != dlg.Handle() && IsDialogMessageW(top, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
