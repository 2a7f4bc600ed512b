#!/usr/bin/env bash
# Times vantrel-cc and ttconv side by side on a three-hour .scc (about 3,000 captions), taking
# turns: .scc to TTML and that TTML back. ttconv writes no .scc, so its way back is TTML to
# SubRip (read, the same model, a text writer). Prints the median times and their ratio.
# Usage: bench/timed_text_compare.sh [BUILD_DIR] [RUNS]
# BUILD_DIR is configured here if needed (Release, benchmarks on, no window, no tests).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
runs=${2:-5}
command -v ttconv > /dev/null || { echo "ttconv is not installed" >&2; exit 1; }
# shellcheck source=bench/bench_build.sh
. bench/bench_build.sh
bench_build "$build" "-DVANTREL_BENCH=ON -DVANTREL_GUI=OFF" vantrel-cc caption_files_bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/caption_files_bench" --make-scc "$work/feature.scc"

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
: > "$work/ours"; : > "$work/theirs"
for _ in $(seq "$runs"); do
  t0=$(now)
  "$build/vantrel-cc" convert "$work/feature.scc" "$work/ours.ttml"
  "$build/vantrel-cc" convert "$work/ours.ttml" "$work/back.scc"
  t1=$(now)
  ttconv convert -i "$work/feature.scc" -o "$work/theirs.ttml" > /dev/null 2>&1
  ttconv convert --itype TTML -i "$work/theirs.ttml" -o "$work/theirs.srt" > /dev/null 2>&1
  t2=$(now)
  echo $(( (t1 - t0) / 1000 )) >> "$work/ours"
  echo $(( (t2 - t1) / 1000 )) >> "$work/theirs"
done
ours_us=$(median < "$work/ours")
theirs_us=$(median < "$work/theirs")
echo "captions: vantrel-cc $(grep -c '<p ' "$work/ours.ttml") <p> and $(grep -c '942F' "$work/back.scc") back, ttconv $(grep -o '<[a-z:]*p ' "$work/theirs.ttml" | wc -l) <p> and $(grep -c -- '-->' "$work/theirs.srt") cues"
echo "median of $runs runs: vantrel-cc ${ours_us} us, ttconv ${theirs_us} us"
awk -v a="$ours_us" -v b="$theirs_us" 'BEGIN { printf "ratio vantrel-cc / ttconv: %.3f\n", a / b }'
echo "target: ratio at most 0.1"
