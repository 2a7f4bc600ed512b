#!/usr/bin/env bash
# Extraction and multiplexing of a 1 GiB MPEG-2 stream from the page cache, side by side with
# cat and dd bs=64k (reading the same file) and cp followed by a sync of the copy (a durable
# copy, as the multiplex's own output is: written, synced, renamed), as throughput ratios; and
# the peak memory of each operation. The stream is a 720x480 FFmpeg encode at 8 Mbit/s repeated
# to 1 GiB; the multiplex puts an hour of captions into it and the extraction reads the
# multiplexed copy.
#
#   bench/mpeg_throughput.sh [BUILD_DIR] [ROUNDS]   (default build/bench, configured here if
#                                                   needed: Release, benchmarks on, no window)
# Targets: extraction >= 0.9 of dd bs=64k, multiplex >= 0.8 of cp + sync, peak memory < 64 MiB.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
rounds=${2:-5}
# shellcheck source=bench/bench_build.sh
. bench/bench_build.sh
bench_build "$build" "-DVANTREL_BENCH=ON -DVANTREL_GUI=OFF" mpeg_bench
bench=$build/bench/mpeg_bench

work=$(mktemp -d /tmp/vantrel-mpeg-throughput.XXXXXX)
trap 'rm -rf "$work"' EXIT
size=$((1 << 30))

ffmpeg -hide_banner -loglevel error -f lavfi -i testsrc2=size=720x480:rate=30000/1001 \
    -frames:v 900 -c:v mpeg2video -b:v 8M -maxrate 9M -bufsize 1835k -g 15 -bf 2 \
    -f mpeg2video "$work/base.m2v"
: >"$work/stream.m2v"
while [ "$(stat -c %s "$work/stream.m2v")" -lt "$size" ]; do cat "$work/base.m2v" >>"$work/stream.m2v"; done
truncate -s "$size" "$work/stream.m2v"
rm "$work/base.m2v"

# Microseconds a command takes; a sync first, so that writeback of an earlier run does not land
# in this one.
micros() {
    sync
    local t0 t1
    t0=$(date +%s%N)
    "$@"
    t1=$(date +%s%N)
    echo $(((t1 - t0) / 1000))
}
cat_to_null() { cat "$1" >/dev/null; }
cp_synced() { cp "$1" "$2" && sync "$2"; }
dd_to_null() { dd if="$1" of=/dev/null bs=64k status=none; }
# Bytes per second of one run of a benchmark on a stream, and its peak resident memory in MiB.
bench_run() {
    sync
    local json
    json=$(VANTREL_MPEG_STREAM=$1 VANTREL_MPEG_OUTPUT=$2 "$bench" --benchmark_filter="^$3/" \
        --benchmark_min_time=0.01 --benchmark_format=json 2>/dev/null)
    python3 -c 'import json,sys; b=json.loads(sys.argv[1])["benchmarks"][0]; print(int(b["bytes_per_second"]), b["peak_rss_mib"])' "$json"
}

stream=$work/stream.m2v
captioned=$work/captioned.m2v
# The multiplexed copy, with its captions, is what the extraction reads.
bench_run "$stream" "$captioned" BM_Multiplex >/dev/null
cat_to_null "$stream"
cat_to_null "$captioned"

# Rounds of every measurement in turn, so that other load on the machine spreads over all of
# them; the best of each counts.
results=()
for _ in $(seq "$rounds"); do
    results+=("cat $(micros cat_to_null "$stream")")
    results+=("cp $(micros cp_synced "$stream" "$work/copy.m2v")")
    rm -f "$work/copy.m2v"
    results+=("mux $(bench_run "$stream" "$work/out.m2v" BM_Multiplex)")
    rm -f "$work/out.m2v"
    results+=("cat2 $(micros cat_to_null "$captioned")")
    results+=("dd2 $(micros dd_to_null "$captioned")")
    results+=("extract $(bench_run "$captioned" "$work/out.m2v" BM_Extract)")
    results+=("read $(bench_run "$captioned" "$work/out.m2v" BM_ReadUnits)")
done

printf '%s\n' "${results[@]}" | python3 -c '
import sys
size = int(sys.argv[1])
best, rss = {}, {}
for line in sys.stdin:
    name, value, *more = line.split()
    rate = size / (int(value) / 1e6) if name in ("cat", "cp", "cat2", "dd2") else int(value)
    best[name] = max(best.get(name, 0), rate)
    if more:
        rss[name] = max(rss.get(name, 0), float(more[0]))
mib = 1 << 20
def row(label, name, base, base_label, target):
    line = "%-10s %8.0f MiB/s" % (label, best[name] / mib)
    if base:
        line += "  %5.2f x %-7s peak RSS %5.1f MiB" % (best[name] / best[base], base_label, rss[name])
    if target:
        line += "  (target >= %s)" % target
    print(line)
row("cat", "cat", None, "", "")
row("cp + sync", "cp", None, "", "")
row("read units", "read", "cat2", "cat", "")
row("dd bs=64k", "dd2", None, "", "")
row("extract", "extract", "cat2", "cat", "")
row("extract", "extract", "dd2", "dd", "0.90")
row("multiplex", "mux", "cp", "cp+sync", "0.80")
print("peak RSS target: under 64 MiB; best of %s rounds" % sys.argv[2])
' "$size" "$rounds"
