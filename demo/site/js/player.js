// The play page's player: an HTML5 video (a file, or an HLS stream through hls.js) that starts
// on load, with its own control bar: play and pause, a seek bar, the time, sound, full screen.
(function () {
  "use strict";

  var player = document.querySelector(".player");
  var video = document.querySelector("video.screen");
  var playButton = document.querySelector(".ctl-play");
  var bigPlay = document.querySelector(".big-play");
  var muteButton = document.querySelector(".ctl-mute");
  var fullButton = document.querySelector(".ctl-full");
  var pipButton = document.querySelector(".ctl-pip");
  var progress = document.querySelector(".progress");
  var done = document.querySelector(".progress-done");
  var knob = document.querySelector(".progress-knob");
  var buffer = document.querySelector(".progress-buffer");
  var timeNow = document.querySelector(".time-now");
  var timeTotal = document.querySelector(".time-total");
  var notice = document.querySelector(".notice");

  function two(n) { return (n < 10 ? "0" : "") + n; }
  function clock(s) {
    s = isFinite(s) && s > 0 ? Math.floor(s) : 0;
    return two(Math.floor(s / 60)) + ":" + two(s % 60);
  }

  function failed() {
    player.classList.add("is-failed");
    notice.hidden = false;
    bigPlay.hidden = true;
  }

  // The stream: HLS through hls.js where Media Source exists, natively where the engine plays
  // HLS itself, otherwise the file in src.
  var hlsUrl = video.getAttribute("data-hls");
  if (hlsUrl) {
    if (window.Hls && window.Hls.isSupported()) {
      var hls = new window.Hls();
      hls.on(window.Hls.Events.ERROR, function (event, data) {
        if (data && data.fatal) failed();
      });
      hls.loadSource(hlsUrl);
      hls.attachMedia(video);
    } else if (video.canPlayType("application/vnd.apple.mpegurl")) {
      video.src = hlsUrl;
    } else {
      failed();
    }
  }
  video.addEventListener("error", failed);
  // A source that failed before this script ran (a quick 404) fired its error already.
  if (video.error || video.networkState === video.NETWORK_NO_SOURCE) failed();

  function start() {
    var p = video.play();
    // Refused (no gesture allowed, or nothing to play yet): the big button waits for a click.
    if (p && p.catch) p.catch(function () { if (!player.classList.contains("is-failed")) bigPlay.hidden = false; });
  }
  start();

  function showState() {
    var paused = video.paused;
    player.classList.toggle("is-paused", paused);
    playButton.setAttribute("aria-label", paused ? "播放" : "暂停");
    if (!paused) bigPlay.hidden = true;
  }
  ["play", "playing", "pause", "ended"].forEach(function (e) { video.addEventListener(e, showState); });
  // When the picture first moved (the play-click benchmark reads it).
  video.addEventListener("playing", function () {
    if (!window.firstPlayingAt) window.firstPlayingAt = Date.now();
  });
  showState();

  // The site's own continuous play, as many catalogues offer it: with it on (the browser's
  // storage holds "demo-continuous" = "1"), the page goes to the next episode by itself at the end.
  video.addEventListener("ended", function () {
    var next = document.querySelector(".ctl-next");
    var on = false;
    try { on = window.localStorage.getItem("demo-continuous") === "1"; } catch (e) {}
    if (next && on) window.location.href = next.href;
  });

  function toggle() {
    if (player.classList.contains("is-failed")) return;
    if (video.paused || video.ended) start(); else video.pause();
  }
  playButton.addEventListener("click", toggle);
  bigPlay.addEventListener("click", toggle);
  video.addEventListener("click", toggle);

  function showTime() {
    var total = video.duration;
    var at = video.currentTime;
    var part = isFinite(total) && total > 0 ? at / total * 100 : 0;
    done.style.width = part + "%";
    knob.style.left = part + "%";
    var end = 0;
    for (var i = 0; i < video.buffered.length; i++) end = Math.max(end, video.buffered.end(i));
    buffer.style.width = (isFinite(total) && total > 0 ? Math.min(100, end / total * 100) : 0) + "%";
    timeNow.textContent = clock(at);
    timeTotal.textContent = clock(total);
  }
  ["timeupdate", "durationchange", "progress", "loadedmetadata"].forEach(function (e) {
    video.addEventListener(e, showTime);
  });

  progress.addEventListener("click", function (e) {
    var box = progress.getBoundingClientRect();
    if (!isFinite(video.duration) || box.width <= 0) return;
    video.currentTime = Math.max(0, Math.min(1, (e.clientX - box.left) / box.width)) * video.duration;
  });

  function showSound() {
    player.classList.toggle("is-muted", video.muted);
    muteButton.setAttribute("aria-label", video.muted ? "打开声音" : "静音");
  }
  muteButton.addEventListener("click", function () { video.muted = !video.muted; });
  video.addEventListener("volumechange", showSound);
  showSound();

  // Full screen takes the whole player, controls included, so it can be left from its own bar.
  function fullElement() { return document.fullscreenElement || document.webkitFullscreenElement; }
  fullButton.addEventListener("click", function () {
    if (fullElement()) {
      (document.exitFullscreen || document.webkitExitFullscreen).call(document);
    } else {
      var ask = player.requestFullscreen || player.webkitRequestFullscreen;
      var p = ask.call(player);
      if (p && p.catch) p.catch(function () { player.classList.remove("is-full"); });
    }
  });
  video.addEventListener("dblclick", function () { fullButton.click(); });
  document.addEventListener("fullscreenchange", function () {
    var full = !!fullElement();
    player.classList.toggle("is-full", full);
    fullButton.setAttribute("aria-label", full ? "退出全屏" : "全屏");
  });

  // Picture-in-picture: the video alone in a small window of its own; the button takes it there
  // and back. Where there is none, the button is not shown.
  if (!document.pictureInPictureEnabled || !video.requestPictureInPicture) {
    pipButton.hidden = true;
  }
  pipButton.addEventListener("click", function () {
    var p = document.pictureInPictureElement ? document.exitPictureInPicture()
                                             : video.requestPictureInPicture();
    if (p && p.catch) p.catch(function (e) { window.pipError = e && e.name; });
  });
  video.addEventListener("enterpictureinpicture", function () { player.classList.add("is-pip"); });
  video.addEventListener("leavepictureinpicture", function () {
    player.classList.remove("is-pip");
  });

  var idle;
  function wake() {
    player.classList.remove("is-idle");
    clearTimeout(idle);
    idle = setTimeout(function () { if (!video.paused) player.classList.add("is-idle"); }, 3000);
  }
  document.addEventListener("mousemove", wake);
  wake();
})();
