#pragma once
// CResultsModel: the entries of the results window, one row per event of a
// run or a preview (kind, path, new name or reason). Rows are appended in
// batches, so a list of a hundred thousand entries fills without holding
// up the dialog's thread. Dialog thread only.

#include <QAbstractTableModel>

#include <string>
#include <vector>

#include "engine/run_state.h"

class CResultsModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { KindColumn, PathColumn, DetailColumn, ColumnCount };
    // The event's kind as an int, for filtering.
    static constexpr int KindRole = Qt::UserRole + 1;

    explicit CResultsModel(QObject* parent = nullptr);

    // Empties the list; preview: the entries are what a run would do.
    void Reset(bool preview);
    void Append(std::vector<CRunEvent>::const_iterator first,
                std::vector<CRunEvent>::const_iterator last);
    bool IsPreview() const { return m_bPreview; }
    const CRunEvent& Event(int row) const { return m_events[static_cast<size_t>(row)]; }

    // What a row of the given kind is called in the list.
    QString KindLabel(RunEventKind kind) const;
    // One row as a line of text: "已改写：path", with " -> new name" and the reason.
    QString RowText(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<CRunEvent> m_events;
    bool m_bPreview = false;
};

// A path in the working code page as the list shows it: quoted when it holds
// characters that would not read back, in UTF-8.
QString DisplayPath(const std::string& workingPath);
