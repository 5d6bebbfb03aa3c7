#pragma once
// The warning of an open command that failed: it names the path and why,
// and its 复制路径 button puts the path on the clipboard.

#include <QString>

class QWidget;

// Modal over owner; returns when the box is answered.
void ShowOpenFailure(QWidget* owner, const QString& path, const QString& why);
