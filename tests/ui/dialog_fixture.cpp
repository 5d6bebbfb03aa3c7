#include "dialog_fixture.h"

#include <QApplication>
#include <QTest>

#include <cstdlib>

#include "platform/code_page.h"
#include "service/core.h"

void CScriptedHost::Record(const char* kind, void* owner, const std::string& text) {
    auto* widget = static_cast<QWidget*>(owner);
    boxes.push_back({kind, text, widget ? widget->focusWidget() : nullptr});
    if (whileOpen)
        whileOpen();
}

void CScriptedHost::Warning(void* owner, const std::string& text) {
    Record("warning", owner, text);
}

int CScriptedHost::Confirm(void* owner, const std::string& text) {
    Record("confirm", owner, text);
    return answer;
}

std::string CScriptedHost::About(int, const tagSoft* soft, const std::string&) {
    ++abouts;
    aboutSoft = soft;
    if (whileOpen)
        whileOpen();
    return {};
}

void CDialogTest::SetUp() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"))
        m_savedXdg = xdg;
    ::setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
    CCodePage::SetWorking("UTF-8");
}

void CDialogTest::TearDown() {
    if (m_pDlg)
        Close();
    if (m_savedXdg.empty()) {
        ::unsetenv("XDG_CONFIG_HOME");
    } else {
        ::setenv("XDG_CONFIG_HOME", m_savedXdg.c_str(), 1);
    }
}

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

QLineEdit* CDialogTest::Edit(ControlId id) const {
    return m_pDlg->findChild<QLineEdit*>(QStringLiteral("ctl%1").arg(int(id)));
}

QPushButton* CDialogTest::Button(ControlId id) const {
    return m_pDlg->findChild<QPushButton*>(QStringLiteral("ctl%1").arg(int(id)));
}

QCheckBox* CDialogTest::Check(ControlId id) const {
    return m_pDlg->findChild<QCheckBox*>(QStringLiteral("ctl%1").arg(int(id)));
}

QString CDialogTest::Status() const {
    return m_pDlg->findChild<QLabel*>(QStringLiteral("ctl%1").arg(int(IDC_STATUS)))->text();
}

void CDialogTest::Click(ControlId id) {
    QWidget* w = m_pDlg->findChild<QWidget*>(QStringLiteral("ctl%1").arg(int(id)));
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w, Qt::LeftButton);
}

bool CDialogTest::WaitFor(const std::function<bool()>& pred, int timeoutMs) {
    return QTest::qWaitFor(pred, timeoutMs);
}

std::string CDialogTest::ReplaceRulesPath() const {
    return m_dir / "config/Vexa/vexa_文本替换规则.txt";
}

std::string CDialogTest::SettingsPath() const {
    return m_dir / "config/Vexa/vexa.ini";
}

void CDialogTest::SetInputs(const std::string& path, const std::string& suffix, bool sub,
                            bool rename) {
    Edit(IDC_PATH)->setText(QString::fromStdString(path));
    Edit(IDC_SUFFIX)->setText(QString::fromStdString(suffix));
    Check(IDC_SUB)->setChecked(sub);
    Check(IDC_RENAMEDIR)->setChecked(rename);
}
