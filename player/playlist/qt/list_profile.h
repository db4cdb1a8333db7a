// The browser profile of play list pages: local files only, nothing kept on disk.
#pragma once

class QWebEngineProfile;

namespace kam::playlist {

// One profile for every list control, owned by the application object. It serves the style
// sheets beside the page from the file system and refuses "pl" requests.
QWebEngineProfile* ListProfile();

}  // namespace kam::playlist
