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

#include "service/dialog_host.h"
#include "support/temp_dir.h"
#include "ui/replace_dlg.h"

class CScriptedHost : public CDialogHost {
  public:
    struct Box {
        std::string kind;  // "warning" or "confirm"
        std::string text;
        QWidget* focus;  // the owner's focus widget when the box came up
    };
    void Warning(void* owner, const std::string& text) override { Record("warning", owner, text); }
    int Confirm(void* owner, const std::string& text) override {
        Record("confirm", owner, text);
        return answer;
    }
    void OpenUrl(const std::string& target) override { opened.push_back(target); }
    std::string About(int, const tagSoft* soft, const std::string&) override {
        ++abouts;
        aboutSoft = soft;
        return {};
    }
    void Record(const char* kind, void* owner, const std::string& text) {
        auto* widget = static_cast<QWidget*>(owner);
        boxes.push_back({kind, text, widget ? widget->focusWidget() : nullptr});
    }

    std::vector<Box> boxes;
    std::vector<std::string> opened;
    int abouts = 0;
    const tagSoft* aboutSoft = nullptr;
    int answer = kYes;
};

class CDialogTest : public ::testing::Test {
  protected:
    void TearDown() override {
        if (m_pDlg)
            Close();
    }
    // A new dialog, shown (so initialised), with the recording host.
    CReplaceDlg& Open();
    // Closes it through the close box and deletes it.
    void Close();

    template <class T = QWidget>
    T* Ctl(ControlId id) const {
        return m_pDlg->findChild<T*>(QStringLiteral("ctl%1").arg(int(id)));
    }
    QLineEdit* Edit(ControlId id) const { return Ctl<QLineEdit>(id); }
    QPushButton* Button(ControlId id) const { return Ctl<QPushButton>(id); }
    QCheckBox* Check(ControlId id) const { return Ctl<QCheckBox>(id); }
    QString Status() const { return Ctl<QLabel>(IDC_STATUS)->text(); }
    QString Caption() const { return Button(IDC_STARTSTOP)->text(); }
    void Click(ControlId id) { QTest::mouseClick(Ctl(id), Qt::LeftButton); }
    static bool WaitFor(const std::function<bool()>& pred) { return QTest::qWaitFor(pred, 10000); }

    std::string ReplaceRulesPath() const { return m_dir / "config/Vexa/vexa_文本替换规则.txt"; }
    std::string RenameRulesPath() const { return m_dir / "config/Vexa/vexa_文件夹重命名规则.txt"; }
    std::string SettingsPath() const { return m_dir / "config/Vexa/vexa.ini"; }
    void SetInputs(const std::string& path, const std::string& suffix, bool sub, bool rename);

    CTempDir m_dir;
    CConfigHome m_home{m_dir};
    CScriptedHost m_host;
    std::unique_ptr<CReplaceDlg> m_pDlg;
    QStringList m_statuses;  // every status text, in order
};
