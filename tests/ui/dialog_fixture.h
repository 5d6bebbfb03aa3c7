#pragma once
// A fixture for the dialog tests: its own temporary folder and config folder,
// the working code page UTF-8, and a real CReplaceDlg shown offscreen with a
// scripted dialog host in place of the Qt message boxes.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "service/dialog_host.h"
#include "support/temp_dir.h"
#include "ui/replace_dlg.h"

// Records every box; a box "stays open" for as long as whileOpen runs.
class CScriptedHost : public CDialogHost {
  public:
    struct Box {
        std::string kind;  // "warning" or "confirm"
        std::string text;
        QWidget* focus;  // the owner's focus widget when the box came up
    };

    void Warning(void* owner, const std::string& text) override;
    int Confirm(void* owner, const std::string& text) override;
    void OpenUrl(const std::string& target) override { opened.push_back(target); }
    std::string About(int operation, const tagSoft* soft, const std::string& text) override;

    std::vector<Box> boxes;
    std::vector<std::string> opened;
    int abouts = 0;
    const tagSoft* aboutSoft = nullptr;
    int answer = kYes;
    std::function<void()> whileOpen;

  private:
    void Record(const char* kind, void* owner, const std::string& text);
};

class CDialogTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A new dialog, shown (so initialised), with the scripted host.
    CReplaceDlg& Open();
    // Closes it through the close box and deletes it.
    void Close();

    QLineEdit* Edit(ControlId id) const;
    QPushButton* Button(ControlId id) const;
    QCheckBox* Check(ControlId id) const;
    QString Status() const;
    QString Caption() const { return Button(IDC_STARTSTOP)->text(); }
    // Clicks a control with the mouse, as a user would.
    void Click(ControlId id);
    // Processes events until pred holds; false after timeoutMs.
    static bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 10000);

    // The rules file paths for this test's config folder.
    std::string ReplaceRulesPath() const;
    std::string SettingsPath() const;
    // Fills the dialog's inputs.
    void SetInputs(const std::string& path, const std::string& suffix, bool sub, bool rename);

    CTempDir m_dir;
    CScriptedHost m_host;
    std::unique_ptr<CReplaceDlg> m_pDlg;
    QStringList m_statuses;  // every status text, in order

  private:
    std::string m_savedXdg;
};
