#pragma once
// The drop-down beside 所在目录: the folders used last, newest first; picking
// one puts it in the folder edit. A folder dropped on the dialog from the
// file manager fills the edit too. Dialog thread only.

#include <QToolButton>

#include <string>
#include <vector>

class QLineEdit;

class CRecentFolders : public QToolButton {
    Q_OBJECT

  public:
    // Fills edit when a folder is picked; disabled while it has none.
    explicit CRecentFolders(QLineEdit* edit);
    // folders in the working code page, newest first.
    void SetFolders(const std::vector<std::string>& folders);

  private:
    QLineEdit* m_pEdit;
};

// Lets a folder dragged from the file manager onto dialog (any of its
// controls) fill edit; files and several folders at once are refused.
void AcceptFolderDrops(QWidget& dialog, QLineEdit* edit);
