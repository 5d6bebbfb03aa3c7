#pragma once
// CResultsModel: the entries of the results window, one row per event of a
// run or a preview (kind, path below the chosen folder, new name or reason;
// the full path as the tooltip), filtered by kind and counted by kind. Rows
// are appended in batches at a cost that does not grow with the rows already
// there, so a list of a hundred thousand entries fills without holding up
// the dialog's thread. Dialog thread only.

#include <QAbstractTableModel>

#include <array>
#include <string>
#include <vector>

#include "app/results_list.h"
#include "app/run_kind.h"
#include "engine/run/run_state.h"

class CResultsModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { KindColumn, PathColumn, ReplacementsColumn, DetailColumn, ColumnCount };
    explicit CResultsModel(QObject* parent = nullptr);

    // Empties the list for the entries of a run, a preview (what a run
    // would do) or an undo (what was put back) on folder (ending in "/"),
    // which paths are shown relative to.
    void Reset(RunKind kind, const std::string& folder = {});
    void Append(std::vector<CRunEvent>::const_iterator first,
                std::vector<CRunEvent>::const_iterator last);
    bool IsPreview() const { return m_kind == RunKind::Preview; }
    RunKind Kind() const { return m_kind; }
    // The chosen folder the paths are shown below.
    const std::string& Folder() const { return m_folder; }
    // Shows only the events of kind (an int of RunEventKind); -1 shows all.
    void SetFilter(int kind);
    // A preview's rows of files it would rewrite carry a check box, checked
    // at first: the files a run of the preview handles. Their paths below
    // the chosen folder ("/" between names), and how many were unchecked.
    std::vector<std::string> CheckedFiles(size_t& leftOut) const;
    // The events of kind (an int of RunEventKind; -1: all) so far, filter or not.
    int CountOf(int kind) const;
    // The event shown in row.
    const CRunEvent& Event(int row) const { return m_events[m_shown[static_cast<size_t>(row)]]; }

    // What a row of the given kind is called in the list.
    QString KindLabel(RunEventKind kind) const;
    // A path as the list shows it: below the chosen folder, quoted when it
    // holds characters that would not read back.
    QString ShownPath(const std::string& path) const;
    // One row as a line of text: "已改写：path", with " -> new name" and the reason.
    QString RowText(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  private:
    bool Checkable(const CRunEvent& e) const { return IsCheckableRow(m_kind, e.kind); }
    bool Shows(const CRunEvent& e) const {
        return m_filter < 0 || static_cast<int>(e.kind) == m_filter;
    }

    std::vector<CRunEvent> m_events;
    std::vector<size_t> m_shown;    // indexes of the events that pass the filter
    std::vector<bool> m_unchecked;  // by event: a check box the user cleared
    int m_filter = -1;
    RunKind m_kind = RunKind::Run;
    std::string m_folder;
    std::array<int, kRunEventKinds> m_counts{};  // by RunEventKind
};

// A path in the working code page as the list shows it: quoted when it holds
// characters that would not read back, in UTF-8.
QString DisplayPath(const std::string& workingPath);
