#!/usr/bin/env bash
# Makes what the demo site's play pages stream, so that no video file is committed:
#   site/media/clip.mp4         H.264 (baseline) + AAC
#   site/media/clip.webm        VP9 + Opus
#   site/media/hls/index.m3u8   HLS: H.264 + AAC in MPEG-TS segments of 2 s
#   site/vendor/hls.min.js      hls.js from demo/node_modules (npm ci, pinned by the lock file)
# A test picture with a running clock and a tone, a few seconds each, at a small size. Files
# already there are kept; --force makes them again.
set -euo pipefail
demo="$(cd "$(dirname "$0")/.." && pwd)"
media="$demo/site/media"
vendor="$demo/site/vendor"
force=0
[ "${1:-}" = "--force" ] && force=1

seconds=8
picture="testsrc=size=480x270:rate=25:duration=$seconds"
tone="sine=frequency=440:beep_factor=2:sample_rate=48000:duration=$seconds"
ff=(ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "$picture" -f lavfi -i "$tone")

# Writes beside the target and renames, so an interrupted run leaves no half file behind.
produce() {
  local target="$1"
  shift
  if [ "$force" -eq 0 ] && [ -s "$target" ]; then return; fi
  mkdir -p "$(dirname "$target")"
  "$@"
}

mp4() {
  "${ff[@]}" -c:v libx264 -profile:v baseline -pix_fmt yuv420p -g 50 -c:a aac -b:a 64k \
    -movflags +faststart "$media/clip.tmp.mp4"
  mv "$media/clip.tmp.mp4" "$media/clip.mp4"
}
webm() {
  "${ff[@]}" -c:v libvpx-vp9 -b:v 300k -deadline realtime -cpu-used 8 -g 50 \
    -c:a libopus -b:a 48k "$media/clip.tmp.webm"
  mv "$media/clip.tmp.webm" "$media/clip.webm"
}
hls() {
  local tmp="$media/hls.tmp"
  rm -rf "$tmp"
  mkdir -p "$tmp"
  "${ff[@]}" -c:v libx264 -profile:v baseline -pix_fmt yuv420p -g 50 -c:a aac -b:a 64k \
    -f hls -hls_time 2 -hls_playlist_type vod -hls_segment_filename "$tmp/part%d.ts" \
    "$tmp/index.m3u8"
  rm -rf "$media/hls"
  mv "$tmp" "$media/hls"
}

produce "$media/clip.mp4" mp4
produce "$media/clip.webm" webm
produce "$media/hls/index.m3u8" hls

hlsjs="$demo/node_modules/hls.js/dist/hls.min.js"
if [ ! -f "$hlsjs" ]; then
  (cd "$demo" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
fi
mkdir -p "$vendor"
if ! cmp -s "$hlsjs" "$vendor/hls.min.js"; then
  cp "$hlsjs" "$vendor/hls.min.js.tmp"
  mv "$vendor/hls.min.js.tmp" "$vendor/hls.min.js"
fi
