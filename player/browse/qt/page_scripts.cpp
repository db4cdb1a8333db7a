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
  // Media: each audio or video element's state after each of its events, the position at most
  // once a second while it plays. Media events do not bubble; their capture phase passes here.
  var media = new WeakMap();  // element -> {n: its number here, played, last: its last report}
  var mediaCount = 0;
  var byNumber = {};
  function mediaOf(v) {
    var m = media.get(v);
    if (!m) {
      m = {n: ++mediaCount, played: false, last: 0};
      media.set(v, m);
      byNumber[m.n] = new WeakRef(v);
    }
    return m;
  }
  function num(x) {
    if (x === Infinity) return 'inf';
    if (typeof x !== 'number' || !isFinite(x)) return 'nan';
    return String(Math.round(x * 1000) / 1000);
  }
  function sendMedia(v, type) {
    var m = mediaOf(v);
    if (type === 'emptied') m.played = false;
    if (type === 'playing' || (v.played && v.played.length > 0 && v.currentTime > 0)) {
      m.played = true;
    }
    var isVideo = v.localName === 'video' && (v.readyState < 1 || v.videoHeight > 0);
    m.last = Date.now();
    send({media: 'n=' + m.n + ';e=' + type + ';p=' + (v.paused ? 1 : 0) +
                 ';x=' + (v.ended ? 1 : 0) + ';s=' + (v.seeking ? 1 : 0) +
                 ';v=' + (isVideo ? 1 : 0) + ';y=' + (m.played ? 1 : 0) +
                 ';r=' + (type === 'emptied' ? 1 : 0) + ';t=' + num(v.currentTime) +
                 ';d=' + num(v.duration)});
  }
  ['play', 'playing', 'pause', 'ended', 'seeking', 'seeked', 'durationchange', 'emptied',
   'loadedmetadata', 'timeupdate'].forEach(function (type) {
    window.addEventListener(type, function (e) {
      var v = e.target;
      if (!(v instanceof HTMLMediaElement)) return;
      if (type === 'timeupdate' && Date.now() - mediaOf(v).last < 1000) return;
      sendMedia(v, type);
    }, true);
  });
  // The program's commands to one of this document's media, or to a frame's where that frame's
  // script can be reached from here; the program calls it in this world.
  window.kamMediaControl = function (doc, n, what, at) {
    if (doc !== frame) {
      for (var i = 0; i < window.frames.length; i++) {
        try {
          var c = window.frames[i].kamMediaControl;
          if (typeof c === 'function' && c(doc, n, what, at)) return true;
        } catch (err) {}
      }
      return false;
    }
    var ref = byNumber[n];
    var v = ref && ref.deref();
    if (!v) return false;
    if (what === 'play') {
      var p = v.play();
      if (p && p.catch) p.catch(function () {});
    } else if (what === 'pause') {
      v.pause();
    } else if (what === 'stop') {
      v.pause();
      v.currentTime = 0;
    } else if (what === 'seek' && typeof at === 'number' && isFinite(at)) {
      v.currentTime = Math.max(0, at);
    }
    return true;
  };
  // Every medium of this document, and of the frames reachable from here, pauses.
  window.kamPauseAll = function () {
    var all = document.querySelectorAll('audio, video');
    for (var i = 0; i < all.length; i++) all[i].pause();
    for (var k in byNumber) {
      var v = byNumber[k].deref();
      if (v) v.pause();
    }
    for (var j = 0; j < window.frames.length; j++) {
      try {
        var p = window.frames[j].kamPauseAll;
        if (typeof p === 'function') p();
      } catch (err) {}
    }
  };
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
