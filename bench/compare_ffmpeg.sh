#!/usr/bin/env bash
# Converts a three-hour .scc file (about 3,000 captions, written by our own export) to SubRip
# with vantrel-cc and with FFmpeg, taking turns, and prints the median times and their ratio.
# Usage: bench/compare_ffmpeg.sh [BUILD_DIR] [RUNS]
# BUILD_DIR is configured here if needed (Release, benchmarks on, no window, no tests).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
runs=${2:-15}
command -v ffmpeg > /dev/null || { echo "ffmpeg is not installed" >&2; exit 1; }
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVANTREL_BENCH=ON -DVANTREL_GUI=OFF \
    -DVANTREL_TESTS=OFF > /dev/null
fi
cmake --build "$build" -j2 --target vantrel-cc caption_files_bench > /dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/caption_files_bench" --make-scc "$work/feature.scc"

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
: > "$work/ours"; : > "$work/theirs"
for _ in $(seq "$runs"); do
  t0=$(now); "$build/src/cli/vantrel-cc" convert "$work/feature.scc" "$work/ours.srt"; t1=$(now)
  ffmpeg -nostdin -v error -y -i "$work/feature.scc" "$work/theirs.srt"; t2=$(now)
  echo $(( (t1 - t0) / 1000 )) >> "$work/ours"
  echo $(( (t2 - t1) / 1000 )) >> "$work/theirs"
done
ours=$(median < "$work/ours")
theirs=$(median < "$work/theirs")
echo "cues: vantrel-cc $(grep -c -- '-->' "$work/ours.srt"), ffmpeg $(grep -c -- '-->' "$work/theirs.srt")"
echo "median of $runs runs: vantrel-cc ${ours} us, ffmpeg ${theirs} us"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "ratio vantrel-cc / ffmpeg: %.3f (target: at most 0.5)\n", a / b }'
