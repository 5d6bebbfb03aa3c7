#include "ui/results_model.h"

#include "app/app_texts.h"
#include "app/results_list.h"
#include "engine/report/run_summary.h"

QString DisplayPath(const std::string& workingPath) {
    return QString::fromStdString(NameForDisplay(workingPath));
}

CResultsModel::CResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void CResultsModel::Reset(RunKind kind) {
    beginResetModel();
    m_events.clear();
    m_events.shrink_to_fit();
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
        if (Shows(*it))
            shown.push_back(m_events.size() + static_cast<size_t>(it - first));
    }
    m_events.insert(m_events.end(), first, last);
    if (shown.empty())
        return;
    const int row = static_cast<int>(m_shown.size());
    beginInsertRows({}, row, row + static_cast<int>(shown.size()) - 1);
    m_shown.insert(m_shown.end(), shown.begin(), shown.end());
    endInsertRows();
}

QString CResultsModel::KindLabel(RunEventKind kind) const {
    return QString::fromUtf8(ResultKindLabel(m_kind, kind));
}

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
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
        case KindColumn:
            return KindLabel(e.kind);
        case PathColumn:
            return DisplayPath(e.path);
        case DetailColumn:
            return QString::fromStdString(ResultDetailText(e));
        default:
            return {};
    }
}

QVariant CResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const char* titles[] = {app_text::kColumnKind, app_text::kColumnPath, app_text::kColumnDetail};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}
