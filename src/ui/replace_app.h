#pragma once
// CReplaceApp: the application object. InitInstance prepares the language
// and the working code page, then runs the dialog modally; when the dialog
// closes the program ends.

#include <QApplication>
#include <QPointer>
#include <QTranslator>

class CReplaceApp : public QApplication {
    Q_OBJECT

  public:
    CReplaceApp(int& argc, char** argv);

    // Runs the dialog; returns 0 (FALSE), so the application then ends, or
    // 1 after a warning when the user has no config folder.
    int InitInstance();
    // Chinese texts for Qt's own buttons and dialogs, whatever the locale,
    // and the working code page read from the locale. True when Qt's
    // Simplified Chinese translations were found.
    bool PrepareLanguage();
    // The Help command (F1): opens the help window over owner, or raises it.
    void OnHelp(QWidget* owner);

  private:
    QTranslator m_qtTranslator;
    QPointer<QWidget> m_pHelp;
};
