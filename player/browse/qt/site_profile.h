// The browser profile of the site panes (listweb, W3, qvod): one persistent profile in the
// user's data folder, so that a member's login (session and persistent cookies), the sites'
// local storage and the HTTP cache survive a restart. The play list control keeps a profile of
// its own for the local list page.
#pragma once

#include <QString>

class QObject;
class QWebEngineProfile;

namespace kam {

// The folder the profile lives in: the user's data folder ($XDG_DATA_HOME, else
// ~/.local/share, on Linux; %APPDATA% on Windows) followed by "/kamplayer". Never the program
// directory, which may be read-only once installed.
QString SiteProfileFolder();

// Makes the profile under folder, owned by owner. Pages that use it must be destroyed before it.
// When folder cannot be created or written, the profile keeps everything in memory (the player
// runs on, logged out at every start) and the diagnostics category says why.
QWebEngineProfile* MakeSiteProfile(const QString& folder, QObject* owner);

// Whether a profile made by MakeSiteProfile keeps its data on disk.
bool KeepsDataOnDisk(const QWebEngineProfile* profile);

}  // namespace kam
