// Loads the page's frames: each iframe's data-src, from the site itself when it has data-site,
// else from localhost on the same port, which is another site. window.kamFramesLoaded counts the
// frames that have loaded.
(function () {
  var other = 'http://localhost:' + location.port + '/hostile/';
  window.kamFramesLoaded = 0;
  var frames = document.getElementsByTagName('iframe');
  for (var i = 0; i < frames.length; i++) {
    frames[i].onload = function () { window.kamFramesLoaded++; };
    var base = frames[i].getAttribute('data-site') ? '/hostile/' : other;
    frames[i].src = base + frames[i].getAttribute('data-src');
  }
})();
