// Script the list control runs inside its page, in a JavaScript world of its own that the page's
// scripts cannot see or change.
#pragma once

#include <QString>

namespace kam::playlist {

// Name under which the control's bridge object is published to the script.
inline constexpr char kBridgeName[] = "webList";

// Installed at document creation: remembers the anchor a click or middle click lands on (its href
// attribute as the page wrote it, and its id, since the engine normalises the address it reports),
// and reports right clicks to the bridge as the clicked element's tag name and id.
QString ListPageScript();

// Evaluates to [href, id] of the anchor that asked for a new window, and forgets it: the anchor
// clicked last, else the document's active element.
QString LastLinkQuery();

// Marks the entries of the page shown: marks holds one character per entry number, "0" plain,
// "1" watched, "2" playing. The entry anchors (those whose id is their number) get the class
// "kam-watched" or "kam-playing", or neither; a style sheet of the player's, added to the
// document (never to the file), makes them look so.
QString MarksScript(const QString& marks);

}  // namespace kam::playlist
