// The browser profile of the site panes (listweb, W3, qvod): one persistent profile in the
// user's data folder, so that a member's login (session and persistent cookies), the sites'
// local storage and the HTTP cache survive a restart. The play list control keeps a profile of
// its own for the local list page.
#pragma once

#include <QString>
#include <chrono>

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

// Deletes a profile made by MakeSiteProfile, whose pages are gone already, and returns once its
// cookie database is written and closed, or after limit. The engine keeps new cookies in memory
// for up to 30 s and writes them out only when the profile goes, on threads of its own: a program
// that ended before that would lose a login just made. Call it while the application exists.
void CloseSiteProfile(QWebEngineProfile* profile, std::chrono::milliseconds limit);

// Whether a profile made by MakeSiteProfile keeps its data on disk.
bool KeepsDataOnDisk(const QWebEngineProfile* profile);

}  // namespace kam
