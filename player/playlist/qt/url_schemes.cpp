#include "player/playlist/qt/url_schemes.h"

#include <QWebEngineUrlScheme>

namespace kam::playlist {

void RegisterPlaylistUrlSchemes() {
  const QByteArray name = QByteArrayLiteral("pl");
  // The engine warns about a second registration of a name, so ask first.
  if (!QWebEngineUrlScheme::schemeByName(name).name().isEmpty()) return;
  QWebEngineUrlScheme scheme(name);
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
  QWebEngineUrlScheme::registerScheme(scheme);
}

}  // namespace kam::playlist
