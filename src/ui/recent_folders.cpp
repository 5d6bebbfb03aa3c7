#include "ui/recent_folders.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

#include "app/app_texts.h"
#include "ui/dialog_ids.h"
#include "ui/working_text.h"

CRecentFolders::CRecentFolders(QLineEdit* edit) : m_pEdit(edit) {
    setObjectName(QStringLiteral("ctl%1").arg(static_cast<int>(IDC_RECENT)));
    setArrowType(Qt::DownArrow);
    setPopupMode(QToolButton::InstantPopup);
    setAccessibleName(QString::fromUtf8(app_text::kRecentName));
    setToolTip(QString::fromUtf8(app_text::kTipRecent));
    setAccessibleDescription(toolTip());
    setMenu(new QMenu(this));
    setEnabled(false);
}

void CRecentFolders::SetFolders(const std::vector<std::string>& folders) {
    menu()->clear();
    for (const std::string& folder : folders) {
        const QString text = FromWorking(folder);
        // Shown as typed; "&" is a shortcut marker to a menu.
        QAction* action = menu()->addAction(QString(text).replace('&', QStringLiteral("&&")));
        connect(action, &QAction::triggered, m_pEdit, [this, text] { m_pEdit->setText(text); });
    }
    setEnabled(!folders.empty());
}

namespace {

// The one local folder a drag carries; empty for anything else.
QString DraggedFolder(const QMimeData* mime) {
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1 || !mime->urls()[0].isLocalFile())
        return {};
    const QString path = mime->urls()[0].toLocalFile();
    return QFileInfo(path).isDir() ? path : QString();
}

// Sees drags over the dialog and every control before they do, so that the
// edits do not take a folder's address as text.
class CFolderDrop : public QObject {
  public:
    CFolderDrop(QObject* parent, QLineEdit* edit) : QObject(parent), m_pEdit(edit) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDragMoveEvent*>(event);
                if (DraggedFolder(drag->mimeData()).isEmpty())
                    return false;
                drag->acceptProposedAction();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                QString folder = DraggedFolder(drop->mimeData());
                if (folder.isEmpty())
                    return false;
                while (folder.size() > 1 && folder.endsWith('/'))
                    folder.chop(1);
                m_pEdit->setText(folder);
                drop->acceptProposedAction();
                m_pEdit->window()->activateWindow();
                return true;
            }
            default:
                return QObject::eventFilter(watched, event);
        }
    }

  private:
    QLineEdit* m_pEdit;
};

}  // namespace

void AcceptFolderDrops(QWidget& dialog, QLineEdit* edit) {
    auto* filter = new CFolderDrop(&dialog, edit);
    dialog.setAcceptDrops(true);
    dialog.installEventFilter(filter);
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        child->setAcceptDrops(true);
        child->installEventFilter(filter);
    }
}
