#pragma once
// The Korvane dialog's controls, as dialog template 102 has them: their ids
// (objectName "ctl<id>"), texts, tooltips, accessible names, sizes from the
// font, layout and tab order. The dialog connects them.

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;

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
};

// Makes the controls as children of dialog, laid out, into form.
void BuildDialogForm(QDialog& dialog, CDialogForm& form);
