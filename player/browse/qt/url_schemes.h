// The site's own URL schemes in the browser engine. Unknown to the engine, a script's navigation
// to "qqplay://..." would never reach a pane's navigation hook; known, it does, and when logic lets
// such a request through anyway, the scheme handler fails it without harm.
#pragma once

class QWebEngineProfile;

namespace kam {

// Registers every site scheme (site_schemes.h) with the engine. Must run before the
// QApplication exists; later calls do nothing.
void RegisterBrowseUrlSchemes();

// Installs the failing handler for every site scheme on profile, once per profile.
void InstallBrowseSchemeHandler(QWebEngineProfile* profile);

}  // namespace kam
