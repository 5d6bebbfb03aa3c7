// Times one run through the real dialog, for bench/compare.sh: the same job
// that vexa-cli runs, started with the Start button and confirmed, on the
// dialog's worker thread with its progress events. Prints the seconds from
// the click to "执行完成！" on stdout; exit 1 when the run did not finish cleanly.
//
//   QT_QPA_PLATFORM=offscreen vexa-dialog-run FOLDER SUFFIXES RULES_FILE

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <string>

#include "prep/job_inputs.h"
#include "service/core.h"
#include "service/dialog_host.h"
#include "ui/dialog_ids.h"
#include "ui/replace_dlg.h"

namespace {

// Answers the confirmation with Yes and counts warnings.
class CYesHost : public CDialogHost {
  public:
    void Warning(void*, const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        ++warnings;
    }
    int Confirm(void*, const std::string&) override { return kYes; }
    bool OpenUrl(const std::string&) override { return false; }
    std::string About(int, const tagSoft*, const std::string&) override { return {}; }
    int warnings = 0;
};

template <typename T>
T* Control(QWidget& dialog, ControlId id) {
    return dialog.findChild<T*>(QStringLiteral("ctl%1").arg(static_cast<int>(id)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: vexa-dialog-run FOLDER SUFFIXES RULES_FILE\n");
        return 2;
    }
    QApplication app(argc, argv);
    // The dialog reads its rules from its own file in the config folder.
    const std::string prefix = CCore().getAppPath();
    std::filesystem::copy_file(argv[3], prefix + kReplaceRulesSuffix,
                               std::filesystem::copy_options::overwrite_existing);

    CYesHost host;
    CReplaceDlg dialog;
    dialog.SetDialogHost(&host);
    dialog.show();
    Control<QLineEdit>(dialog, IDC_PATH)->setText(QString::fromLocal8Bit(argv[1]));
    Control<QLineEdit>(dialog, IDC_SUFFIX)->setText(QString::fromLocal8Bit(argv[2]));
    Control<QCheckBox>(dialog, IDC_SUB)->setChecked(true);
    Control<QCheckBox>(dialog, IDC_RENAMEDIR)->setChecked(false);

    QElapsedTimer clock;
    double seconds = -1;
    bool problems = false;
    QObject::connect(&dialog, &CReplaceDlg::statusChanged, [&](const QString& text) {
        if (text == QString::fromUtf8("执行完成！")) {
            seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
            QTimer::singleShot(0, &dialog, [&] {
                // A run with problems opens its results window by itself.
                problems = dialog.ResultsWindow() && dialog.ResultsWindow()->isVisible();
                dialog.close();
            });
        }
    });
    QTimer::singleShot(0, &dialog, [&] {
        clock.start();
        Control<QPushButton>(dialog, IDC_STARTSTOP)->click();
    });
    app.exec();
    if (seconds < 0 || problems || host.warnings != 0)
        return 1;
    std::printf("%.4f\n", seconds);
    return 0;
}
