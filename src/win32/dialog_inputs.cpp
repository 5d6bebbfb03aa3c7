#include "win32/dialog_inputs.h"

#include "win32/dialog_window.h"
#include "win32/mode_boxes.h"
#include "win32/resource.h"
#include "win32/wide_text.h"

CDialogSettings ReadInputs(HWND dialog) {
    CDialogSettings in;
    if (!ToEnginePath(DialogItemText(dialog, IDC_PATH), in.folder))
        in.folder.clear();
    if (!ToWorking(DialogItemText(dialog, IDC_SUFFIX), in.suffixes))
        in.suffixes.clear();
    in.includeSubfolders = IsDlgButtonChecked(dialog, IDC_SUB) == BST_CHECKED;
    in.renameFolders = IsDlgButtonChecked(dialog, IDC_RENAMEDIR) == BST_CHECKED;
    in.modes = ReadModeBoxes(dialog);
    return in;
}

CDialogSettings ReadInputsToSave(HWND dialog) {
    CDialogSettings in = ReadInputs(dialog);
    in.folder = Narrow(DialogItemText(dialog, IDC_PATH));
    in.suffixes = Narrow(DialogItemText(dialog, IDC_SUFFIX));
    return in;
}

void WriteInputs(HWND dialog, const CDialogSettings& settings) {
    SetDlgItemTextW(dialog, IDC_PATH, Widen(settings.folder).c_str());
    SetDlgItemTextW(dialog, IDC_SUFFIX, Widen(settings.suffixes).c_str());
    CheckDlgButton(dialog, IDC_SUB, settings.includeSubfolders ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_RENAMEDIR, settings.renameFolders ? BST_CHECKED : BST_UNCHECKED);
    ShowModeBoxes(dialog, settings.modes);
}

void FocusInputControl(HWND dialog, JobInput input) {
    if (input == JobInput::Folder || input == JobInput::Suffix)
        SetFocus(GetDlgItem(dialog, input == JobInput::Folder ? IDC_PATH : IDC_SUFFIX));
}

void ShowRunButtons(HWND dialog, RunState state) {
    const HWND button = GetDlgItem(dialog, IDC_STARTSTOP);
    SetWindowTextW(button, Widen(StartStopCaption(state)).c_str());
    EnableWindow(button, state != RunState::Stopping);
    EnableWindow(GetDlgItem(dialog, IDC_PREVIEW), state == RunState::Idle);
}
