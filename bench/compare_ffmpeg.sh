#!/usr/bin/env bash
# Times vantrel-cc and FFmpeg side by side on a three-hour file (about 3,000 captions), taking
# turns, and prints the median times and their ratio; then the start-up of `vantrel-cc --help`
# (median wall time, and median peak memory by /usr/bin/time; targets under 3 ms and 8 MiB).
# The jobs:
#   scc  our own export's .scc to SubRip (FFmpeg decodes the 608 data itself);
#   srt  a subtitle .srt to .scc; FFmpeg cannot write .scc, so its SubRip to ASS conversion
#        (read, parse the markup, write) stands beside ours as the reference.
#   rollup  real .scc files (pop-on and roll-up) one after another over 3.3 hours, to SubRip
#        (the samples folder beside the project's, ../shared/samples, or $VANTREL_SAMPLES_DIR).
# Usage: bench/compare_ffmpeg.sh [BUILD_DIR] [RUNS] [scc|srt|rollup]
# BUILD_DIR is configured here if needed (Release, benchmarks on, no window, no tests).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
runs=${2:-15}
job=${3:-scc}
# shellcheck source=bench/bench_build.sh
. bench/bench_build.sh
bench_build "$build" "-DVANTREL_BENCH=ON -DVANTREL_GUI=OFF" vantrel-cc caption_files_bench \
  subtitle_bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "$job" = srt ]; then
  "$build/bench/subtitle_bench" --make-srt "$work/feature.srt"
  input=feature.srt ours=ours.scc theirs=theirs.ass target="vantrel-cc under 100000 us"
elif [ "$job" = rollup ]; then
  samples=${VANTREL_SAMPLES_DIR:-../shared/samples}
  "$build/bench/caption_files_bench" --make-repeated-scc "$work/mixed.scc" \
    "$samples/pycaption_roll_up_ru2.scc" "$samples/libcaption_tos.scc" \
    "$samples/pycaption_roll_up_ru2.scc" "$samples/pycaption_pop_on.scc"
  input=mixed.scc ours=ours.srt theirs=theirs.srt target="ratio at most 0.1"
else
  "$build/bench/caption_files_bench" --make-scc "$work/feature.scc"
  input=feature.scc ours=ours.srt theirs=theirs.srt target="ratio at most 0.1"
fi

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
: > "$work/ours"; : > "$work/theirs"
for _ in $(seq "$runs"); do
  # Exit 1 says something was reported (the samples clip characters past column 32), with the
  # output written all the same; only a failure to convert stops the comparison.
  t0=$(now); status=0; "$build/vantrel-cc" convert "$work/$input" "$work/$ours" 2>/dev/null || status=$?
  t1=$(now)
  [ "$status" -le 1 ] || exit "$status"
  ffmpeg -nostdin -v error -y -i "$work/$input" "$work/$theirs"; t2=$(now)
  echo $(( (t1 - t0) / 1000 )) >> "$work/ours"
  echo $(( (t2 - t1) / 1000 )) >> "$work/theirs"
done
ours_us=$(median < "$work/ours")
theirs_us=$(median < "$work/theirs")
if [ "$job" = srt ]; then
  echo "captions: vantrel-cc $(grep -c '942F' "$work/$ours"), ffmpeg $(grep -c '^Dialogue' "$work/$theirs")"
else
  echo "cues: vantrel-cc $(grep -c -- '-->' "$work/$ours"), ffmpeg $(grep -c -- '-->' "$work/$theirs")"
fi
echo "median of $runs runs: vantrel-cc ${ours_us} us, ffmpeg ${theirs_us} us"
awk -v a="$ours_us" -v b="$theirs_us" 'BEGIN { printf "ratio vantrel-cc / ffmpeg: %.3f\n", a / b }'
echo "target: $target"

# Start-up: what every conversion pays before it reads a byte. /bin/true under the same loop
# shows what the loop itself costs.
startup_us() {
  : > "$work/start"
  for _ in $(seq $((runs * 4))); do
    t0=$(now); "$@" > /dev/null; t1=$(now)
    echo $(( (t1 - t0) / 1000 )) >> "$work/start"
  done
  median < "$work/start"
}
help_us=$(startup_us "$build/vantrel-cc" --help)
true_us=$(startup_us /bin/true)
: > "$work/rss"
for _ in $(seq "$runs"); do
  /usr/bin/time -f %M -o "$work/one" "$build/vantrel-cc" --help > /dev/null
  cat "$work/one" >> "$work/rss"
done
help_kib=$(median < "$work/rss")
awk -v us="$help_us" -v t="$true_us" -v kib="$help_kib" -v n=$((runs * 4)) 'BEGIN {
  printf "vantrel-cc --help: median %.1f ms of %d runs (/bin/true %.1f ms), peak memory %.1f MiB\n",
    us / 1000, n, t / 1000, kib / 1024 }'
echo "target: --help under 3 ms and 8 MiB"
