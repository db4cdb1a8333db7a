// A font sized to its box: the countdown strip shows only a few pixels of its labels, and the
// system's CJK font is taller than the one the window was drawn for.
#pragma once

#include <QFont>
#include <QSize>
#include <QString>

namespace kam::window {

// The largest pixel size of base (at least 6) at which one line of text fits box: its line
// height no taller than the box, its advance no wider.
QFont FittedFont(QFont base, const QString& text, QSize box);

}  // namespace kam::window
