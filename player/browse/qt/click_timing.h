// Where the time of a click on a catalogue link goes: with the logging category
// "kam.browse.click" on (QT_LOGGING_RULES="kam.browse.click.debug=true"), each step done on the
// window thread writes one line with the milliseconds since the click reached the program.
// Off (the default), a step costs one check of the category.
#pragma once

#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcClick)

namespace kam {

// The catalogue asked for a navigation: the clock starts again.
void ClickBegan(const char* what);
// A step of the click (of the pane or control who, when given), for the half minute after it.
void ClickStep(const char* what, const QString& who = QString());

}  // namespace kam
