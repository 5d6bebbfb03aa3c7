#include "ui/results_proxy.h"

#include "app/results_list.h"
#include "ui/results_model.h"

CResultsProxy::CResultsProxy(CResultsModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), m_model(model) {
    setSourceModel(&model);
}

void CResultsProxy::SetSearch(const QString& text) {
    m_search = text.toStdString();
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
    if (left.column() == CResultsModel::DetailColumn)
        return QSortFilterProxyModel::lessThan(left, right);
    return ResultLess(static_cast<ResultColumn>(left.column()), a, b);
}

bool CResultsProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return m_search.empty() ||
           HoldsText(ShownResultPath(m_model.Folder(), m_model.Event(sourceRow).path), m_search);
}
