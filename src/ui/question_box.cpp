#include "ui/question_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/app_texts.h"

Answer AskYesNoCancel(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(app_text::kCaption), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner);
    // The captions do not depend on Qt's own translations being installed.
    box.button(QMessageBox::Yes)->setText(QString::fromUtf8(app_text::kAnswerYes));
    box.button(QMessageBox::No)->setText(QString::fromUtf8(app_text::kAnswerNo));
    box.button(QMessageBox::Cancel)->setText(QString::fromUtf8(app_text::kAnswerCancel));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    box.setTextFormat(Qt::PlainText);
    const int answer = box.exec();
    return answer == QMessageBox::Yes  ? Answer::Yes
           : answer == QMessageBox::No ? Answer::No
                                       : Answer::Cancel;
}
