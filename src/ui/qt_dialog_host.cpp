#include "ui/qt_dialog_host.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "app/app_texts.h"
#include "ui/about_box.h"
#include "ui/working_text.h"

namespace {

QWidget* AsWidget(void* owner) {
    return static_cast<QWidget*>(owner);
}

QString Title() {
    return QString::fromUtf8(app_text::kCaption);
}

}  // namespace

void CQtDialogHost::Warning(void* owner, const std::string& text) {
    QMessageBox::warning(AsWidget(owner), Title(), QString::fromUtf8(text));
}

int CQtDialogHost::Confirm(void* owner, const std::string& text) {
    const auto answer = QMessageBox::question(AsWidget(owner), Title(), QString::fromUtf8(text),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return answer == QMessageBox::Yes ? kYes : kNo;
}

bool CQtDialogHost::OpenUrl(const std::string& target) {
    return !target.empty() && QDesktopServices::openUrl(QUrl::fromLocalFile(FromWorking(target)));
}

std::string CQtDialogHost::About(int /*operation*/, const tagSoft* soft,
                                 const std::string& /*text*/) {
    if (soft)
        ShowAboutBox(m_pOwner, *soft);
    return {};
}
