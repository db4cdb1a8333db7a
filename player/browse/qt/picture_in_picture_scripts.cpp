#include "player/browse/qt/picture_in_picture_scripts.h"

namespace kam {
namespace {

// Event names between the two worlds.
#define KAM_PIP_EVENTS                                                          \
  "var ASK = 'kam-pip-ask', ANSWER = 'kam-pip-answer', LEFT = 'kam-pip-left', " \
  "EXIT = 'kam-pip-exit', SIZE = 'kam-pip-size';\n"

const char kApiSource[] = "(function (enabled) {\n'use strict';\n" KAM_PIP_EVENTS R"JS(
  if (!window.HTMLVideoElement || !window.EventTarget) return;
  var V = HTMLVideoElement.prototype, D = Document.prototype;
  var define = Object.defineProperty, Ex = DOMException, Prom = Promise;
  var current = null;  // the video in the small window
  var win = null;      // its window
  var asks = {};       // request number -> {el, ok, no}
  var count = 0;
  var exits = [];      // exitPictureInPicture promises waiting for the leave
  var heard = new WeakSet();
  var sizes = new WeakMap();

  class PictureInPictureWindow extends EventTarget {
    constructor(w, h) { super(); sizes.set(this, [w, h]); this.onresize = null; }
    get width() { return sizes.get(this)[0]; }
    get height() { return sizes.get(this)[1]; }
  }
  function fire(el, type, w) {
    var e = new Event(type, {bubbles: true});
    define(e, 'pictureInPictureWindow', {value: w, enumerable: true});
    el.dispatchEvent(e);
  }
  function left() {
    var el = current, w = win;
    current = null;
    win = null;
    if (el) fire(el, 'leavepictureinpicture', w);
    var waiting = exits;
    exits = [];
    waiting.forEach(function (ok) { ok(); });
  }
  function listen(el) {
    if (heard.has(el)) return;
    heard.add(el);
    el.addEventListener(ANSWER, function (e) {
      var a;
      try { a = JSON.parse(e.detail); } catch (x) { return; }
      var ask = asks[a.n];
      if (!ask || ask.el !== el) return;
      delete asks[a.n];
      if (a.error) { ask.no(new Ex('画中画请求被拒绝', a.error)); return; }
      if (current !== el) {
        if (current) left();
        current = el;
        win = new PictureInPictureWindow(a.w, a.h);
        fire(el, 'enterpictureinpicture', win);
      }
      ask.ok(win);
    });
    el.addEventListener(LEFT, function () { if (current === el) left(); });
    el.addEventListener(SIZE, function (e) {
      if (current !== el || !win || typeof e.detail !== 'string') return;
      var wh = e.detail.split(',');
      sizes.set(win, [+wh[0], +wh[1]]);
      var r = new Event('resize');
      win.dispatchEvent(r);
      if (typeof win.onresize === 'function') win.onresize.call(win, r);
    });
  }
  function request() {
    var el = this;
    if (!enabled) return Prom.reject(new Ex('不支持画中画', 'NotSupportedError'));
    if (!(el instanceof HTMLVideoElement) || !el.isConnected ||
        el.getRootNode() !== el.ownerDocument) {
      return Prom.reject(new Ex('视频不在文档中', 'InvalidStateError'));
    }
    if (el.readyState === 0) return Prom.reject(new Ex('视频尚无画面', 'InvalidStateError'));
    if (el.hasAttribute('disablepictureinpicture')) {
      return Prom.reject(new Ex('视频不允许画中画', 'InvalidStateError'));
    }
    listen(el);
    var n = ++count;
    return new Prom(function (ok, no) {
      asks[n] = {el: el, ok: ok, no: no};
      el.dispatchEvent(new CustomEvent(ASK, {detail: n, bubbles: true}));
    });
  }
  function exit() {
    if (!current) return Prom.reject(new Ex('没有画中画', 'InvalidStateError'));
    return new Prom(function (ok) {
      exits.push(ok);
      document.dispatchEvent(new CustomEvent(EXIT, {bubbles: true}));
    });
  }
  define(V, 'requestPictureInPicture', {value: request, writable: true, configurable: true});
  define(V, 'disablePictureInPicture', {
    get: function () { return this.hasAttribute('disablepictureinpicture'); },
    set: function (on) { this.toggleAttribute('disablepictureinpicture', !!on); },
    configurable: true, enumerable: true
  });
  define(D, 'exitPictureInPicture', {value: exit, writable: true, configurable: true});
  define(D, 'pictureInPictureEnabled',
         {get: function () { return enabled; }, configurable: true, enumerable: true});
  define(D, 'pictureInPictureElement', {
    get: function () { return current && current.ownerDocument === this ? current : null; },
    configurable: true, enumerable: true
  });
  if (window.ShadowRoot) {
    define(ShadowRoot.prototype, 'pictureInPictureElement',
           {get: function () { return null; }, configurable: true, enumerable: true});
  }
  window.PictureInPictureWindow = PictureInPictureWindow;
})(%1);
)JS";

const char kBridgeSource[] = "(function (token) {\n'use strict';\n" KAM_PIP_EVENTS R"JS(
  var asks = {};        // request number -> video, sent on and not yet answered
  var waiting = 0;
  var current = null;   // the video filling the viewport
  var saved = null;     // what it and the page looked like before
  var unspent = false;  // a press of the user's came since the last request
  var watch = null;
  function send(report) {
    report.origin = self.origin;
    console.debug(token + JSON.stringify(report));
  }
  // The events of one press come within moments of each other (the engine may add a key event
  // of its own to a click); they are one press, which opens one window at the most.
  var lastInput = -Infinity;
  ['pointerdown', 'mousedown', 'keydown', 'touchend'].forEach(function (type) {
    window.addEventListener(type, function (e) {
      if (!e.isTrusted || e.repeat || e.key === 'Escape') return;
      if (e.timeStamp - lastInput > 500) unspent = true;
      lastInput = e.timeStamp;
    }, true);
  });
  function answer(el, outcome) {
    el.dispatchEvent(new CustomEvent(ANSWER, {detail: JSON.stringify(outcome)}));
  }
  window.addEventListener(ASK, function (e) {
    e.stopImmediatePropagation();
    var el = e.target, n = e.detail;
    if (!(el instanceof HTMLVideoElement) || typeof n !== 'number') return;
    // A frame's document never gets the window, and no answer of the program could reach it.
    if (window !== window.top || waiting >= 16) {
      answer(el, {n: n, error: 'NotAllowedError'});
      return;
    }
    var pressed = unspent && !!navigator.userActivation && navigator.userActivation.isActive;
    unspent = false;
    asks[n] = el;
    ++waiting;
    var aspect = el.videoWidth > 0 && el.videoHeight > 0 ? el.videoWidth / el.videoHeight : 0;
    send({pip: n, pressed: pressed, aspect: aspect, top: true});
  }, true);
  window.addEventListener(EXIT, function (e) {
    e.stopImmediatePropagation();
    if (current) send({pipExit: 1});
  }, true);

  var fill = [['position', 'fixed'], ['left', '0'], ['top', '0'], ['right', 'auto'],
              ['bottom', 'auto'], ['width', '100vw'], ['height', '100vh'],
              ['min-width', '0'], ['min-height', '0'], ['max-width', 'none'],
              ['max-height', 'none'], ['margin', '0'], ['padding', '0'], ['border', '0'],
              ['box-sizing', 'border-box'], ['display', 'block'], ['visibility', 'visible'],
              ['opacity', '1'], ['transform', 'none'], ['clip-path', 'none'],
              ['z-index', '2147483647'], ['background', '#000'], ['object-fit', 'contain']];
  // The page does not scroll under the video meanwhile; a sheet of its own leaves the page's
  // attributes alone.
  var still = new CSSStyleSheet();
  still.replaceSync('html { overflow: hidden !important; }');
  function restore() {
    if (watch) watch.disconnect();
    watch = null;
    if (!saved) return;
    var s = saved;
    saved = null;
    current = null;
    function put(node, style) {
      if (style === null) node.removeAttribute('style'); else node.setAttribute('style', style);
    }
    put(s.el, s.style);
    document.adoptedStyleSheets = document.adoptedStyleSheets.filter(function (x) {
      return x !== still;
    });
    window.scrollTo(s.x, s.y);
  }
  function enter(el) {
    if (current === el) return;
    restore();
    saved = {el: el, style: el.getAttribute('style'), x: window.scrollX, y: window.scrollY};
    current = el;
    fill.forEach(function (p) { el.style.setProperty(p[0], p[1], 'important'); });
    document.adoptedStyleSheets = document.adoptedStyleSheets.concat([still]);
    watch = new MutationObserver(function () {
      if (current && !current.isConnected) send({pipGone: 1});
    });
    watch.observe(document, {childList: true, subtree: true});
  }
  window.kamPictureInPicture = {
    answer: function (n, error, w, h) {
      var el = asks[n];
      if (!el) return;
      delete asks[n];
      --waiting;
      if (!error) enter(el);
      answer(el, {n: n, error: error, w: w, h: h});
    },
    left: function () {
      var el = current;
      restore();
      if (el) el.dispatchEvent(new CustomEvent(LEFT));
    },
    resized: function (w, h) {
      if (current) current.dispatchEvent(new CustomEvent(SIZE, {detail: w + ',' + h}));
    }
  };
})('%1');
)JS";

#undef KAM_PIP_EVENTS

}  // namespace

QString PictureInPictureApiSource(bool enabled) {
  return QString::fromUtf8(kApiSource)
      .arg(enabled ? QStringLiteral("true") : QStringLiteral("false"));
}

QString PictureInPictureBridgeSource(const QString& token) {
  return QString::fromUtf8(kBridgeSource).arg(token);
}

QString PictureInPictureAnswerScript(qint64 n, const QString& error, const QSize& size) {
  // error is one of the fixed error names, never the page's text.
  return QStringLiteral(
             "window.kamPictureInPicture && kamPictureInPicture.answer(%1, '%2', %3, %4)")
      .arg(n)
      .arg(error)
      .arg(size.width())
      .arg(size.height());
}

QString PictureInPictureLeftScript() {
  return QStringLiteral("window.kamPictureInPicture && kamPictureInPicture.left()");
}

QString PictureInPictureResizedScript(const QSize& size) {
  return QStringLiteral("window.kamPictureInPicture && kamPictureInPicture.resized(%1, %2)")
      .arg(size.width())
      .arg(size.height());
}

}  // namespace kam
