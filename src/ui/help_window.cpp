#include "ui/help_window.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "engine/job_tables.h"
#include "ui/help_text.h"
#include "ui/qt_settings_store.h"
#include "ui/working_text.h"

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Korvane 帮助"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* text = new QTextBrowser;
    text->setHtml(HelpText(FromWorking(g_jobTables.replaceRulesPath),
                           FromWorking(g_jobTables.renameRulesPath),
                           CQtSettingsStore::DefaultFilePath()));
    const QFontMetrics fm = fontMetrics();
    text->setMinimumSize(fm.averageCharWidth() * 90, fm.height() * 38);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
}

QString CHelpWindow::HelpText(const QString& replaceRules, const QString& renameRules,
                              const QString& settings) {
    return QString::fromUtf8(kHelpHtml).arg(replaceRules.toHtmlEscaped(),
                                            renameRules.toHtmlEscaped(), settings.toHtmlEscaped());
}
