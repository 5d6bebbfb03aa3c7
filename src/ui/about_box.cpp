#include "ui/about_box.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include "service/soft_record.h"
#include "ui/working_text.h"

namespace {

template <size_t N>
QString Field(const char (&field)[N]) {
    return FromWorking(DecodeSoftField(field, N)).toHtmlEscaped();
}

}  // namespace

QString AboutCaption(const tagSoft& soft) {
    return QStringLiteral("关于 ") + FromWorking(DecodeSoftField(soft.title, sizeof soft.title));
}

QString AboutText(const tagSoft& soft) {
    return QStringLiteral(
               "<p><b style='font-size:large'>%1</b></p>"
               "<p>%2：批量替换文件中的文本，并按规则重命名文件夹。</p>"
               "<p>版本 %3（%4）<br>类别：%5</p>")
        .arg(Field(soft.title), Field(soft.shortName),
             QApplication::applicationVersion().toHtmlEscaped(), Field(soft.version),
             Field(soft.category));
}

void ShowAboutBox(QWidget* owner, const tagSoft& soft) {
    QMessageBox box(QMessageBox::NoIcon, AboutCaption(soft), AboutText(soft), QMessageBox::Ok,
                    owner);
    box.setTextFormat(Qt::RichText);
    box.setIconPixmap(QApplication::windowIcon().pixmap(48, 48));
    box.exec();
}
