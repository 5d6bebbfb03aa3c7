// The Windows program's entry point: the application object runs the dialog.

#include <windows.h>

#include "win32/replace_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    CReplaceApp app(instance);
    return app.InitInstance();
}
