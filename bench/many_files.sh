#!/usr/bin/env bash
# Converts 1,000 small .scc files (the demo's captions, each under a name of its own) to SubRip
# three ways and prints the time of each and their ratios:
#   batch  one call, vantrel-cc convert --to srt --out-dir DIR --jobs JOBS FILES...
#   loop   a shell loop of single calls, vantrel-cc convert FILE DIR/NAME.srt
#   ffmpeg the same loop with ffmpeg -i FILE DIR/NAME.srt
# Usage: bench/many_files.sh [BUILD_DIR] [FILES] [JOBS]
# BUILD_DIR is configured here if needed (Release, no window, no tests).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
count=${2:-1000}
jobs=${3:-2}
# shellcheck source=bench/bench_build.sh
. bench/bench_build.sh
bench_build "$build" "-DVANTREL_GUI=OFF" vantrel-cc
cc=$build/vantrel-cc

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in" "$work/batch" "$work/loop" "$work/ffmpeg"
for k in $(seq -w 1 "$count"); do cp resources/demo/demo.scc "$work/in/episode$k.scc"; done

now() { date +%s%N; }
ms() { echo $(( ($2 - $1) / 1000000 )); }

t0=$(now)
"$cc" convert --to srt --out-dir "$work/batch" --jobs "$jobs" "$work"/in/*.scc 2> "$work/batch.log"
t1=$(now)
for f in "$work"/in/*.scc; do
  n=${f##*/}
  "$cc" convert "$f" "$work/loop/${n%.scc}.srt" 2>> "$work/loop.log"
done
t2=$(now)
for f in "$work"/in/*.scc; do
  n=${f##*/}
  ffmpeg -nostdin -v error -y -i "$f" "$work/ffmpeg/${n%.scc}.srt"
done
t3=$(now)

batch=$(ms "$t0" "$t1") loop=$(ms "$t1" "$t2") theirs=$(ms "$t2" "$t3")
count_of() { find "$1" -name '*.srt' | wc -l; }
echo "outputs: batch $(count_of "$work/batch"), loop $(count_of "$work/loop"), ffmpeg $(count_of "$work/ffmpeg")"
if ! cmp -s "$work/batch/episode$(seq -w 1 "$count" | head -1).srt" \
  "$work/loop/episode$(seq -w 1 "$count" | head -1).srt"; then
  echo "the batch and the loop wrote different files" >&2
  exit 1
fi
echo "$count files: batch --jobs $jobs ${batch} ms, loop of vantrel-cc ${loop} ms, loop of ffmpeg ${theirs} ms"
awk -v a="$batch" -v b="$loop" -v c="$theirs" 'BEGIN {
  printf "ratio batch / loop: %.3f, batch / ffmpeg loop: %.3f, loop / ffmpeg loop: %.3f\n", a / b, a / c, b / c }'
echo "target: batch under half of the loop of single calls, with 2 processors"
