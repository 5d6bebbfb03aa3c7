#include "ui/replace_app.h"

#include <QIcon>
#include <QLibraryInfo>

#include "platform/code_page.h"
#include "ui/help_window.h"
#include "ui/replace_dlg.h"

CReplaceApp::CReplaceApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Vexa"));
    setApplicationVersion(QStringLiteral(VEXA_VERSION));
    setDesktopFileName(QStringLiteral("vexa"));
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/vexa/vexa-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
}

bool CReplaceApp::PrepareLanguage() {
    CCodePage::Working();  // QApplication has set the locale; fix the code page now
    const bool loaded = m_qtTranslator.load(QStringLiteral("qtbase_zh_CN"),
                                            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded)
        installTranslator(&m_qtTranslator);
    return loaded;
}

void CReplaceApp::OnHelp(QWidget* owner) {
    if (!m_pHelp)
        m_pHelp = new CHelpWindow(owner);
    m_pHelp->show();
    m_pHelp->raise();
    m_pHelp->activateWindow();
}

int CReplaceApp::InitInstance() {
    PrepareLanguage();
    CReplaceDlg dlg;
    dlg.exec();
    return 0;
}
