// The scripts behind a page's picture-in-picture. The engine of this toolkit says it has
// picture-in-picture and then refuses every request, so the pane brings its own: a script in the
// page's own world gives the page the standard interface (requestPictureInPicture,
// exitPictureInPicture, pictureInPictureElement, pictureInPictureEnabled, the enter and leave
// events), and a script in the pane's world carries the requests to the program and the
// program's answers back, and makes the chosen video fill the page's viewport while the pane's
// view shows in the small window.
//
// The two worlds share only the document, so they speak in events on it; a page can fake those
// only to mislead its own copy of the interface. What decides (the user's press, the frame) is
// read in the pane's world, which the page cannot reach.
#pragma once

#include <QSize>
#include <QString>

namespace kam {

// For the page's world of every document: the interface, on when enabled (the pane has
// picture-in-picture), else present but refusing with "NotSupportedError".
QString PictureInPictureApiSource(bool enabled);

// For the pane's world of every document; reports as page_scripts.h describes, with these:
//  - {"pip": request number, "pressed": a press of the user's not yet spent asked for it,
//    "aspect": the video's width / height or 0, "top": true} for a request of the pane's own
//    document (a frame's requests are refused there and then: no answer could reach it);
//  - {"pipExit": 1} when the page asks to leave, {"pipGone": 1} when its video left the document.
QString PictureInPictureBridgeSource(const QString& token);

// Run in the pane's world of the pane's own document: the answer to request n (an empty error
// grants it, with the small window's size), the page's leaving, the small window's new size.
QString PictureInPictureAnswerScript(qint64 n, const QString& error, const QSize& size);
QString PictureInPictureLeftScript();
QString PictureInPictureResizedScript(const QSize& size);

}  // namespace kam
