#pragma once
// The Korvane dialog's controls, as dialog template 102 has them: their ids
// (objectName "ctl<id>"), texts, tooltips, accessible names, sizes from the
// font, layout and tab order. The dialog connects them.

#include <string>
#include <vector>

#include "ui/mode_boxes.h"

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QString;
class CRecentFolders;
struct CRunProgress;

struct CDialogForm {
    QPushButton* startStop = nullptr;
    QLineEdit* path = nullptr;
    QPushButton* browse = nullptr;
    QPushButton* openPath = nullptr;
    QLineEdit* suffix = nullptr;
    QCheckBox* sub = nullptr;
    QCheckBox* renameDir = nullptr;
    QPushButton* replaceRules = nullptr;
    QPushButton* renameRules = nullptr;
    QPushButton* about = nullptr;
    QLabel* status = nullptr;
    QPushButton* preview = nullptr;
    QPushButton* results = nullptr;
    QLabel* counts = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* rate = nullptr;
    CRecentFolders* recent = nullptr;
    CModeBoxes modes;  // between the switches and the rules buttons
};

// Makes the controls as children of dialog, laid out, into form; a folder
// dropped on the dialog fills the folder edit.
void BuildDialogForm(QDialog& dialog, CDialogForm& form);

// Progress on the bar and the rate beside it; hidden once inactive.
void ShowRunProgress(const CDialogForm& form, const CRunProgress& progress);
// The folders used last (working code page, newest first) in the drop-down.
void ShowRecent(const CDialogForm& form, const std::vector<std::string>& folders);

// Shows text on the counts line, broken into lines only after a "；" or a
// "，", never inside a phrase. The line is two lines high from the start, so
// a longer text (after 停止) does not make the fixed-size window grow.
void ShowCountsLine(QLabel* counts, const QString& text);

// Enables or disables button without passing its focus on: disabling a
// focused button would hand the focus to the next control (the folder edit,
// its text selected, where a stray key replaces the path). Instead the
// window keeps no focus until the button is enabled again and takes it back.
void SetEnabledKeepingFocus(QPushButton* button, bool enabled);
