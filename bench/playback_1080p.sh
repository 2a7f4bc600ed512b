#!/usr/bin/env bash
# Playback of a 1080p 29.97 video in a 1920 x 1080 window: makes the video with ffmpeg (a
# moving test pattern in H.264, as a camera file would be), plays it for SECONDS in the whole
# window under a virtual X server (offscreen when there is none), and prints the frames libmpv
# dropped and the CPU time per second of video. The video is removed afterwards.
# Usage: bench/playback_1080p.sh [BUILD_DIR] [SECONDS]
# Target: at most one frame dropped in 60 s on a 2-core machine.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench-gui}
seconds=${2:-60}
# shellcheck source=bench/bench_build.sh
. bench/bench_build.sh
bench_build "$build" "-DVANTREL_BENCH=ON" playback_bench

work=$(mktemp -d /tmp/vantrel-playback.XXXXXX)
trap 'rm -rf "$work"' EXIT
# The user's window layout and indexes stay out of it.
export XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_STATE_HOME=$work/state
frames=$(awk -v s="$seconds" 'BEGIN { print int((s + 5) * 30000 / 1001) }')
ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "testsrc2=s=1920x1080:r=30000/1001" \
  -frames:v "$frames" -c:v libx264 -preset veryfast -crf 23 -g 60 -pix_fmt yuv420p \
  "$work/hd.mp4"
if command -v xvfb-run > /dev/null; then
  xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bench/gui/playback_bench" "$work/hd.mp4" \
    "$seconds" 1920 1080
else
  QT_QPA_PLATFORM=offscreen "$build/bench/gui/playback_bench" "$work/hd.mp4" "$seconds" 1920 1080
fi
