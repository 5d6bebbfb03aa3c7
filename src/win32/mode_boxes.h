#pragma once
// The three check boxes of the match modes in dialog template 102
// (区分大小写, 全字匹配, 正则表达式) and the modes they stand for,
// nothing else.

#include <windows.h>

#include "engine/run/job.h"

CMatchModes ReadModeBoxes(HWND dialog);
void ShowModeBoxes(HWND dialog, const CMatchModes& modes);
