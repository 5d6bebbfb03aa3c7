#include "ui/open_failure_box.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>

#include "app/app_texts.h"

void ShowOpenFailure(QWidget* owner, const QString& path, const QString& why) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(app_text::kCaption),
                    QString::fromUtf8(app_text::kOpenFailed).arg(path, why), QMessageBox::Ok,
                    owner);
    QPushButton* copy =
        box.addButton(QString::fromUtf8(app_text::kCopyPath), QMessageBox::ActionRole);
    copy->setObjectName(QStringLiteral("copyPath"));
    copy->setToolTip(QString::fromUtf8(app_text::kTipCopyPath));
    // The box stays open after copying: an action button would close it.
    copy->disconnect();
    QObject::connect(copy, &QPushButton::clicked,
                     [path] { QApplication::clipboard()->setText(path); });
    box.setTextFormat(Qt::PlainText);  // a name like "<b>" is shown as it is
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}
