#include "app/run_view.h"

#include "service/core.h"
#include "service/dialog_host.h"

bool CRunView::Confirm(const std::string& text) {
    return g_pCore->msgboxConfirm(Owner(), text) == CDialogHost::kYes;
}

void CRunView::Warn(const std::string& text) {
    g_pCore->msgboxWarning(Owner(), text);
}
