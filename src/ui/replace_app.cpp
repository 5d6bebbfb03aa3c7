#include "ui/replace_app.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>

#include <cstdio>

#include "app/app_texts.h"
#include "platform/code_page.h"
#include "service/user_folders.h"
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
    // Rules and settings live in the user's own config folder; without one
    // there is nowhere safe to keep them.
    if (UserConfigFolder().empty()) {
        std::fprintf(stderr, "vexa: %s\n", app_text::kNoConfigFolder);
        QMessageBox::warning(nullptr, QString::fromUtf8(app_text::kCaption),
                             QString::fromUtf8(app_text::kNoConfigFolder));
        return 1;
    }
    CReplaceDlg dlg;
    dlg.exec();
    return 0;
}
