#include "ui/working_text.h"

#include "platform/code_page.h"

QString FromWorking(const std::string& bytes) {
    std::u16string units;
    if (CCodePage::Working().ToUtf16(bytes, units))
        return QString::fromStdU16String(units);
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToWorking(const QString& text) {
    std::string bytes;
    if (CCodePage::Working().FromUtf16(text.toStdU16String(), bytes))
        return bytes;
    return text.toLocal8Bit().toStdString();
}
