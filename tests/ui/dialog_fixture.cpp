#include "dialog_fixture.h"

#include "service/core.h"

CReplaceDlg& CDialogTest::Open() {
    m_pDlg = std::make_unique<CReplaceDlg>();
    m_pDlg->SetDialogHost(&m_host);
    QObject::connect(m_pDlg.get(), &CReplaceDlg::statusChanged,
                     [this](const QString& text) { m_statuses << text; });
    m_pDlg->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(m_pDlg.get()));
    return *m_pDlg;
}

void CDialogTest::Close() {
    m_pDlg->close();
    EXPECT_EQ(g_pCore, nullptr) << "closing the window releases the service object";
    m_pDlg.reset();
}

void CDialogTest::SetInputs(const std::string& path, const std::string& suffix, bool sub,
                            bool rename) {
    Edit(IDC_PATH)->setText(QString::fromStdString(path));
    Edit(IDC_SUFFIX)->setText(QString::fromStdString(suffix));
    Check(IDC_SUB)->setChecked(sub);
    Check(IDC_RENAMEDIR)->setChecked(rename);
}
