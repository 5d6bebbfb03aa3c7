#pragma once
// CResultsProxy: the results list as the user orders and searches it. Rows
// sort by the column clicked (by path, as the bytes of the name go, by
// default) and a search text keeps only the rows whose shown path holds it,
// ignoring the case of ASCII letters. Dialog thread only.

#include <QSortFilterProxyModel>

#include <string>

class CResultsModel;

class CResultsProxy : public QSortFilterProxyModel {
    Q_OBJECT

  public:
    CResultsProxy(CResultsModel& model, QObject* parent);

    // Shows only the rows whose path holds text; empty shows all.
    void SetSearch(const QString& text);
    // The source model's row of a row shown here.
    int SourceRow(int row) const;

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    CResultsModel& m_model;
    std::string m_search;  // UTF-8
};
