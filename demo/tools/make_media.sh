#!/usr/bin/env bash
# Makes what the demo site's play pages stream, so that no video file is committed:
#   site/media/clip.mp4         H.264 (baseline) + AAC
#   site/media/clip.webm        VP9 + Opus
#   site/media/hls/index.m3u8   HLS: H.264 + AAC in MPEG-TS segments of 2 s
#   site/media/episode.mp4      the demo series' short episodes: 5 s, H.264 + AAC
#   site/media/long.mp4         its long episode, to try resume by hand: 75 s, small and grainy
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

# A short clip for the series' episodes and a long one at a tiny size and bit rate: its seconds
# matter, not its picture.
series_clip() {
  local name="$1" secs="$2" size="$3" rate="$4" vbits="$5"
  ffmpeg -hide_banner -loglevel error -nostdin -y \
    -f lavfi -i "testsrc=size=$size:rate=$rate:duration=$secs" \
    -f lavfi -i "sine=frequency=330:beep_factor=4:sample_rate=22050:duration=$secs" \
    -c:v libx264 -profile:v baseline -pix_fmt yuv420p -g "$((rate * 2))" -b:v "$vbits" \
    -c:a aac -b:a 24k -ac 1 -movflags +faststart "$media/$name.tmp.mp4"
  mv "$media/$name.tmp.mp4" "$media/$name.mp4"
}

produce "$media/clip.mp4" mp4
produce "$media/clip.webm" webm
produce "$media/hls/index.m3u8" hls
produce "$media/episode.mp4" series_clip episode 5 320x180 25 150k
produce "$media/long.mp4" series_clip long 75 192x108 10 40k

hlsjs="$demo/node_modules/hls.js/dist/hls.min.js"
if [ ! -f "$hlsjs" ]; then
  (cd "$demo" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
fi
mkdir -p "$vendor"
if ! cmp -s "$hlsjs" "$vendor/hls.min.js"; then
  cp "$hlsjs" "$vendor/hls.min.js.tmp"
  mv "$vendor/hls.min.js.tmp" "$vendor/hls.min.js"
fi
