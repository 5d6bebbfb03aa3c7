#pragma once
// The service class's user-facing operations in Qt: message boxes owned by
// the dialog, paths opened with the desktop's default application, and the
// About box. Dialog thread only.

#include <QPointer>
#include <QWidget>

#include "service/dialog_host.h"

class CQtDialogHost : public CDialogHost {
  public:
    // The window that owns boxes shown without an owner of their own (About).
    void SetOwner(QWidget* owner) { m_pOwner = owner; }

    void Warning(void* owner, const std::string& text) override;
    // Yes/No with Yes as the default button; kYes or kNo.
    int Confirm(void* owner, const std::string& text) override;
    // An empty target opens nothing.
    bool OpenUrl(const std::string& target) override;
    std::string About(int operation, const tagSoft* soft, const std::string& text) override;

  private:
    QPointer<QWidget> m_pOwner;
};
