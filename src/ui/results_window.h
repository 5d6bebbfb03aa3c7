#pragma once
// CResultsWindow ("结果 - Korvane"): what the last run or preview did, one
// row per rewritten file, renamed folder, skipped or failed file and rename
// with its reason; the counts on top, a filter by kind with how many of each,
// a search by path, columns that sort on a click (by path at first), a
// context menu that opens a file or its folder, and the list copied or
// saved as text. After a
// preview, the selected file's differences show below the list, each file
// it would rewrite has a check box and 执行 runs the preview on the files
// kept; after a real run, a button offers to undo it.
//
// Modeless; the dialog keeps one and reuses it. Events are queued and
// appended in batches from the event loop, so a long list never holds up
// the dialog. Dialog thread only.

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "app/previewed_run.h"
#include "app/run_kind.h"
#include "engine/report/file_diff.h"
#include "engine/run/run_state.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QTimer;
class QTreeView;
class CResultsModel;
class CResultsProxy;

class CResultsWindow : public QWidget {
    Q_OBJECT

  public:
    explicit CResultsWindow(QWidget* parent);
    ~CResultsWindow() override;

    // A new run, preview or undo: the list empties and undo is no longer
    // offered; job is kept for the differences.
    void Begin(RunKind kind, const CJob& job);
    // Events as they arrive; they reach the list in batches.
    void Feed(std::vector<CRunEvent> events);
    // The run's counts line, shown on top.
    void Finish(const QString& counts);
    // Whether 撤销本次执行 is offered: the list is a real run's that can be undone.
    void SetUndoOffered(bool offered);
    // Whether 执行 is offered: the list is a complete preview's.
    void SetRunOffered(bool offered);
    // Sized to the screen, shown and raised.
    void ShowOnTop();

    // Entries queued and not yet in the list (tests).
    size_t Pending() const { return m_pending.size() - m_pendingAt; }
    CResultsModel& Model() { return *m_pModel; }
    // The event in a row as the list shows it (sorted and searched).
    const CRunEvent& ShownEvent(int row) const;
    // The visible rows as text, counts first: what 复制列表 and 保存 write.
    QString ListText() const;

    // The file the save command writes, given the one it suggests; empty when
    // cancelled (tests replace it).
    std::function<QString(QWidget*, const QString&)> m_pickSaveFile;

  Q_SIGNALS:
    // The user asked to open path (working code page); folder: it is a folder.
    void openRequested(const std::string& path, bool folder);
    // The user pressed 撤销本次执行.
    void undoRequested();
    // The user pressed 执行 under a preview: run it on the files kept.
    void runRequested(const CPreviewedRun& run);
    // A message for the user (a save that failed).
    void warningRequested(const QString& text);

  private:
    void BuildControls();
    void FillFilter();
    // Each filter entry says how many rows it would show.
    void CountFilterEntries();
    void AppendBatch();
    void ShowContextMenu(const QPoint& at);
    void OnCurrentChanged();
    void OnCopy();
    void OnSave();

    CResultsModel* m_pModel = nullptr;
    CResultsProxy* m_pProxy = nullptr;
    QLineEdit* m_pSearch = nullptr;
    QLabel* m_pCounts = nullptr;
    bool m_bCountsFinal = false;  // m_pCounts shows a run's counts, not that one runs
    QComboBox* m_pFilter = nullptr;
    QTreeView* m_pList = nullptr;
    QTextEdit* m_pDiff = nullptr;
    QPushButton* m_pUndo = nullptr;
    QPushButton* m_pRun = nullptr;
    QTimer* m_pFeeder = nullptr;
    std::vector<CRunEvent> m_pending;
    size_t m_pendingAt = 0;
    CJob m_job;
};
