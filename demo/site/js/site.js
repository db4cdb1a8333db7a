// 看吧影院: pop-ups, the front page's search filter and the hero's drifting mountains.
(function () {
  "use strict";

  var kam = window.kam = {};

  // Opens a page in a new window (the player hands such pop-ups to the system's browser).
  kam.popup = function (url) {
    window.open(url, "_blank", "width=560,height=640,resizable=yes");
    return false;
  };

  // Filters the front page's cards by name, cast and genre; elsewhere, goes to the front page.
  kam.search = function (form) {
    var query = (form.q.value || "").trim();
    var cards = document.querySelectorAll(".card");
    if (!cards.length) {
      location.href = "/?q=" + encodeURIComponent(query);
      return false;
    }
    var shown = 0;
    cards.forEach(function (card) {
      var hit = !query || card.getAttribute("data-search").indexOf(query) >= 0;
      card.hidden = !hit;
      if (hit) shown++;
    });
    document.querySelectorAll(".shelf").forEach(function (shelf) {
      shelf.hidden = !shelf.querySelector(".card:not([hidden])");
    });
    var empty = document.querySelector(".empty-result");
    if (empty) empty.hidden = shown > 0;
    return false;
  };

  var initial = new URLSearchParams(location.search).get("q");
  var form = document.querySelector(".search");
  if (initial && form) {
    form.q.value = initial;
    kam.search(form);
  }

  // Layers of ink-wash mountains drifting slowly behind the featured title.
  var canvas = document.querySelector(".hero-canvas");
  if (!canvas || !canvas.getContext) return;
  var ctx = canvas.getContext("2d");
  var hue = Number(canvas.getAttribute("data-hue")) || 30;
  var layers = [0, 1, 2, 3].map(function (i) {
    var peaks = [];
    for (var k = 0; k < 14; k++) peaks.push(Math.random());
    return { depth: i, peaks: peaks };
  });

  function resize() {
    canvas.width = canvas.clientWidth * (window.devicePixelRatio || 1);
    canvas.height = canvas.clientHeight * (window.devicePixelRatio || 1);
  }
  window.addEventListener("resize", resize);
  resize();

  function draw(time) {
    var w = canvas.width, h = canvas.height;
    ctx.clearRect(0, 0, w, h);
    var sun = ctx.createRadialGradient(w * 0.78, h * 0.3, 0, w * 0.78, h * 0.3, h * 0.5);
    sun.addColorStop(0, "hsla(" + (hue + 10) + ",95%,70%,.55)");
    sun.addColorStop(1, "hsla(" + hue + ",95%,60%,0)");
    ctx.fillStyle = sun;
    ctx.fillRect(0, 0, w, h);
    layers.forEach(function (layer) {
      var speed = 0.004 + layer.depth * 0.006;
      var offset = (time * speed) % w;
      var base = h * (0.55 + layer.depth * 0.11);
      var span = w / (layer.peaks.length - 3);
      ctx.beginPath();
      ctx.moveTo(-offset - span, h);
      for (var rep = 0; rep < 2; rep++) {
        layer.peaks.forEach(function (p, k) {
          var x = rep * w + k * span - offset;
          ctx.lineTo(x, base - p * h * (0.32 - layer.depth * 0.05));
        });
      }
      ctx.lineTo(2 * w, h);
      ctx.closePath();
      ctx.fillStyle = "hsla(" + (hue + 190) + "," + (18 + layer.depth * 6) + "%," +
          (30 - layer.depth * 6) + "%," + (0.35 + layer.depth * 0.15) + ")";
      ctx.fill();
    });
    requestAnimationFrame(draw);
  }
  requestAnimationFrame(draw);
})();
