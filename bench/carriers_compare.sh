#!/usr/bin/env bash
# Times reading and embedding captions in an hour of 1080p video (a ten-second clip looped,
# removed afterwards) against FFmpeg's packet copies of the same file, taking turns, and prints
# the medians and their ratios:
#   reading the captions (vantrel-cc list) against `ffmpeg -i FILE -map 0:v -c copy -f null -`
#     (target at most 1.0);
#   embedding them (vantrel-cc mux, which writes, syncs and renames its output) against the
#     same durable remux, `ffmpeg -i SRC -c copy DST` followed by `sync DST` (target at most
#     1.1); `cp SRC DST` followed by `sync DST` is shown beside them, the least a durable copy
#     of the file costs.
# Usage: bench/carriers_compare.sh [BUILD_DIR] [RUNS] [h264|hevc|mpeg2]
#   h264 and hevc in MP4, mpeg2 in MPEG-TS. BUILD_DIR is configured here if needed (Release,
#   no window, no tests).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
runs=${2:-5}
codec=${3:-h264}
# shellcheck source=bench/bench_build.sh
. bench/bench_build.sh
bench_build "$build" "-DVANTREL_GUI=OFF" vantrel-cc

case $codec in
  h264) encode=(-c:v libx264 -preset ultrafast -b:v 1M -g 60 -bf 2) ext=mp4 ;;
  hevc) encode=(-c:v libx265 -preset ultrafast -b:v 1M -g 60 -bf 2 -tag:v hvc1 -x265-params log-level=error) ext=mp4 ;;
  mpeg2) encode=(-c:v mpeg2video -b:v 4M -g 15 -bf 2) ext=ts ;;
  *) echo "unknown codec $codec (h264, hevc or mpeg2)" >&2; exit 2 ;;
esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=1920x1080:rate=30000/1001 -t 10 \
  "${encode[@]}" "$work/clip.$ext"
ffmpeg -nostdin -v error -stream_loop 359 -i "$work/clip.$ext" -c copy "$work/hour.$ext"
rm "$work/clip.$ext"
"$build/vantrel-cc" mux resources/demo/demo.ccp "$work/hour.$ext" "$work/captioned.$ext" || true

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Milliseconds a command takes, appended to a file; writeback of the run before is done first.
timed() {
  local into=$1 t0 t1
  shift
  sync
  t0=$(now)
  "$@"
  t1=$(now)
  echo $(((t1 - t0) / 1000000)) >> "$work/$into"
}
mux() { "$build/vantrel-cc" mux resources/demo/demo.ccp "$work/hour.$ext" "$work/out.$ext" || true; }
remux() { ffmpeg -nostdin -v error -y -i "$work/hour.$ext" -c copy "$work/copy.$ext" && sync "$work/copy.$ext"; }
copy() { cp "$work/hour.$ext" "$work/cp.$ext" && sync "$work/cp.$ext"; }
: > "$work/read"; : > "$work/null"; : > "$work/mux"; : > "$work/remux"; : > "$work/cp"
for _ in $(seq "$runs"); do
  timed read "$build/vantrel-cc" list "$work/captioned.$ext" > /dev/null
  timed null ffmpeg -nostdin -v error -i "$work/captioned.$ext" -map 0:v -c copy -f null -
  timed mux mux
  timed remux remux
  timed cp copy
  rm -f "$work/out.$ext" "$work/copy.$ext" "$work/cp.$ext"
done
read_ms=$(median < "$work/read"); null_ms=$(median < "$work/null")
mux_ms=$(median < "$work/mux"); remux_ms=$(median < "$work/remux"); cp_ms=$(median < "$work/cp")
echo "median of $runs runs on $(du -h "$work/hour.$ext" | cut -f1) of 1080p $codec in .$ext:"
echo "read:  vantrel-cc list ${read_ms} ms, ffmpeg -c copy -f null ${null_ms} ms"
awk -v a="$read_ms" -v b="$null_ms" 'BEGIN { printf "ratio reading / ffmpeg: %.2f (target at most 1.0)\n", a / b }'
echo "embed: vantrel-cc mux ${mux_ms} ms, ffmpeg -c copy + sync ${remux_ms} ms, cp + sync ${cp_ms} ms"
awk -v a="$mux_ms" -v b="$remux_ms" -v c="$cp_ms" 'BEGIN {
  printf "ratio embedding / (ffmpeg -c copy + sync): %.2f (target at most 1.1); / (cp + sync): %.2f\n", a / b, a / c }'
