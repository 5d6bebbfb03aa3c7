#include "ui/results_proxy.h"

#include "ui/results_model.h"

CResultsProxy::CResultsProxy(CResultsModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), m_model(model) {
    setSourceModel(&model);
}

void CResultsProxy::SetSearch(const QString& text) {
    m_search = text;
    invalidateFilter();
}

int CResultsProxy::SourceRow(int row) const {
    return mapToSource(index(row, 0)).row();
}

// Compared on the events themselves: a path's bytes need no conversion to
// text, which keeps sorting a long list fast; ties keep the walk's order.
bool CResultsProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const CRunEvent& a = m_model.Event(left.row());
    const CRunEvent& b = m_model.Event(right.row());
    switch (left.column()) {
        case CResultsModel::KindColumn:
            if (a.kind != b.kind)
                return static_cast<int>(a.kind) < static_cast<int>(b.kind);
            return a.path < b.path;
        case CResultsModel::PathColumn:
            return a.path < b.path;
        case CResultsModel::ReplacementsColumn:
            return a.replacements < b.replacements;
        default:
            return QSortFilterProxyModel::lessThan(left, right);
    }
}

bool CResultsProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return m_search.isEmpty() ||
           m_model.ShownPath(m_model.Event(sourceRow).path).contains(m_search, Qt::CaseInsensitive);
}
