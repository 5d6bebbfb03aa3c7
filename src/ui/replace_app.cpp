#include "ui/replace_app.h"

#include <QLibraryInfo>

#include "platform/code_page.h"
#include "ui/replace_dlg.h"

CReplaceApp::CReplaceApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Vexa"));
    setApplicationVersion(QStringLiteral(VEXA_VERSION));
    setDesktopFileName(QStringLiteral("vexa"));
}

bool CReplaceApp::PrepareLanguage() {
    CCodePage::Working();  // QApplication has set the locale; fix the code page now
    const bool loaded = m_qtTranslator.load(QStringLiteral("qtbase_zh_CN"),
                                            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded)
        installTranslator(&m_qtTranslator);
    return loaded;
}

int CReplaceApp::InitInstance() {
    PrepareLanguage();
    CReplaceDlg dlg;
    dlg.exec();
    return 0;
}
