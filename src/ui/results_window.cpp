#include "ui/results_window.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QSplitter>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

#include "app/app_texts.h"
#include "app/results_list.h"
#include "engine/report/file_diff.h"
#include "ui/file_diff.h"
#include "ui/results_model.h"
#include "ui/results_proxy.h"
#include "ui/working_text.h"

namespace {

// Rows appended per turn of the event loop: a batch takes a few
// milliseconds, so the dialog stays responsive however long the list is
// (each batch is sorted into the rows already shown).
constexpr size_t kBatchRows = 1000;

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The tooltip is the accessible description: buttons and the counts line are
// named by their own text, so a screen reader hears what they show.
template <class W>
W* Named(W* widget, const char* name, const char* tip) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setToolTip(Text(tip));
    widget->setAccessibleDescription(widget->toolTip());
    return widget;
}

// The list and the differences show no text that names them.
template <class W>
W* NamedByTip(W* widget, const char* name, const char* tip) {
    Named(widget, name, tip)->setAccessibleName(widget->toolTip());
    return widget;
}

// A top-level QWidget is a plain client area to assistive technology; this
// one is a window of its own, reached from the dialog.
QAccessibleInterface* ResultsWindowAccessible(const QString& key, QObject* object) {
    if (key == QLatin1String("CResultsWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

}  // namespace

CResultsWindow::CResultsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    static const bool kAccessibleInstalled =
        (QAccessible::installFactory(ResultsWindowAccessible), true);
    (void)kAccessibleInstalled;
    setWindowTitle(Text(app_text::kResultsTitle));
    m_pModel = new CResultsModel(this);
    m_pProxy = new CResultsProxy(*m_pModel, this);
    m_pFeeder = new QTimer(this);
    m_pFeeder->setInterval(0);
    connect(m_pFeeder, &QTimer::timeout, this, &CResultsWindow::AppendBatch);
    BuildControls();
}

CResultsWindow::~CResultsWindow() = default;

void CResultsWindow::BuildControls() {
    m_pCounts = Named(new QLabel, "counts", app_text::kTipResultsCounts);
    m_pCounts->setWordWrap(true);
    m_pCounts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pFilter = Named(new QComboBox, "filter", app_text::kTipResultsFilter);
    auto* filterLabel = new QLabel(Text(app_text::kFilterLabel));
    filterLabel->setBuddy(m_pFilter);
    m_pSearch = Named(new QLineEdit, "search", app_text::kTipSearch);
    m_pSearch->setAccessibleName(Text(app_text::kSearchName));
    m_pSearch->setPlaceholderText(Text(app_text::kSearchPlaceholder));
    m_pSearch->setClearButtonEnabled(true);
    m_pList = NamedByTip(new QTreeView, "list", app_text::kTipResultsList);
    m_pList->setModel(m_pProxy);
    m_pList->setSortingEnabled(true);
    m_pList->sortByColumn(CResultsModel::PathColumn, Qt::AscendingOrder);
    // A long path keeps its file name and its top folder in sight.
    m_pList->setTextElideMode(Qt::ElideMiddle);
    m_pList->setRootIsDecorated(false);
    m_pList->setUniformRowHeights(true);  // long lists lay out without measuring every row
    m_pList->setAlternatingRowColors(true);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setContextMenuPolicy(Qt::CustomContextMenu);
    // Fixed widths: sizing a column to its contents measures every row on
    // each batch, which would make a long list slower to fill the longer it gets.
    m_pList->header()->resizeSection(
        CResultsModel::KindColumn,
        fontMetrics().horizontalAdvance(Text(app_text::kKindFolderSkipped)) +
            fontMetrics().averageCharWidth() * 3);
    m_pList->header()->resizeSection(CResultsModel::PathColumn,
                                     fontMetrics().averageCharWidth() * 60);
    m_pDiff = NamedByTip(new QTextEdit, "diff", app_text::kTipResultsDiff);
    m_pDiff->setReadOnly(true);
    m_pDiff->setLineWrapMode(QTextEdit::NoWrap);
    m_pDiff->setPlaceholderText(Text(app_text::kDiffHint));
    m_pDiff->hide();
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(m_pList);
    split->addWidget(m_pDiff);
    auto* copy = Named(new QPushButton(Text(app_text::kCopyList)), "copy", app_text::kTipCopyList);
    auto* save = Named(new QPushButton(Text(app_text::kSaveList)), "save", app_text::kTipSaveList);
    auto* close =
        Named(new QPushButton(Text(app_text::kClose)), "close", app_text::kTipCloseResults);
    m_pUndo = Named(new QPushButton(Text(app_text::kUndo)), "undo", app_text::kTipUndo);
    m_pUndo->hide();
    m_pRun = Named(new QPushButton(Text(app_text::kRun)), "run", app_text::kTipRunPreviewed);
    m_pRun->hide();

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_pFilter);
    filterRow->addWidget(m_pSearch, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(m_pUndo);
    buttons->addWidget(m_pRun);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pCounts);
    layout->addLayout(filterRow);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    // A new filter leaves no row selected: the differences of a file that may
    // no longer be listed go with it.
    connect(m_pFilter, &QComboBox::currentIndexChanged, this, [this] {
        m_pModel->SetFilter(m_pFilter->currentData().toInt());
        OnCurrentChanged();
    });
    connect(m_pSearch, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_pProxy->SetSearch(text);
        OnCurrentChanged();
    });
    connect(m_pList, &QWidget::customContextMenuRequested, this, &CResultsWindow::ShowContextMenu);
    connect(m_pList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &CResultsWindow::OnCurrentChanged);
    connect(copy, &QPushButton::clicked, this, &CResultsWindow::OnCopy);
    connect(save, &QPushButton::clicked, this, &CResultsWindow::OnSave);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_pUndo, &QPushButton::clicked, this, &CResultsWindow::undoRequested);
    connect(m_pRun, &QPushButton::clicked, this, [this] {
        CPreviewedRun run{m_job, {}, 0};
        run.files = m_pModel->CheckedFiles(run.leftOut);
        Q_EMIT runRequested(run);
    });
    FillFilter();
}

void CResultsWindow::FillFilter() {
    const QSignalBlocker block(m_pFilter);
    m_pFilter->clear();
    m_pFilter->addItem(Text(app_text::kKindAll), -1);
    for (RunEventKind kind : {RunEventKind::Rewritten, RunEventKind::Renamed, RunEventKind::Skipped,
                              RunEventKind::WriteFailed, RunEventKind::RenameFailed,
                              RunEventKind::FolderSkipped, RunEventKind::Binary})
        m_pFilter->addItem(m_pModel->KindLabel(kind), static_cast<int>(kind));
    CountFilterEntries();
}

void CResultsWindow::CountFilterEntries() {
    for (int i = 0; i < m_pFilter->count(); ++i) {
        const int kind = m_pFilter->itemData(i).toInt();
        m_pFilter->setItemText(
            i, QString::fromStdString(ResultFilterEntry(
                   m_pModel->Kind(), kind, static_cast<size_t>(m_pModel->CountOf(kind)))));
    }
}

const CRunEvent& CResultsWindow::ShownEvent(int row) const {
    return m_pModel->Event(m_pProxy->SourceRow(row));
}

void CResultsWindow::Begin(RunKind kind, const CJob& job) {
    const bool preview = kind == RunKind::Preview;
    m_pFeeder->stop();
    m_pending.clear();
    m_pendingAt = 0;
    m_job = job;
    m_pModel->Reset(kind, job.folder);
    m_pUndo->hide();
    m_pRun->hide();
    m_pSearch->clear();
    FillFilter();
    m_bCountsFinal = false;
    // The counts line keeps its height while the run goes on, so the list
    // above it does not jump when the counts arrive.
    m_pCounts->setText(Text(preview                 ? app_text::kPreviewing
                            : kind == RunKind::Undo ? app_text::kUndoing
                                                    : app_text::kRunning) +
                       QStringLiteral("..."));
    m_pDiff->clear();
    m_pDiff->setVisible(preview);
}

void CResultsWindow::Feed(std::vector<CRunEvent> events) {
    if (m_pendingAt == m_pending.size()) {
        m_pending = std::move(events);
        m_pendingAt = 0;
    } else {
        m_pending.insert(m_pending.end(), std::make_move_iterator(events.begin()),
                         std::make_move_iterator(events.end()));
    }
    if (Pending() > 0)
        m_pFeeder->start();
}

void CResultsWindow::AppendBatch() {
    const size_t n = std::min(kBatchRows, Pending());
    const auto first = m_pending.cbegin() + static_cast<std::ptrdiff_t>(m_pendingAt);
    m_pModel->Append(first, first + static_cast<std::ptrdiff_t>(n));
    m_pendingAt += n;
    CountFilterEntries();
    if (Pending() == 0) {
        m_pFeeder->stop();
        m_pending.clear();
        m_pending.shrink_to_fit();
        m_pendingAt = 0;
    }
}

void CResultsWindow::Finish(const QString& counts) {
    m_pCounts->setText(counts);
    m_bCountsFinal = true;
}

void CResultsWindow::SetUndoOffered(bool offered) {
    m_pUndo->setVisible(offered);
}

void CResultsWindow::SetRunOffered(bool offered) {
    m_pRun->setVisible(offered);
}

void CResultsWindow::ShowOnTop() {
    if (!isVisible()) {
        const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
        const QRect area = screen->availableGeometry();
        const QFontMetrics fm = fontMetrics();
        resize(std::min(fm.averageCharWidth() * 120, area.width() * 9 / 10),
               std::min(fm.height() * 36, area.height() * 9 / 10));
        move(area.center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}

QString CResultsWindow::ListText() const {
    // The counts head the list once the run has given them.
    QString text = m_bCountsFinal ? m_pCounts->text() + QLatin1Char('\n') : QString();
    for (int row = 0; row < m_pProxy->rowCount(); ++row)
        text += m_pModel->RowText(m_pProxy->SourceRow(row)) + QLatin1Char('\n');
    return text;
}

void CResultsWindow::ShowContextMenu(const QPoint& at) {
    const QModelIndex index = m_pList->indexAt(at);
    if (!index.isValid())
        return;
    const CRunEvent event = ShownEvent(index.row());
    // A folder renamed for real now goes by its new name.
    const bool renamed = event.kind == RunEventKind::Renamed && !m_pModel->IsPreview();
    const std::string path = renamed ? event.newPath : event.path;
    QMenu menu(this);
    if (IsFileEvent(event.kind)) {
        connect(menu.addAction(Text(app_text::kOpenFile)), &QAction::triggered, this,
                [this, path] { Q_EMIT openRequested(path, false); });
    }
    connect(menu.addAction(Text(app_text::kOpenFolder)), &QAction::triggered, this,
            [this, path] { Q_EMIT openRequested(ParentFolderOf(path), true); });
    menu.exec(m_pList->viewport()->mapToGlobal(at));
}

void CResultsWindow::OnCopy() {
    QApplication::clipboard()->setText(ListText());
}

// The list is offered a name in the folder it is about; a name typed
// without a suffix gets .txt, as the filter says.
void CResultsWindow::OnSave() {
    const QDir folder(m_job.folder.empty() ? QDir::homePath() : FromWorking(m_job.folder));
    const QString suggested = folder.filePath(Text(app_text::kSaveListName));
    QString path = m_pickSaveFile
                       ? m_pickSaveFile(this, suggested)
                       : QFileDialog::getSaveFileName(this, Text(app_text::kSaveListTitle),
                                                      suggested, Text(app_text::kSaveListFilter));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    QSaveFile file(path);
    const QByteArray bytes = ListText().toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        Q_EMIT warningRequested(Text(app_text::kSaveFailed).arg(path));
}

// After a preview, the selected file's differences, worked out again now
// from the file as it is.
void CResultsWindow::OnCurrentChanged() {
    const QModelIndex index = m_pList->currentIndex();
    if (!m_pModel->IsPreview())
        return;
    m_pDiff->clear();
    if (!index.isValid() || ShownEvent(index.row()).kind != RunEventKind::Rewritten)
        return;
    std::vector<CDiffHunk> hunks;
    std::string why;
    if (!DiffOfFile(m_job, ShownEvent(index.row()).path, kMaxDiffBytes, hunks, why))
        m_pDiff->setPlainText(Text(app_text::kDiffUnavailable).arg(QString::fromStdString(why)));
    else if (hunks.empty())
        m_pDiff->setPlainText(Text(app_text::kDiffNone));
    else
        ShowDiff(m_pDiff, hunks);
}
