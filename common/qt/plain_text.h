// Texts from outside the programs (a page, the settings, a stored file, the command line) are
// shown as the characters they are. Qt reads a text that looks like markup as rich text: a label
// or tool tip then draws "<b>x</b>" bold, and "<img src=...>" makes it read that file, whatever
// its size. Every widget that shows such a text goes through these.
#pragma once

#include <QList>
#include <QString>

class QLabel;
class QWidget;

namespace kam {

// A label that shows its text as plain text (no markup, no images, no links).
QLabel* NewPlainLabel(QWidget* parent);
// Makes an existing label show plain text.
void MakePlain(QLabel* label);

// A tool tip (of a widget or of the tray icon) that shows text as written.
QString PlainToolTip(const QString& text);

// A window title that shows text as written ("[*]" would otherwise mark the modified state).
QString PlainWindowTitle(const QString& text);

// Every label among widget and its descendants that would read its text as markup (for tests).
QList<QLabel*> RichTextLabels(QWidget* widget);

}  // namespace kam
