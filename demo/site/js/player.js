// The play page's "video": a landscape drawn on a canvas, with moving clouds, birds, subtitles
// and a running clock. No video file is needed.
(function () {
  "use strict";

  var player = document.querySelector(".player");
  var canvas = document.querySelector(".screen");
  var ctx = canvas.getContext("2d");
  var hue = parseFloat(getComputedStyle(player).getPropertyValue("--hue")) || 30;
  var title = player.getAttribute("data-title");
  var episode = Number(player.getAttribute("data-episode")) || 1;
  var total = 45 * 60;
  var position = (episode * 37) % 120;
  var playing = true;
  var last = performance.now();
  var subtitles = [
    "话说天下大势……", "远处群山连绵，云雾缭绕。", "「此去路途遥远，须多加小心。」",
    "「天色已晚，先找个地方歇脚吧。」", "夕阳西下，一行人继续赶路。", "欲知后事如何，且听下回分解。"
  ];

  var clouds = [], birds = [], ridges = [];
  var seed = episode * 9301 + title.length * 49297;
  function random() { seed = (seed * 9301 + 49297) % 233280; return seed / 233280; }
  for (var i = 0; i < 7; i++) clouds.push({ x: random(), y: 0.08 + random() * 0.3, s: 0.6 + random(), v: 0.004 + random() * 0.01 });
  for (i = 0; i < 6; i++) birds.push({ x: random(), y: 0.2 + random() * 0.2, p: random() * 6 });
  for (i = 0; i < 3; i++) {
    var peaks = [];
    for (var k = 0; k < 12; k++) peaks.push(random());
    ridges.push(peaks);
  }

  function resize() {
    canvas.width = canvas.clientWidth;
    canvas.height = canvas.clientHeight;
  }
  window.addEventListener("resize", resize);
  resize();

  function two(n) { return (n < 10 ? "0" : "") + n; }
  function clock(s) { s = Math.floor(s); return two(Math.floor(s / 60)) + ":" + two(s % 60); }

  function cloud(x, y, s) {
    ctx.beginPath();
    ctx.arc(x, y, 26 * s, 0, Math.PI * 2);
    ctx.arc(x + 28 * s, y - 12 * s, 30 * s, 0, Math.PI * 2);
    ctx.arc(x + 60 * s, y, 24 * s, 0, Math.PI * 2);
    ctx.fill();
  }

  function frame(now) {
    var dt = (now - last) / 1000;
    last = now;
    if (playing) position = Math.min(total, position + dt);
    var w = canvas.width, h = canvas.height, t = position;

    var sky = ctx.createLinearGradient(0, 0, 0, h);
    sky.addColorStop(0, "hsl(" + (hue + 200) + ",45%,14%)");
    sky.addColorStop(0.55, "hsl(" + hue + ",70%,55%)");
    sky.addColorStop(1, "hsl(" + (hue + 20) + ",80%,72%)");
    ctx.fillStyle = sky;
    ctx.fillRect(0, 0, w, h);

    var sunY = h * (0.42 + 0.05 * Math.sin(t / 20));
    var glow = ctx.createRadialGradient(w * 0.7, sunY, 0, w * 0.7, sunY, h * 0.35);
    glow.addColorStop(0, "rgba(255,240,200,.95)");
    glow.addColorStop(0.12, "rgba(255,220,160,.8)");
    glow.addColorStop(1, "rgba(255,200,120,0)");
    ctx.fillStyle = glow;
    ctx.fillRect(0, 0, w, h);

    ctx.fillStyle = "rgba(255,255,255,.35)";
    clouds.forEach(function (c) {
      var x = ((c.x + t * c.v) % 1.3 - 0.15) * w;
      cloud(x, c.y * h, c.s * h / 500);
    });

    ridges.forEach(function (peaks, depth) {
      var span = w / (peaks.length - 2);
      var shift = (t * (6 + depth * 10)) % span;
      ctx.beginPath();
      ctx.moveTo(0, h);
      peaks.forEach(function (p, k) {
        ctx.lineTo(k * span - shift, h * (0.58 + depth * 0.1) - p * h * (0.22 - depth * 0.04));
      });
      ctx.lineTo(w + span, h);
      ctx.closePath();
      ctx.fillStyle = "hsla(" + (hue + 200) + ",25%," + (26 - depth * 8) + "%," + (0.6 + depth * 0.2) + ")";
      ctx.fill();
    });

    ctx.strokeStyle = "rgba(20,20,30,.8)";
    ctx.lineWidth = 2;
    birds.forEach(function (b) {
      var x = ((b.x + t * 0.02) % 1.1) * w, y = b.y * h + Math.sin(t + b.p) * 6;
      var flap = Math.sin(t * 8 + b.p) * 5;
      ctx.beginPath();
      ctx.moveTo(x - 9, y - flap);
      ctx.quadraticCurveTo(x - 4, y - 3, x, y);
      ctx.quadraticCurveTo(x + 4, y - 3, x + 9, y - flap);
      ctx.stroke();
    });

    // Film grain and a letterbox, for the look of a picture.
    ctx.fillStyle = "rgba(255,255,255,.035)";
    for (var g = 0; g < 120; g++) ctx.fillRect(Math.random() * w, Math.random() * h, 1.5, 1.5);
    ctx.fillStyle = "#000";
    ctx.fillRect(0, 0, w, h * 0.06);
    ctx.fillRect(0, h * 0.94, w, h * 0.06);

    var line = subtitles[Math.floor(t / 5) % subtitles.length];
    ctx.font = Math.max(16, Math.round(h / 24)) + "px 'WenQuanYi Micro Hei','Microsoft YaHei',sans-serif";
    ctx.textAlign = "center";
    ctx.lineWidth = 4;
    ctx.strokeStyle = "rgba(0,0,0,.75)";
    ctx.strokeText(line, w / 2, h * 0.86);
    ctx.fillStyle = "#fff";
    ctx.fillText(line, w / 2, h * 0.86);

    if (!playing) {
      ctx.fillStyle = "rgba(0,0,0,.35)";
      ctx.fillRect(0, 0, w, h);
      ctx.fillStyle = "rgba(255,255,255,.9)";
      var r = Math.min(w, h) * 0.07;
      ctx.beginPath();
      ctx.moveTo(w / 2 - r * 0.6, h / 2 - r);
      ctx.lineTo(w / 2 + r, h / 2);
      ctx.lineTo(w / 2 - r * 0.6, h / 2 + r);
      ctx.closePath();
      ctx.fill();
    }

    var done = position / total * 100;
    document.querySelector(".progress-done").style.width = done + "%";
    document.querySelector(".progress-knob").style.left = done + "%";
    document.querySelector(".progress-buffer").style.width = Math.min(100, done + 8) + "%";
    document.querySelector(".time-now").textContent = clock(position);
    requestAnimationFrame(frame);
  }
  requestAnimationFrame(frame);

  var button = document.querySelector(".ctl-play");
  function toggle() {
    playing = !playing;
    button.textContent = playing ? "❚❚" : "▶";
    button.setAttribute("aria-label", playing ? "暂停" : "播放");
  }
  button.addEventListener("click", toggle);
  canvas.addEventListener("click", toggle);

  var idle;
  function wake() {
    player.classList.remove("is-idle");
    clearTimeout(idle);
    idle = setTimeout(function () { if (playing) player.classList.add("is-idle"); }, 3000);
  }
  document.addEventListener("mousemove", wake);
  wake();
})();
