#pragma once
// CRulesTable: one rules file in the rules editor, one tab: a table with a
// row per line of the file (rules edited in place, other lines greyed with
// what they do), the buttons that add, remove and move rows, the line that
// says what is wrong, and for the replacement rules the tester. It draws a
// CRulesDocument, which keeps, checks and saves the file. Dialog thread only.

#include <QWidget>

#include "app/rules_document.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

class CRulesTable : public QWidget {
    Q_OBJECT

  public:
    CRulesTable(RulesFile file, QWidget* parent = nullptr);

    CRulesDocument& Document() { return m_doc; }
    // Shows the document again after it was loaded or saved.
    void Refresh();
    // The match modes the tester applies the rules with (the dialog's).
    void SetModes(const CMatchModes& modes);

  Q_SIGNALS:
    // The document changed: a cell, a row added, removed or moved.
    void changed();

  private:
    void BuildTable(RulesFile file);
    void SyncRow(int row);
    void ShowProblems();
    void UpdateTester();
    void OnItemChanged(QTableWidgetItem* item);
    void OnAdd();
    void OnRemove();
    void OnMove(bool up);
    void Changed(int selectRow);

    CRulesDocument m_doc;
    CMatchModes m_modes;
    QTableWidget* m_pTable = nullptr;
    QLabel* m_pProblems = nullptr;
    QPlainTextEdit* m_pSample = nullptr;  // replacement rules only
    QPlainTextEdit* m_pResult = nullptr;
};
