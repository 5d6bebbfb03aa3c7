#pragma once
// The help window that F1 opens: what the tool does, the two rules-file
// formats with examples, where its files live, and that a run cannot be
// undone. Modeless, one at a time.

#include <QDialog>

class CHelpWindow : public QDialog {
    Q_OBJECT

  public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // The help text (rich text) naming the given file locations.
    static QString HelpText(const QString& replaceRules, const QString& renameRules,
                            const QString& settings);
};
