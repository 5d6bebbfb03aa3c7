#include "ui/help_window.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

#include "app/app_session.h"
#include "app/app_texts.h"
#include "app/help_text.h"
#include "prep/build_job.h"
#include "ui/qt_settings_store.h"
#include "ui/working_text.h"

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(app_text::kHelpTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* text = new QTextBrowser;
    text->setHtml(HelpText(FromWorking(ProgramRulesFile(false)),
                           FromWorking(ProgramRulesFile(true)),
                           CQtSettingsStore::DefaultFilePath()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QString::fromUtf8(app_text::kClose));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    // As large as the text wants, but never beyond the screen: the text
    // scrolls, and the close button stays in reach at any scale.
    const QFontMetrics fm = fontMetrics();
    const QRect area = (parent ? parent->screen() : screen())->availableGeometry();
    resize(std::min(fm.averageCharWidth() * 90, area.width() * 9 / 10),
           std::min(fm.height() * 38, area.height() * 85 / 100));
}

QString CHelpWindow::HelpText(const QString& replaceRules, const QString& renameRules,
                              const QString& settings) {
    QString html = QString::fromUtf8(kHelpHtml);
    // The text names the journals' usual folder; XDG_DATA_HOME may have moved it.
    const QString journals = FromWorking(RunJournalRoot());
    if (!journals.isEmpty())
        html.replace(QStringLiteral("~/.local/share/Vexa/journal/"),
                     (journals + QLatin1Char('/')).toHtmlEscaped());
    return html.arg(replaceRules.toHtmlEscaped(), renameRules.toHtmlEscaped(),
                    settings.toHtmlEscaped());
}
