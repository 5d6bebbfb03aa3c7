#pragma once
// CModeBoxes: the three check boxes of the match modes (区分大小写, 全字匹配,
// 正则表达式) in a row of the dialog, with their ids (objectName "ctl<id>"),
// tooltips and the modes they stand for.

#include "engine/run/job.h"

class QCheckBox;
class QLayout;

class CModeBoxes {
  public:
    // Makes the boxes (parentless until the layout is set on a widget) and
    // the row that holds them.
    QLayout* Build();

    CMatchModes Modes() const;
    void Show(const CMatchModes& modes);

    QCheckBox* matchCase = nullptr;
    QCheckBox* wholeWord = nullptr;
    QCheckBox* regex = nullptr;
};
