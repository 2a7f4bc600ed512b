#!/usr/bin/env bash
# The timing tools' reading of a video, against FFmpeg's own decoding of the same file:
#   waveform OURS_MS FFMPEG_DECODE_MS RATIO   a 2-hour programme's sound read into peaks, and
#                                             `ffmpeg -i FILE -map 0:a:0 -f null -` (target 1.5)
#   shots FOUND EXPECTED FALSE                 cuts of a clip of joined test patterns found within
#                                             a frame, and changes found where there is no cut
#   shots_speed CODEC TIMES                    frames scored per second of video (target 4 for
#                                             1080p H.264, 20 for SD MPEG-2)
#   peaks_bytes_3h BYTES                       the peaks of 3 hours of sound (target 32 MiB)
#   timeline_paint_ms ...                      the timeline's bench/gui/timeline_paint, when built
# Each is timed at normal priority, as ffmpeg is (the window reads at idle priority), the best
# of two runs. The files are made in a temporary folder and removed afterwards.
#
#   bench/timing_tools.sh [BUILD_DIR]   (default build/bench-gui, configured here if needed:
#                                        Release, benchmarks and the window on, no tests)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench-gui}
# shellcheck source=bench/bench_build.sh
. bench/bench_build.sh
bench_build "$build" "-DVANTREL_BENCH=ON" media_tools_bench timeline_paint
bench=$build/bench/media_tools_bench

work=$(mktemp -d /tmp/vantrel-timing-tools.XXXXXX)
trap 'rm -rf "$work"' EXIT
make() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
millis() {
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null
    t1=$(date +%s%N)
    echo $(((t1 - t0) / 1000000))
}
best() {
    local a b
    a=$(millis "$@")
    b=$(millis "$@")
    echo $((a < b ? a : b))
}

# A minute of a small picture and stereo AAC sound (a tone that wanders, with noise), looped
# to two hours without re-encoding.
make -f lavfi -i testsrc=s=320x240:r=30000/1001:d=60 \
    -f lavfi -i "aevalsrc=0.4*sin(2*PI*(300+200*sin(t))*t)+0.1*(random(0)-0.5)|0.3*sin(2*PI*500*t):s=48000:d=60" \
    -c:v libx264 -preset ultrafast -c:a aac -b:a 128k -shortest "$work/minute.mp4"
make -stream_loop 119 -i "$work/minute.mp4" -c copy "$work/programme.mp4"
rm "$work/minute.mp4"
ours=$(best "$bench" peaks "$work/programme.mp4")
theirs=$(best ffmpeg -nostdin -v error -i "$work/programme.mp4" -map 0:a:0 -f null -)
echo "waveform $ours $theirs $(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')"
rm "$work/programme.mp4"

# Six shots of different test patterns; the cuts are where each begins.
lengths=(37 45 31 50 29 40)
sources=(testsrc smptebars mandelbrot testsrc2 rgbtestsrc cellauto)
inputs=() graph="" joined="" cuts=() at=0
for i in "${!lengths[@]}"; do
    inputs+=(-f lavfi -i "${sources[$i]}=s=640x360:r=30000/1001")
    graph+="[$i]trim=end_frame=${lengths[$i]},setpts=PTS-STARTPTS,format=yuv420p[s$i];"
    joined+="[s$i]"
    [ "$at" -gt 0 ] && cuts+=("$at")
    at=$((at + lengths[i]))
done
make "${inputs[@]}" -filter_complex "${graph}${joined}concat=n=6[v]" -map "[v]" \
    -c:v libx264 -preset veryfast "$work/cuts.mp4"
found=$("$bench" shots "$work/cuts.mp4" | sed 's/.* changes//')
python3 - "${cuts[*]}" "$found" <<'PY'
import sys
cuts = [int(c) for c in sys.argv[1].split()]
found = [int(f) for f in sys.argv[2].split()]
hit = [c for c in cuts if any(abs(f - c) <= 1 for f in found)]
false = [f for f in found if all(abs(f - c) > 1 for c in cuts)]
print("shots", len(hit), len(cuts), len(false))
PY

# Speed: 10 s of 1080p H.264 at 10 Mbit/s and 30 s of SD MPEG-2 at 6 Mbit/s, with some noise
# so that they cost what real pictures cost to decode.
make -f lavfi -i "testsrc2=s=1920x1080:r=30000/1001:d=10,noise=alls=3:allf=t" -c:v libx264 \
    -preset veryfast -b:v 10M -maxrate 12M -bufsize 8M "$work/hd.mp4"
make -f lavfi -i "testsrc2=s=720x480:r=30000/1001:d=30,noise=alls=6:allf=t" -c:v mpeg2video \
    -b:v 6M -maxrate 8M -bufsize 1835k -g 15 -bf 2 "$work/sd.mpg"
for clip in "h264_1080p hd.mp4 10" "mpeg2_sd sd.mpg 30"; do
    set -- $clip
    ms=$(best "$bench" shots "$work/$2")
    echo "shots_speed $1 $(awk -v s="$3" -v ms="$ms" 'BEGIN { printf "%.1f", s * 1000 / ms }')"
done

echo "peaks_bytes_3h $("$bench" memory 10800 | awk '{ print $2 }')"

paint=$(find "$build/bench" -name timeline_paint -type f -perm -u+x 2>/dev/null | head -1)
if [ -n "$paint" ]; then
    painted=$(QT_QPA_PLATFORM=offscreen "$paint" 2>&1 || true)
    if grep -q '^timeline_paint_ms' <<<"$painted"; then
        grep '^timeline_paint_ms' <<<"$painted"
    else
        echo "timeline_paint_ms $(tr '\n' ' ' <<<"$painted")"
    fi
fi
