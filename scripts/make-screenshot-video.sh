#!/bin/sh
# The video the documentation's screenshots are taken on: 30 s of 1280 x 720 at 29.97 frames,
# cut at frames 118, 260, 452, 610 and 705 between differently coloured patterns, with bursts of
# tone standing in for speech. Usage: scripts/make-screenshot-video.sh OUTPUT.mp4
set -e
out=${1:?usage: make-screenshot-video.sh OUTPUT.mp4}
part() { # source first-frame frame-count hue
    echo "[$1:v]trim=start_frame=$2:end_frame=$(($2 + $3)),setpts=PTS-STARTPTS,hue=h=$4[$5];"
}
graph="$(part 0 0 118 0 a)$(part 1 0 142 90 b)$(part 0 200 192 180 c)$(part 1 0 158 0 d)"
graph="$graph$(part 0 400 95 0 e)$(part 1 0 200 250 f)"
graph="$graph[a][b][c][d][e][f]concat=n=6:v=1:a=0,format=yuv420p[v]"
ffmpeg -y -loglevel error \
    -f lavfi -i "mandelbrot=s=1280x720:r=30000/1001" \
    -f lavfi -i "testsrc2=s=1280x720:r=30000/1001" \
    -f lavfi -i "aevalsrc=0.6*sin(2*PI*180*t)*sin(2*PI*2.3*t)*gt(sin(2*PI*0.23*t+1)\,-0.3):s=48000" \
    -filter_complex "$graph" -map "[v]" -map 2:a -t 30 -c:v libx264 -preset veryfast -c:a aac \
    "$out"
