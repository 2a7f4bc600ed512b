#!/usr/bin/env bash
# Makes the demo's video beside its project (too large to keep in the repository): 22 seconds
# of a moving test picture at 29.97 frames per second with a 440 Hz tone, MPEG-2 in a program
# stream. Usage: make-demo-video.sh [FOLDER] (default resources/demo); does nothing when the
# video is already there.
set -euo pipefail
folder=${1:-"$(dirname "$0")/../resources/demo"}
video=$folder/demo.mpg
[ -s "$video" ] && exit 0
command -v ffmpeg >/dev/null || { echo "make-demo-video.sh: ffmpeg is needed" >&2; exit 1; }
ffmpeg -v error -y \
  -f lavfi -i "testsrc2=size=640x480:rate=30000/1001:duration=22" \
  -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=22" \
  -c:v mpeg2video -q:v 4 -g 15 -c:a mp2 -b:a 128k -shortest -f mpeg "$video.part"
mv "$video.part" "$video"
