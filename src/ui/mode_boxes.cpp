#include "ui/mode_boxes.h"

#include <QCheckBox>
#include <QHBoxLayout>

#include "app/app_texts.h"
#include "ui/dialog_ids.h"

namespace {

QCheckBox* Box(ControlId id, const char* text, const char* tip) {
    auto* box = new QCheckBox(QString::fromUtf8(text));
    box->setObjectName(QStringLiteral("ctl%1").arg(static_cast<int>(id)));
    box->setToolTip(QString::fromUtf8(tip));
    box->setAccessibleDescription(box->toolTip());
    return box;
}

}  // namespace

QLayout* CModeBoxes::Build() {
    matchCase = Box(IDC_MATCHCASE, app_text::kMatchCase, app_text::kTipMatchCase);
    wholeWord = Box(IDC_WHOLEWORD, app_text::kWholeWord, app_text::kTipWholeWord);
    regex = Box(IDC_REGEX, app_text::kRegex, app_text::kTipRegex);
    matchCase->setChecked(true);  // the literal match, as before the modes
    auto* row = new QHBoxLayout;
    for (QCheckBox* box : {matchCase, wholeWord, regex})
        row->addWidget(box);
    row->addStretch();
    return row;
}

CMatchModes CModeBoxes::Modes() const {
    return {!matchCase->isChecked(), wholeWord->isChecked(), regex->isChecked()};
}

void CModeBoxes::Show(const CMatchModes& modes) {
    matchCase->setChecked(!modes.ignoreCase);
    wholeWord->setChecked(modes.wholeWord);
    regex->setChecked(modes.regex);
}
