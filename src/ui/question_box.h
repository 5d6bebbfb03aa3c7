#pragma once
// A question with three answers, 是 / 否 / 取消, as a modal box of owner.

#include <QString>

#include "app/run_view.h"

class QWidget;

// 取消 is the default and what Escape and the close box answer.
Answer AskYesNoCancel(QWidget* owner, const QString& text);
