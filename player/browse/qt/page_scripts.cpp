#include "player/browse/qt/page_scripts.h"

#include <QStringList>

#include "player/browse/site_schemes.h"

namespace kam {
namespace {

// The document's title and its anchors in document order: raw attribute, absolute address, text.
// Only anchors that can pass the filter are read: their rule-chosen address (page_url_text.h)
// contains it when their raw text with a lower-cased scheme or their absolute address does. The
// absolute address is left out where the raw text is taken as it stands.
const char kReadDocumentSource[] = R"JS(
(function (filter, siteScheme) {
  var as = document.getElementsByTagName('a');
  var list = [];
  for (var i = 0; i < as.length; i++) {
    var a = as[i];
    var raw = a.getAttribute('href');
    if (raw === null) raw = '';
    var abs = siteScheme.test(raw) ? '' : (typeof a.href === 'string' ? a.href : '');
    if (filter && raw.toLowerCase().indexOf(filter) < 0 && abs.indexOf(filter) < 0) continue;
    list.push([raw, abs, a.innerText]);
  }
  return JSON.stringify({title: document.title, anchors: list});
})(%1, /%2/i);
)JS";

// A raw href that begins with a site scheme, as a script pattern: ^[blanks](name|...)://
QString SiteSchemePattern() {
  QStringList names;
  for (const std::string& n : SiteSchemeNames()) names << QString::fromStdString(n);
  return QStringLiteral("^[\\t\\n\\f\\r ]*(%1):\\/\\/").arg(names.join(QLatin1Char('|')));
}

}  // namespace

QString PageReporterSource(const QString& token) {
  return QStringLiteral(R"JS(
(function () {
  var token = '%1';
  window.addEventListener('click', function (e) {
    var n = e.target;
    while (n && !(n.nodeType === 1 && (n.localName === 'a' || n.localName === 'area') &&
                  n.hasAttribute('href'))) {
      n = n.parentNode;
    }
    if (!n) return;
    var abs = typeof n.href === 'string' ? n.href : '';
    console.debug(token + JSON.stringify({raw: n.getAttribute('href'), abs: abs}));
  }, true);
  if (window.navigation && window.navigation.addEventListener) {
    window.navigation.addEventListener('navigate', function (e) {
      console.debug(token + JSON.stringify({nav: e.destination.url}));
    });
  }
})();
)JS")
      .arg(token);
}

QString ReadDocumentSource(const QString& filter_literal) {
  static const QString pattern = SiteSchemePattern();
  return QString::fromLatin1(kReadDocumentSource).arg(filter_literal, pattern);
}

}  // namespace kam
