#include "ui/results_model.h"

#include "app/app_texts.h"
#include "app/results_list.h"
#include "engine/report/run_summary.h"

QString DisplayPath(const std::string& workingPath) {
    return QString::fromStdString(NameForDisplay(workingPath));
}

CResultsModel::CResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void CResultsModel::Reset(RunKind kind, const std::string& folder) {
    beginResetModel();
    m_folder = folder;
    m_counts.fill(0);
    m_events.clear();
    m_events.shrink_to_fit();
    m_unchecked.clear();
    m_unchecked.shrink_to_fit();
    m_shown.clear();
    m_shown.shrink_to_fit();
    m_filter = -1;
    m_kind = kind;
    endResetModel();
}

void CResultsModel::SetFilter(int kind) {
    beginResetModel();
    m_filter = kind;
    m_shown.clear();
    for (size_t i = 0; i < m_events.size(); ++i) {
        if (Shows(m_events[i]))
            m_shown.push_back(i);
    }
    endResetModel();
}

void CResultsModel::Append(std::vector<CRunEvent>::const_iterator first,
                           std::vector<CRunEvent>::const_iterator last) {
    std::vector<size_t> shown;
    for (auto it = first; it != last; ++it) {
        ++m_counts[static_cast<size_t>(it->kind)];
        if (Shows(*it))
            shown.push_back(m_events.size() + static_cast<size_t>(it - first));
    }
    m_events.insert(m_events.end(), first, last);
    m_unchecked.resize(m_events.size());
    if (shown.empty())
        return;
    const int row = static_cast<int>(m_shown.size());
    beginInsertRows({}, row, row + static_cast<int>(shown.size()) - 1);
    m_shown.insert(m_shown.end(), shown.begin(), shown.end());
    endInsertRows();
}

int CResultsModel::CountOf(int kind) const {
    if (kind >= 0)
        return m_counts[static_cast<size_t>(kind)];
    return static_cast<int>(m_events.size());
}

std::vector<std::string> CResultsModel::CheckedFiles(size_t& leftOut) const {
    return KeptFiles(m_kind, m_events, m_unchecked, m_folder, leftOut);
}

QString CResultsModel::ShownPath(const std::string& path) const {
    return QString::fromStdString(ShownResultPath(m_folder, path));
}

QString CResultsModel::KindLabel(RunEventKind kind) const {
    return QString::fromUtf8(ResultKindLabel(m_kind, kind));
}

namespace {

// newPath: the new name as it is shown.
QString Detail(const CRunEvent& e, const QString& newPath) {
    QString detail;
    if (!e.newPath.empty())
        detail = QStringLiteral("-> ") + newPath;
    if (!e.reason.empty())
        detail +=
            (detail.isEmpty() ? QString() : QStringLiteral(" ")) + QString::fromStdString(e.reason);
    return detail;
}

}  // namespace

QString CResultsModel::RowText(int row) const {
    return QString::fromStdString(ResultRowText(m_kind, Event(row)));
}

int CResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int CResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const CRunEvent& e = Event(index.row());
    if (role == Qt::CheckStateRole && index.column() == KindColumn && Checkable(e))
        return m_unchecked[m_shown[static_cast<size_t>(index.row())]] ? Qt::Unchecked : Qt::Checked;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const bool tip = role == Qt::ToolTipRole;
    switch (index.column()) {
        case KindColumn:
            return KindLabel(e.kind);
        case PathColumn:
            return tip ? DisplayPath(e.path) : ShownPath(e.path);
        case ReplacementsColumn:
            return e.replacements > 0 ? QVariant(e.replacements) : QVariant();
        case DetailColumn:
            return Detail(e, tip ? DisplayPath(e.newPath) : ShownPath(e.newPath));
        default:
            return {};
    }
}

QVariant CResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const char* titles[] = {app_text::kColumnKind, app_text::kColumnPath,
                            app_text::kColumnReplacements, app_text::kColumnDetail};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

Qt::ItemFlags CResultsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == KindColumn && Checkable(Event(index.row())))
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool CResultsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsUserCheckable))
        return false;
    m_unchecked[m_shown[static_cast<size_t>(index.row())]] =
        value.value<Qt::CheckState>() == Qt::Unchecked;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}
