#pragma once
// A fixture for the dialog tests: its own temporary and config folders, and
// a real CReplaceDlg shown offscreen with a recording host in place of the
// Qt message boxes.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "service/core.h"
#include "service/dialog_host.h"
#include "support/temp_dir.h"
#include "ui/replace_dlg.h"

inline std::ostream& operator<<(std::ostream& os, const QString& text) {
    return os << text.toStdString();
}

// Records each box as "warning: text" (with the owner's focus widget at that
// moment) or "confirm: text", and each path handed to the desktop.
class CScriptedHost : public CDialogHost {
  public:
    void Warning(void* owner, const std::string& text) override {
        boxes.push_back("warning: " + text);
        focus.push_back(static_cast<QWidget*>(owner)->focusWidget());
    }
    int Confirm(void*, const std::string& text) override {
        boxes.push_back("confirm: " + text);
        return answer;
    }
    bool OpenUrl(const std::string& target) override {
        opened.push_back(target);
        return openable;
    }
    std::string About(int, const tagSoft*, const std::string&) override { return {}; }

    std::vector<std::string> boxes;
    std::vector<QWidget*> focus;
    std::vector<std::string> opened;
    int answer = kYes;
    bool openable = true;  // whether the desktop has a program that opens things
};

class CDialogTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (m_pDlg)
            Close();
    }
    // A new dialog, shown (so initialised), with the recording host.
    CReplaceDlg& Open() {
        m_pDlg = std::make_unique<CReplaceDlg>();
        m_pDlg->SetDialogHost(&m_host);
        QObject::connect(m_pDlg.get(), &CReplaceDlg::statusChanged,
                         [this](const QString& text) { m_statuses << text; });
        m_pDlg->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_pDlg.get()));
        return *m_pDlg;
    }
    // Closes it and deletes it; closing releases the service object.
    void Close() {
        m_pDlg->close();
        EXPECT_EQ(g_pCore, nullptr);
        m_pDlg.reset();
    }

    template <class T = QWidget>
    T* Ctl(int id) const {
        return m_pDlg->findChild<T*>(QStringLiteral("ctl%1").arg(id));
    }
    QLineEdit* Edit(ControlId id) const { return Ctl<QLineEdit>(id); }
    QPushButton* Button(ControlId id) const { return Ctl<QPushButton>(id); }
    QCheckBox* Check(ControlId id) const { return Ctl<QCheckBox>(id); }
    QString Status() const { return Ctl<QLabel>(IDC_STATUS)->text(); }
    QString Caption() const { return Button(IDC_STARTSTOP)->text(); }
    // The counts line without the breaks that fit it to its width.
    QString Counts() const { return Ctl<QLabel>(IDC_COUNTS)->text().remove('\n'); }
    void Click(ControlId id) { QTest::mouseClick(Ctl(id), Qt::LeftButton); }
    static bool WaitFor(const std::function<bool()>& pred) { return QTest::qWaitFor(pred, 10000); }
    void SetInputs(const std::string& path, const std::string& suffix, bool sub, bool rename) {
        Edit(IDC_PATH)->setText(QString::fromStdString(path));
        Edit(IDC_SUFFIX)->setText(QString::fromStdString(suffix));
        Check(IDC_SUB)->setChecked(sub);
        Check(IDC_RENAMEDIR)->setChecked(rename);
    }

    std::string ReplaceRulesPath() const { return m_dir / "config/Vexa/vexa_文本替换规则.txt"; }
    std::string RenameRulesPath() const { return m_dir / "config/Vexa/vexa_文件夹重命名规则.txt"; }

    CTempDir m_dir;
    CConfigHome m_home{m_dir};
    CScriptedHost m_host;
    std::unique_ptr<CReplaceDlg> m_pDlg;
    QStringList m_statuses;  // every status text, in order
};
