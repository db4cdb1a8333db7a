// The scripts a pane runs in its pages, in their own JavaScript world so that the pages' scripts
// neither see nor disturb them.
#pragma once

#include <QString>

namespace kam {

// Injected into every document and frame. It reports, as console messages that begin with token,
// each with "f": the document's own random name:
//  - every click on an anchor, before the engine starts the navigation: {"raw": the href
//    attribute as written, "abs": the address the page's script reads from it};
//  - every press event the user gave (the engine marks it trusted: mouse buttons, keys, touch)
//    as its dispatch begins, before any listener of the page: {"press": its number in this
//    document, "link": the address of the link it presses or "", "repeat": a held key's
//    auto-repeat}, and {"done": its number} when its dispatch is over;
//  - every navigation the document itself starts (link, script, form), as the engine's
//    navigation interface states it: {"nav": the destination address, "during": the number of
//    the press being dispatched when it started, 0 for none}. The engine hands addresses it
//    cannot parse (such as "dddisk://名字@@@/路径") to the navigation hook as an empty address;
//    this is how their text still arrives.
// A console message travels on the same channel as the document's navigations and new windows,
// in the order the document made them; so what a press's own handlers ask for arrives between
// its "press" and its "done".
//  - every change of an audio or video element ({"media": a record media_report.h reads}),
//    and while it plays its position at most once a second.
// It also offers, in its world, kamMediaControl(document, element, "play"|"pause"|"stop"|"seek",
// position) to the program.
// Every report carries "origin": the reporting document's origin, which its pages cannot forge
// from their own world.
QString PageReporterSource(const QString& token);

// Reads the document's title and anchors; the script's result is the JSON text
// {"title": ..., "anchors": [[raw, abs, text], ...]} (see WebPane::ReadDocument).
QString ReadDocumentSource(const QString& filter_literal);

}  // namespace kam
