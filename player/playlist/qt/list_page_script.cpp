#include "player/playlist/qt/list_page_script.h"

#include <QFile>

namespace kam::playlist {
namespace {

constexpr char kRecorder[] = R"JS(
(function () {
  'use strict';
  var record = { href: null, id: '' };
  var bridge = null;
  var pending = [];

  function elementOf(node) {
    while (node && node.nodeType !== 1) node = node.parentNode;
    return node || document.documentElement;
  }
  function anchorOf(node) {
    var element = elementOf(node);
    return element.closest ? element.closest('a') : null;
  }
  function remember(event) {
    var anchor = anchorOf(event.target);
    record.href = anchor ? (anchor.getAttribute('href') || '') : null;
    record.id = anchor ? anchor.id : '';
  }
  window.addEventListener('click', remember, true);
  window.addEventListener('auxclick', remember, true);

  window.addEventListener('contextmenu', function (event) {
    var element = anchorOf(event.target) || elementOf(event.target);
    var tag = element.tagName || '';
    // The engine's own menu only for the page's root; the control reports everything else.
    if (tag.toLowerCase() !== 'html') event.preventDefault();
    if (bridge) bridge.contextMenu(tag, element.id || '');
    else pending.push([tag, element.id || '']);
  }, true);

  window.__kamLastLink = function () {
    var href = record.href;
    var id = record.id;
    if (href === null) {
      var active = document.activeElement;
      href = active && active.getAttribute ? (active.getAttribute('href') || '') : '';
      id = active ? (active.id || '') : '';
    }
    record.href = null;
    record.id = '';
    return [href, id];
  };

  new QWebChannel(qt.webChannelTransport, function (channel) {
    bridge = channel.objects[%BRIDGE%];
    pending.forEach(function (p) { bridge.contextMenu(p[0], p[1]); });
    pending = [];
  });
})();
)JS";

constexpr char kMarks[] = R"JS(
(function (marks) {
  'use strict';
  var style = document.getElementById('kam-marks');
  if (!style) {
    style = document.createElement('style');
    style.id = 'kam-marks';
    style.textContent =
        '.play-list a.kam-watched { color: #8c8c8c; }' +
        '.play-list a.kam-watched::after { content: "\u2713"; float: right; color: #6f9f6f; }' +
        '.play-list a.kam-playing { color: #ffb04d; font-weight: bold;' +
        ' border-left-color: #ff8a00; background: #3a3229; }' +
        '.play-list a.kam-playing::before { content: ""; display: inline-block;' +
        ' margin-right: 6px; border-style: solid; border-width: 5px 0 5px 8px;' +
        ' border-color: transparent transparent transparent #ff8a00; }';
    (document.head || document.documentElement).appendChild(style);
  }
  var anchors = document.getElementsByTagName('a');
  for (var i = 0; i < anchors.length; i++) {
    var a = anchors[i];
    if (!/^[0-9]+$/.test(a.id)) continue;
    var m = marks.charAt(Number(a.id));
    a.classList.toggle('kam-watched', m === '1');
    a.classList.toggle('kam-playing', m === '2');
  }
  return true;
})('%MARKS%');
)JS";

}  // namespace

QString MarksScript(const QString& marks) {
  QString safe;
  safe.reserve(marks.size());
  for (const QChar c : marks) safe += (c == u'1' || c == u'2') ? c : QChar(u'0');
  return QString::fromUtf8(kMarks).replace(QStringLiteral("%MARKS%"), safe);
}

QString ListPageScript() {
  // The channel's client library ships inside Qt as a resource.
  QFile channel(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
  QString source;
  if (channel.open(QIODevice::ReadOnly)) source = QString::fromUtf8(channel.readAll());
  source += QString::fromUtf8(kRecorder).replace(
      QStringLiteral("%BRIDGE%"), QStringLiteral("'%1'").arg(QLatin1String(kBridgeName)));
  return source;
}

QString LastLinkQuery() {
  return QStringLiteral("window.__kamLastLink ? window.__kamLastLink() : ['', '']");
}

}  // namespace kam::playlist
