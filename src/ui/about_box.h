#pragma once
// The About presentation behind CCore::uu: the product identity decoded from
// a tagSoft record, plus the program's full version.

#include <QString>

class QWidget;
struct tagSoft;

// The box's caption, "关于 " + the decoded title.
QString AboutCaption(const tagSoft& soft);
// The box's text (rich text): title, short name, versions, category.
QString AboutText(const tagSoft& soft);
// Shows the box modally over owner (may be null).
void ShowAboutBox(QWidget* owner, const tagSoft& soft);
