#!/usr/bin/env bash
# Frame access of the media player against bare libmpv: makes four test files with ffmpeg,
# runs our player (video_compare) and a minimal libmpv program with the same options and render
# API (mpv_baseline) on the same files and targets, taking turns, and prints for each file and
# operation one line
#   FILE OP OURS_MS LIBMPV_MS RATIO
# (medians; plus1 steps onto new frames, minus1 steps back over the frames just shown).
# Then two feature-length files made by copying one-minute clips end to end, removed once
# measured: two hours of SD MPEG-2 in a program stream (the clip 120 times) and an hour of
# 1080p H.264 in MP4 (60 times). For each, in medians over the rounds, besides open (the index
# not kept from before), seek, plus1 and minus1: reopen, seek_early (seeks to the first targets
# right after each open, against libmpv's seeks to the same targets right after its opens) and
#   FILE index MS 0 0
# the time from the start of the last open until the whole index is known. Every run checks that the
# file opened with its right frame count.
# Then a long back-and-forth session over a 10-minute 1080p file, with its peak memory.
# Usage: bench/video_compare.sh [BUILD_DIR] [ROUNDS]
# BUILD_DIR is configured here if needed (Release, benchmarks on, no tests).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench-gui}
rounds=${2:-3}
# shellcheck source=bench/bench_build.sh
. bench/bench_build.sh
bench_build "$build" "-DVANTREL_BENCH=ON" video_compare mpv_baseline

work=$(mktemp -d /tmp/vantrel-video-compare.XXXXXX)
trap 'rm -rf "$work"' EXIT
# Indexes kept from an earlier run would make the opens look faster than a first one is.
export XDG_CACHE_HOME=$work/cache
fps=29.97002997
make_video() {  # NAME FRAMES SOURCE_SIZE then encoder arguments
  local name=$1 frames=$2 size=$3
  shift 3
  ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "testsrc2=s=$size:r=30000/1001" \
    -f lavfi -i "sine=f=440:r=48000" -frames:v "$frames" -shortest "$@" "$work/$name"
}
declare -A frames=([sd15.m2v]=600 [ps15.mpg]=600 [hd60.mp4]=600 [hd250.mp4]=750)
make_video sd15.m2v 600 640x480 -an -c:v mpeg2video -b:v 6M -g 15 -bf 2
make_video ps15.mpg 600 720x480 -c:v mpeg2video -b:v 6M -g 15 -bf 2 -c:a mp2 -f vob
make_video hd60.mp4 600 1920x1080 -c:v libx264 -preset veryfast -crf 23 -g 60 -pix_fmt yuv420p \
  -c:a aac
make_video hd250.mp4 750 1920x1080 -c:v libx264 -preset veryfast -crf 23 -g 250 \
  -pix_fmt yuv420p -c:a aac

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for file in sd15.m2v ps15.mpg hd60.mp4 hd250.mp4; do
  n=${frames[$file]}
  targets=$(awk -v n="$n" -v seed=$((n * 7)) 'BEGIN { srand(seed); for (i = 0; i < 40; i++) printf "%d ", int(rand() * n) }')
  : > "$work/ours"; : > "$work/theirs"
  for _ in $(seq "$rounds"); do
    # shellcheck disable=SC2086
    "$build/bench/gui/video_compare" "$work/$file" $fps "$n" $targets >> "$work/ours"
    # shellcheck disable=SC2086
    "$build/bench/gui/mpv_baseline" "$work/$file" $fps "$n" $targets >> "$work/theirs"
  done
  for op in seek plus1 minus1 open; do
    ours=$(awk -v op=$op '$1 == op { print $2 }' "$work/ours" | median)
    theirs=$(awk -v op=$op '$1 == op { print $2 }' "$work/theirs" | median)
    awk -v f="$file" -v op=$op -v a="$ours" -v b="$theirs" \
      'BEGIN { printf "%s %s %.2f %.2f %.2f\n", f, op, a, b, (b > 0 ? a / b : 0) }'
  done
done

# Feature-length files. The MPEG-2 clip is copied end to end as a raw stream and given times of
# its own in the program stream, since a demuxer's loop leaves the times of its seams overlapping.
long_run() {  # FILE FRAMES
  local file=$1 n=$2 targets
  targets=$(awk -v n="$n" 'BEGIN { srand(23); for (i = 0; i < 40; i++) printf "%d ", int(rand() * n) }')
  : > "$work/ours"; : > "$work/theirs"
  for _ in $(seq "$rounds"); do
    rm -rf "$XDG_CACHE_HOME"
    # shellcheck disable=SC2086
    "$build/bench/gui/video_compare" --long "$work/$file" $fps "$n" $targets >> "$work/ours"
    # shellcheck disable=SC2086
    "$build/bench/gui/mpv_baseline" "$work/$file" $fps "$n" $targets >> "$work/theirs"
  done
  for pair in open:open reopen:open seek_early:seek_early seek:seek plus1:plus1 minus1:minus1; do
    local op=${pair%%:*} base=${pair##*:} ours theirs
    ours=$(awk -v op="$op" '$1 == op { print $2 }' "$work/ours" | median)
    theirs=$(awk -v op="$base" '$1 == op { print $2 }' "$work/theirs" | median)
    awk -v f="$file" -v op="$op" -v a="$ours" -v b="$theirs" \
      'BEGIN { printf "%s %s %.2f %.2f %.2f\n", f, op, a, b, (b > 0 ? a / b : 0) }'
  done
  awk '$1 == "index" { print $2 }' "$work/ours" | median |
    awk -v f="$file" '{ printf "%s index %.2f 0 0\n", f, $1 }'
  rm -f "$work/$file"
}
make_video clip.m2v 1800 720x480 -an -c:v mpeg2video -b:v 6M -g 15 -bf 2 -f mpeg2video
for _ in $(seq 120); do cat "$work/clip.m2v"; done |
  ffmpeg -nostdin -hide_banner -loglevel error -y -fflags +genpts -r 30000/1001 -f mpegvideo \
    -i - -c copy -f vob "$work/sd2h.mpg"
rm "$work/clip.m2v"
long_run sd2h.mpg 216000
make_video clip.mp4 1800 1920x1080 -c:v libx264 -preset veryfast -crf 23 -g 60 -pix_fmt yuv420p \
  -c:a aac
ffmpeg -nostdin -hide_banner -loglevel error -y -stream_loop 59 -i "$work/clip.mp4" -c copy \
  "$work/hd1h.mp4"
rm "$work/clip.mp4"
long_run hd1h.mp4 108000

# Ten minutes of the 1080p file, copied end to end.
ffmpeg -nostdin -hide_banner -loglevel error -y -stream_loop 29 -i "$work/hd60.mp4" -c copy \
  "$work/long.mp4"
"$build/bench/gui/video_compare" --back-and-forth "$work/long.mp4" 18000 300
