#!/usr/bin/env bash
# Times reading and embedding captions in a one-hour 1080p H.264 MP4 (a ten-second clip looped,
# removed afterwards) against FFmpeg's packet copies of the same file, taking turns, and prints
# the two ratios: reading the captions against `ffmpeg -i FILE -map 0:v -c copy -f null -`, and
# embedding them against `ffmpeg -i SRC -c copy DST`. Each should be at most 2.
# Usage: bench/carriers_compare.sh [BUILD_DIR] [RUNS]
# BUILD_DIR is configured here if needed (Release, no window, no tests).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
runs=${2:-3}
# shellcheck source=bench/bench_build.sh
. bench/bench_build.sh
bench_build "$build" "-DVANTREL_GUI=OFF" vantrel-cc

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=1920x1080:rate=30000/1001 -t 10 \
  -c:v libx264 -preset ultrafast -b:v 1M -g 60 -bf 2 "$work/clip.mp4"
ffmpeg -nostdin -v error -stream_loop 359 -i "$work/clip.mp4" -c copy "$work/hour.mp4"
rm "$work/clip.mp4"
"$build/vantrel-cc" mux resources/demo/demo.ccp "$work/hour.mp4" "$work/captioned.mp4" || true

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
: > "$work/read"; : > "$work/null"; : > "$work/mux"; : > "$work/copy"
for _ in $(seq "$runs"); do
  t0=$(now); "$build/vantrel-cc" list "$work/captioned.mp4" > /dev/null; t1=$(now)
  ffmpeg -nostdin -v error -i "$work/captioned.mp4" -map 0:v -c copy -f null -; t2=$(now)
  "$build/vantrel-cc" mux resources/demo/demo.ccp "$work/hour.mp4" "$work/out.mp4" || true; t3=$(now)
  ffmpeg -nostdin -v error -y -i "$work/hour.mp4" -c copy "$work/copy.mp4"; t4=$(now)
  echo $(( (t1 - t0) / 1000000 )) >> "$work/read"
  echo $(( (t2 - t1) / 1000000 )) >> "$work/null"
  echo $(( (t3 - t2) / 1000000 )) >> "$work/mux"
  echo $(( (t4 - t3) / 1000000 )) >> "$work/copy"
done
read_ms=$(median < "$work/read"); null_ms=$(median < "$work/null")
mux_ms=$(median < "$work/mux"); copy_ms=$(median < "$work/copy")
echo "median of $runs runs on $(du -h "$work/hour.mp4" | cut -f1) of 1080p H.264:"
echo "read:  vantrel-cc list ${read_ms} ms, ffmpeg -c copy -f null ${null_ms} ms"
awk -v a="$read_ms" -v b="$null_ms" 'BEGIN { printf "ratio reading / ffmpeg: %.2f (target at most 2)\n", a / b }'
echo "embed: vantrel-cc mux ${mux_ms} ms, ffmpeg -c copy ${copy_ms} ms"
awk -v a="$mux_ms" -v b="$copy_ms" 'BEGIN { printf "ratio embedding / ffmpeg: %.2f (target at most 2)\n", a / b }'
