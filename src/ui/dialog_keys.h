#pragma once
// The keys the dialog keeps from itself and its controls.

class QDialog;
class QEvent;
class QObject;

// True when event, sent to target in dialog, is a key the dialog swallows
// (Enter, Escape, any Alt combination) or F1, which opens the help.
bool FilterDialogKey(QDialog& dialog, QObject* target, QEvent* event);
