#include "ui/rules_table.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/rules_editor_texts.h"
#include "app/rules_tester.h"
#include "prep/prep_messages.h"

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// A cell's text as the table shows it: a line break is ⏎.
QString Shown(const std::string& cell) {
    return Text(cell).replace(QLatin1Char('\n'), Text(app_text::kLineBreakMark));
}

std::string FromShown(QString shown) {
    return shown.replace(Text(app_text::kLineBreakMark), QStringLiteral("\n")).toStdString();
}

// The cells' editor: Shift+Enter types a line break, shown as ⏎, where
// Enter alone ends the edit.
class CCellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    bool eventFilter(QObject* editor, QEvent* event) override {
        auto* edit = qobject_cast<QLineEdit*>(editor);
        if (edit && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            if (enter && (key->modifiers() & Qt::ShiftModifier)) {
                edit->insert(Text(app_text::kLineBreakMark));
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(editor, event);
    }
};

QPushButton* Button(const char* name, const char* text) {
    auto* button = new QPushButton(Text(text));
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

CRulesTable::CRulesTable(RulesFile file, QWidget* parent) : QWidget(parent), m_doc(file) {
    BuildTable(file);
}

void CRulesTable::BuildTable(RulesFile file) {
    const bool replace = file == RulesFile::Replace;
    m_pTable = new QTableWidget(0, 2);
    m_pTable->setObjectName(QStringLiteral("rulesTable"));
    m_pTable->setAccessibleName(Text(replace ? app_text::kReplaceTab : app_text::kRenameTab));
    m_pTable->setHorizontalHeaderLabels(
        {Text(replace ? app_text::kFindHeader : app_text::kOldNameHeader),
         Text(replace ? app_text::kReplaceHeader : app_text::kNewNameHeader)});
    m_pTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->setItemDelegate(new CCellDelegate(m_pTable));
    m_pTable->setToolTip(Text(app_text::kCellTip));
    connect(m_pTable, &QTableWidget::itemChanged, this, &CRulesTable::OnItemChanged);

    auto* buttons = new QVBoxLayout;
    QPushButton* add = Button("addRow", app_text::kAddRow);
    QPushButton* remove = Button("removeRow", app_text::kRemoveRow);
    QPushButton* up = Button("moveUp", app_text::kMoveUp);
    QPushButton* down = Button("moveDown", app_text::kMoveDown);
    for (QPushButton* b : {add, remove, up, down})
        buttons->addWidget(b);
    buttons->addStretch();
    connect(add, &QPushButton::clicked, this, &CRulesTable::OnAdd);
    connect(remove, &QPushButton::clicked, this, &CRulesTable::OnRemove);
    connect(up, &QPushButton::clicked, this, [this] { OnMove(true); });
    connect(down, &QPushButton::clicked, this, [this] { OnMove(false); });

    auto* row = new QHBoxLayout;
    row->addWidget(m_pTable, 1);
    row->addLayout(buttons);
    m_pProblems = new QLabel;
    m_pProblems->setObjectName(QStringLiteral("problems"));
    m_pProblems->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addWidget(m_pProblems);
    if (!replace)
        return;
    m_pSample = new QPlainTextEdit;
    m_pSample->setObjectName(QStringLiteral("sample"));
    m_pSample->setPlaceholderText(Text(app_text::kSamplePlaceholder));
    m_pSample->setAccessibleName(Text(app_text::kSampleLabel));
    m_pResult = new QPlainTextEdit;
    m_pResult->setObjectName(QStringLiteral("result"));
    m_pResult->setReadOnly(true);
    m_pResult->setAccessibleName(Text(app_text::kResultLabel));
    for (QPlainTextEdit* edit : {m_pSample, m_pResult})
        edit->setMaximumHeight(m_pTable->fontMetrics().lineSpacing() * 5);
    layout->addWidget(new QLabel(Text(app_text::kSampleLabel)));
    layout->addWidget(m_pSample);
    layout->addWidget(new QLabel(Text(app_text::kResultLabel)));
    layout->addWidget(m_pResult);
    connect(m_pSample, &QPlainTextEdit::textChanged, this, &CRulesTable::UpdateTester);
}

void CRulesTable::Refresh() {
    const QSignalBlocker quiet(m_pTable);
    m_pTable->clearSpans();
    m_pTable->setRowCount(static_cast<int>(m_doc.RowCount()));
    for (int i = 0; i < m_pTable->rowCount(); ++i)
        SyncRow(i);
    ShowProblems();
    UpdateTester();
}

// A rule's two cells, or a kept line's note across both; an invalid row is
// marked, its reason the tooltip and what a screen reader hears of it.
void CRulesTable::SyncRow(int row) {
    const CRulesRow& r = m_doc.Row(static_cast<size_t>(row));
    const QString problem = Text(r.problem);
    for (int column = 0; column < 2; ++column) {
        QTableWidgetItem* item = m_pTable->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            m_pTable->setItem(row, column, item);
        }
        item->setText(r.bKept ? (column == 0 ? Text(r.note) : QString()) : Shown(r.cells[column]));
        Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
        if (!r.bKept)
            flags |= Qt::ItemIsEditable;
        item->setFlags(flags);
        item->setForeground(r.bKept ? m_pTable->palette().brush(QPalette::Disabled, QPalette::Text)
                                    : m_pTable->palette().brush(QPalette::Text));
        item->setBackground(problem.isEmpty() ? QBrush() : QBrush(QColor(255, 214, 214)));
        const QString tip = problem.isEmpty() && r.bKept ? Text(app_text::kKeptTip) : problem;
        item->setToolTip(tip);
        item->setData(Qt::AccessibleDescriptionRole, tip);
    }
    if (r.bKept)
        m_pTable->setSpan(row, 0, 1, 2);
}

void CRulesTable::ShowProblems() {
    const size_t invalid = m_doc.InvalidCount();
    m_pProblems->setText(
        invalid ? Text(FillMessage(app_text::kRowsInvalid,
                                   {std::to_string(invalid), m_doc.FirstProblem()}))
                : Text(FillMessage(app_text::kRowsValid, {std::to_string(m_doc.RuleCount())})));
    QPalette palette = m_pProblems->palette();
    palette.setColor(QPalette::WindowText,
                     invalid ? QColor(176, 0, 0) : palette.color(QPalette::Text));
    m_pProblems->setPalette(palette);
}

void CRulesTable::UpdateTester() {
    if (!m_pSample)
        return;
    const std::string sample = m_pSample->toPlainText().toStdString();
    m_pResult->setPlainText(
        sample.empty() ? QString() : Text(TryRules(m_doc.Rules(m_modes.regex), sample, m_modes)));
}

void CRulesTable::SetModes(const CMatchModes& modes) {
    m_modes = modes;
    UpdateTester();
}

void CRulesTable::OnItemChanged(QTableWidgetItem* item) {
    const int row = item->row();
    m_doc.SetCell(static_cast<size_t>(row), item->column(), FromShown(item->text()));
    {
        const QSignalBlocker quiet(m_pTable);
        for (int i = 0; i < m_pTable->rowCount(); ++i)
            SyncRow(i);
    }
    ShowProblems();
    UpdateTester();
    Q_EMIT changed();
}

void CRulesTable::OnAdd() {
    // After the selected row; at the end when none is selected.
    const bool selected = m_pTable->selectionModel()->hasSelection() && m_pTable->currentRow() >= 0;
    const int at = selected ? m_pTable->currentRow() + 1 : m_pTable->rowCount();
    m_doc.InsertRule(static_cast<size_t>(at));
    Changed(at);
    m_pTable->editItem(m_pTable->item(at, 0));
}

void CRulesTable::OnRemove() {
    const int row = m_pTable->currentRow();
    if (row < 0)
        return;
    m_doc.RemoveRow(static_cast<size_t>(row));
    Changed(std::min(row, m_pTable->rowCount() - 2));
}

void CRulesTable::OnMove(bool up) {
    const int row = m_pTable->currentRow();
    if (row >= 0 && m_doc.MoveRow(static_cast<size_t>(row), up))
        Changed(up ? row - 1 : row + 1);
}

void CRulesTable::Changed(int selectRow) {
    Refresh();
    if (selectRow >= 0)
        m_pTable->setCurrentCell(selectRow, 0);
    Q_EMIT changed();
}
