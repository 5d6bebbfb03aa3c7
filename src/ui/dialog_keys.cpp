#include "ui/dialog_keys.h"

#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>

#include "ui/replace_app.h"

// Enter and Escape never close the dialog or press a button, and no Alt
// combination does anything (Alt+F4 included; there are no mnemonics). Boxes
// and the picker are windows of their own and keep their keys.
bool FilterDialogKey(QDialog& dialog, QObject* target, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(target);
    if (!widget || widget->window() != &dialog)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool consumed = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                          key->key() == Qt::Key_Escape || key->key() == Qt::Key_Alt ||
                          (key->modifiers() & Qt::AltModifier);
    if (type == QEvent::ShortcutOverride) {
        // Accepted: no shortcut sees the key, which then arrives as a key press.
        if (consumed)
            event->accept();
        return consumed;
    }
    if (!consumed && key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
        if (auto* app = qobject_cast<CReplaceApp*>(QCoreApplication::instance()))
            app->OnHelp(&dialog);
        return true;
    }
    return consumed;
}
