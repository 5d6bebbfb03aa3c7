#include "win32/mode_boxes.h"

#include "win32/resource.h"

namespace {

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void Check(HWND dialog, int id, bool on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

CMatchModes ReadModeBoxes(HWND dialog) {
    return {!Checked(dialog, IDC_MATCHCASE), Checked(dialog, IDC_WHOLEWORD),
            Checked(dialog, IDC_REGEX)};
}

void ShowModeBoxes(HWND dialog, const CMatchModes& modes) {
    Check(dialog, IDC_MATCHCASE, !modes.ignoreCase);
    Check(dialog, IDC_WHOLEWORD, modes.wholeWord);
    Check(dialog, IDC_REGEX, modes.regex);
}
