#include "player/browse/qt/page_scripts.h"

#include <QStringList>

#include "player/browse/site_schemes.h"
#include "player/playlist/list_bounds.h"

namespace kam {
namespace {

// The document's title and its anchors in document order: raw attribute, absolute address, text.
// Only anchors that can pass the filter are read: their rule-chosen address (page_url_text.h)
// contains it when their raw text with a lower-cased scheme or their absolute address does. Of
// the two addresses only the one the rule takes travels (the other is left empty). What travels
// is bounded as the play list is: the first maxAnchors anchors, texts cut to maxChars characters,
// no anchor whose address is longer than maxAddress bytes, so that a page's huge title or
// thousands of links never cross whole.
const char kReadDocumentSource[] = R"JS(
(function (filter, siteScheme, maxAnchors, maxChars, maxAddress) {
  function cut(s, n) {
    if (typeof s !== 'string') return '';
    if (s.length <= n) return s;
    var i = 0;
    for (var k = 0; k < n && i < s.length; k++) {
      var c = s.charCodeAt(i);
      i += (c >= 0xD800 && c < 0xDC00 && i + 1 < s.length) ? 2 : 1;
    }
    return s.substring(0, i);
  }
  function tooLong(s) {
    if (s.length > maxAddress) return true;
    if (s.length * 3 <= maxAddress) return false;
    return new TextEncoder().encode(s).length > maxAddress;
  }
  var blanks = /^[\t\n\f\r ]+|[\t\n\f\r ]+$/g;
  var as = document.getElementsByTagName('a');
  var list = [];
  for (var i = 0; i < as.length && list.length < maxAnchors; i++) {
    var a = as[i];
    var raw = a.getAttribute('href');
    if (raw === null) raw = '';
    var own = siteScheme.test(raw);
    var abs = own ? '' : (typeof a.href === 'string' ? a.href : '');
    if (filter && raw.toLowerCase().indexOf(filter) < 0 && abs.indexOf(filter) < 0) continue;
    if (!own) raw = '';
    if (tooLong(own ? raw.replace(blanks, '') : abs)) continue;
    list.push([raw, abs, cut(a.innerText, maxChars)]);
  }
  return JSON.stringify({title: cut(document.title, maxChars), anchors: list});
})(%1, /%2/i, %3, %4, %5);
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
  // This document's name in the reports; no other document can read it.
  var frame = Array.prototype.join.call(crypto.getRandomValues(new Uint32Array(2)), '.');
  var count = 0;        // press events dispatched here so far
  var press = null;     // the press event being dispatched: {n: its number, e: the event}
  var heldKey = false;  // the last key went down by auto-repeat
  function send(report) {
    report.f = frame;
    report.origin = self.origin;
    console.debug(token + JSON.stringify(report));
  }
  function anchorOf(n) {
    while (n && !(n.nodeType === 1 && (n.localName === 'a' || n.localName === 'area') &&
                  n.hasAttribute('href'))) {
      n = n.parentNode;
    }
    return n;
  }
  function end(p) {
    if (press !== p) return;
    press = null;
    send({done: p.n});
  }
  var types = ['pointerdown', 'mousedown', 'pointerup', 'mouseup', 'click', 'auxclick',
               'dblclick', 'contextmenu', 'keydown', 'keypress', 'keyup', 'touchend'];
  types.forEach(function (type) {
    // Registered before any of the page's own: the first listener of the dispatch.
    window.addEventListener(type, function (e) {
      var a = anchorOf(e.target);
      var abs = a && typeof a.href === 'string' ? a.href : '';
      if (type === 'click' && a) send({raw: a.getAttribute('href'), abs: abs});
      if (!e.isTrusted) return;
      if (type === 'keydown') heldKey = e.repeat === true;
      else if (type === 'keyup' || type === 'pointerdown' || type === 'mousedown') heldKey = false;
      // A click the keyboard made (detail 0) from a held key is that key's auto-repeat.
      var repeat = e.repeat === true ||
          (heldKey && (type === 'keypress' || (type === 'click' && e.detail === 0)));
      if (press) end(press);
      var p = {n: ++count, e: e};
      send({press: p.n, link: abs, repeat: repeat});
      if (repeat) return;
      press = p;
      // The last listener of the dispatch ends it below; one that stops the event's propagation
      // leaves that to the next task.
      setTimeout(function () { end(p); }, 0);
    }, true);
    window.addEventListener(type, function (e) {
      if (press && press.e === e) end(press);
    }, false);
  });
  if (window.navigation && window.navigation.addEventListener) {
    window.navigation.addEventListener('navigate', function (e) {
      var during = press && press.e.eventPhase !== 0 ? press.n : 0;
      send({nav: e.destination.url, during: during});
    });
  }
})();
)JS")
      .arg(token);
}

QString ReadDocumentSource(const QString& filter_literal) {
  static const QString pattern = SiteSchemePattern();
  return QString::fromLatin1(kReadDocumentSource)
      .arg(filter_literal, pattern, QString::number(playlist::kMaxEntries),
           QString::number(playlist::kMaxTextChars), QString::number(playlist::kMaxAddressBytes));
}

}  // namespace kam
