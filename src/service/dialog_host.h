#pragma once
// The user-facing operations of CCore: message boxes, opening paths in the
// desktop, and the About presentation. The dialog installs a Qt host, the
// command line a console host, tests a recorder. Texts are UTF-8.

#include <string>

struct tagSoft;

class CDialogHost {
  public:
    // msgboxConfirm's answers, as the Windows message box returns them.
    static constexpr int kYes = 6;
    static constexpr int kNo = 7;

    virtual ~CDialogHost() = default;
    // owner is the window that owns the box (a QWidget* in the dialog), may be null.
    virtual void Warning(void* owner, const std::string& text) = 0;
    virtual int Confirm(void* owner, const std::string& text) = 0;
    // True when target was handed to a program that opens it.
    virtual bool OpenUrl(const std::string& target) = 0;
    virtual std::string About(int operation, const tagSoft* soft, const std::string& text) = 0;
};
