#include "ui/dialog_form.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

#include "app/app_texts.h"
#include "ui/dialog_ids.h"
#include "ui/progress_bar.h"
#include "ui/recent_folders.h"

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <class W>
W* Control(W* widget, ControlId id) {
    widget->setObjectName(QStringLiteral("ctl%1").arg(static_cast<int>(id)));
    return widget;
}

QPushButton* Button(ControlId id, const char* text) {
    auto* button = Control(new QPushButton(Text(text)), id);
    button->setAutoDefault(false);  // Enter never presses a button
    return button;
}

// A tooltip, which is also what assistive technology reads as the
// description; an accessible name only for an edit, whose text does not say
// what it is. Buttons and labels are named by their own text, so a screen
// reader hears the label a button shows and whatever the status and counts
// lines say now.
void Describe(QWidget* widget, const char* tip, const char* name = nullptr) {
    widget->setToolTip(Text(tip));
    widget->setAccessibleDescription(widget->toolTip());
    if (name)
        widget->setAccessibleName(Text(name));
}

}  // namespace

// The controls in template order, which is also the tab order. Sizes come
// from the font: the edits are as wide as the template's 252 dialog units.
void BuildDialogForm(QDialog& dialog, CDialogForm& f) {
    f.startStop = Button(IDC_STARTSTOP, app_text::kStart);
    f.path = Control(new QLineEdit, IDC_PATH);
    f.browse = Button(IDC_BROWSE, app_text::kBrowse);
    f.openPath = Button(IDC_OPENPATH, app_text::kOpen);
    f.suffix = Control(new QLineEdit, IDC_SUFFIX);
    f.sub = Control(new QCheckBox(Text(app_text::kIncludeSub)), IDC_SUB);
    f.renameDir = Control(new QCheckBox(Text(app_text::kRenameDirs)), IDC_RENAMEDIR);
    f.replaceRules = Button(IDC_REPLACE_RULES, app_text::kReplaceRules);
    f.renameRules = Button(IDC_RENAME_RULES, app_text::kRenameRules);
    f.about = Button(IDC_ABOUT, app_text::kAbout);
    auto* folderLabel = new QLabel(Text(app_text::kFolderLabel));
    f.status = Control(new QLabel(Text(app_text::kReady)), IDC_STATUS);
    auto* suffixLabel = new QLabel(Text(app_text::kSuffixLabel));
    auto* suffixHint = new QLabel(Text(app_text::kSuffixHint));
    f.preview = Button(IDC_PREVIEW, app_text::kPreview);
    f.results = Button(IDC_RESULTS, app_text::kResults);
    f.results->setEnabled(false);  // until a run or preview has started
    f.counts = Control(new QLabel, IDC_COUNTS);
    f.counts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // ShowCountsLine breaks the text; its own width never widens the window.
    f.counts->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    f.counts->setFixedHeight(dialog.fontMetrics().lineSpacing() * 2 +
                             f.counts->contentsMargins().top() +
                             f.counts->contentsMargins().bottom());
    f.counts->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    f.progress = MakeProgressBar();
    f.rate = MakeRateLabel();
    f.recent = new CRecentFolders(f.path);
    Describe(f.startStop, app_text::kTipStartStop);
    Describe(f.path, app_text::kTipPath, app_text::kFolderLabel);
    Describe(f.browse, app_text::kTipBrowse);
    Describe(f.openPath, app_text::kTipOpen);
    Describe(f.suffix, app_text::kTipSuffix, app_text::kSuffixLabel);
    Describe(f.sub, app_text::kTipSub);
    Describe(f.renameDir, app_text::kTipRenameDirs);
    Describe(f.replaceRules, app_text::kTipReplaceRules);
    Describe(f.renameRules, app_text::kTipRenameRules);
    Describe(f.about, app_text::kTipAbout);
    Describe(f.status, app_text::kTipStatus);
    Describe(f.preview, app_text::kTipPreview);
    Describe(f.results, app_text::kTipResults);
    Describe(f.counts, app_text::kTipCounts);

    f.path->setPlaceholderText(Text(app_text::kPathPlaceholder));
    f.suffix->setPlaceholderText(Text(app_text::kSuffixPlaceholder));
    const int dluX = dialog.fontMetrics().averageCharWidth();  // four horizontal dialog units
    f.path->setMinimumWidth(dluX * 63);
    f.suffix->setMinimumWidth(dluX * 63);
    f.status->setMinimumWidth(dluX * 40);
    for (QPushButton* b : {f.startStop, f.about, f.preview, f.results})
        b->setMinimumWidth(std::max(b->sizeHint().width(), dluX * 12));
    folderLabel->setBuddy(f.path);
    suffixLabel->setBuddy(f.suffix);

    auto* grid = new QGridLayout;
    grid->addWidget(folderLabel, 0, 0);
    auto* pathRow = new QHBoxLayout;
    pathRow->setSpacing(0);
    pathRow->addWidget(f.path, 1);
    pathRow->addWidget(f.recent);
    grid->addLayout(pathRow, 0, 1);
    grid->addWidget(f.browse, 0, 2);
    grid->addWidget(f.openPath, 0, 3);
    grid->addWidget(suffixLabel, 1, 0);
    grid->addWidget(f.suffix, 1, 1);
    grid->addWidget(suffixHint, 1, 2, 1, 2);
    grid->addWidget(f.sub, 2, 1);
    grid->addWidget(f.renameDir, 3, 1);
    grid->addLayout(f.modes.Build(), 4, 1);
    grid->setRowMinimumHeight(4, dialog.fontMetrics().height() * 3 / 2);
    auto* rulesRow = new QHBoxLayout;
    rulesRow->addWidget(f.replaceRules);
    rulesRow->addWidget(f.renameRules);
    rulesRow->addStretch();
    grid->addLayout(rulesRow, 5, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(f.status, 1);
    bottom->addWidget(f.preview);
    bottom->addWidget(f.startStop);
    bottom->addWidget(f.about);
    auto* countsRow = new QHBoxLayout;
    countsRow->addWidget(f.counts, 1);
    countsRow->addWidget(f.results);
    f.counts->setMinimumWidth(dluX * 70);

    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(f.progress, 1);
    progressRow->addWidget(f.rate);
    f.rate->setMinimumWidth(dluX * 40);  // room for the longest rate and time left

    auto* top = new QVBoxLayout(&dialog);
    top->addLayout(grid);
    top->addSpacing(dialog.fontMetrics().height() / 2);
    top->addLayout(progressRow);
    top->addSpacing(dialog.fontMetrics().height() / 2);
    top->addLayout(bottom);
    top->addLayout(countsRow);
    top->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* order[] = {
        f.startStop,   f.path,         f.recent,      f.browse,          f.openPath,
        f.suffix,      f.sub,          f.renameDir,   f.modes.matchCase, f.modes.wholeWord,
        f.modes.regex, f.replaceRules, f.renameRules, f.about,           f.preview,
        f.results};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    AcceptFolderDrops(dialog, f.path);
}

void ShowRunProgress(const CDialogForm& form, const CRunProgress& progress) {
    ShowRunProgress(form.progress, form.rate, progress);
}

void ShowRecent(const CDialogForm& form, const std::vector<std::string>& folders) {
    form.recent->SetFolders(folders);
}

void SetEnabledKeepingFocus(QPushButton* button, bool enabled) {
    QWidget* window = button->window();
    if (!enabled && window->focusWidget() == button)
        button->clearFocus();
    button->setEnabled(enabled);
    if (enabled && !window->focusWidget())
        button->setFocus();
}

void ShowCountsLine(QLabel* counts, const QString& text) {
    const QFontMetrics fm = counts->fontMetrics();
    const int width = std::max(counts->contentsRect().width(), counts->minimumWidth());
    QString shown;
    qsizetype start = 0;  // of the line being filled
    while (fm.horizontalAdvance(text.mid(start)) > width) {
        // The last phrase end at which the line still fits, else the first one.
        qsizetype cut = -1;
        for (qsizetype i = start; i < text.size() - 1; ++i) {
            if (text[i] != QChar(0xFF1B) && text[i] != QChar(0xFF0C))  // ； and ，
                continue;
            if (cut >= 0 && fm.horizontalAdvance(text.mid(start, i + 1 - start)) > width)
                break;
            cut = i + 1;
        }
        if (cut < 0)
            break;
        shown += text.mid(start, cut - start) + QLatin1Char('\n');
        start = cut;
    }
    counts->setText(shown + text.mid(start));
}
