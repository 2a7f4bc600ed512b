#!/usr/bin/env bash
# The voice-activity detector on a programme of sentences spoken by espeak-ng in several voices
# and speeds, with pauses of 0.3 to 2 s whose lengths are known, over silence, steady noise
# 30 dB down, and a music-like chord 10 dB down:
#   speech SET ONSETS_50MS ENDS_100MS FALSE_RUNS SENTENCES   sentence onsets with a run onset
#                                              within 50 ms, sentence ends with a run end within
#                                              100 ms, runs inside no sentence
#   speech_hour_ms MS PEAKS_ONLY_MS            an hour of stereo AAC read into peaks and speech
#                                              runs on one core (target 30000), and into peaks
#                                              alone, the best of two runs
#
#   bench/speech_detect.sh [build dir]   (default build/bench, made here in Release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
# shellcheck source=bench/bench_build.sh
. bench/bench_build.sh
bench_build "$build" "-DVANTREL_BENCH=ON -DVANTREL_GUI=OFF" media_tools_bench
bench=$build/bench/media_tools_bench
command -v espeak-ng >/dev/null || { echo "espeak-ng is needed to make the speech" >&2; exit 1; }

work=$(mktemp -d /tmp/vantrel-speech-detect.XXXXXX)
trap 'rm -rf "$work"' EXIT

sentences=(
  "The committee will meet again on Thursday to discuss the budget."
  "Seven ships sailed into the harbour before dawn."
  "Nobody expected the results to arrive so quickly."
  "She said that the bridge would be closed for repairs until March."
  "Fresh snow fell overnight across the northern hills."
  "In nineteen ninety four the factory employed two thousand people."
  "Please keep your tickets ready for inspection."
  "A small fire broke out in the kitchen but no one was hurt."
  "The orchestra played for almost three hours."
  "Scientists say the river is cleaner than it has been for decades."
  "Stop. Look both ways before you cross."
  "Her first novel sold over a million copies."
)
voices=(en-gb en-us en-gb-scotland en-029 en-gb-x-rp en-us+f3)
speeds=(150 175 200 165 185 140)
for i in "${!sentences[@]}"; do
  espeak-ng -v "${voices[$((i % 6))]}" -s "${speeds[$((i % 6))]}" -w "$work/s$i.wav" \
    "${sentences[$i]}"
done

# Joins the sentences with pauses (the truth: each sentence's first and last sample above
# -40 dB), under a background, into a 16-bit WAV; prints the truth as "from to" seconds.
python3 - "$work" "${#sentences[@]}" <<'PY'
import array, math, random, sys, wave
work, count = sys.argv[1], int(sys.argv[2])
random.seed(7)
rate = 22050
def clip(i):
    with wave.open(f"{work}/s{i}.wav") as w:
        samples = array.array("h", w.readframes(w.getnframes()))
    loud = [k for k, s in enumerate(samples) if abs(s) > 328]
    return samples[loud[0]:loud[-1] + 1]
clips = [clip(i) for i in range(count)]
pauses = [0.3, 2.0, 0.5, 1.2, 0.8, 1.6, 0.4, 1.0, 0.6, 1.8, 0.35, 0.9]
speech, truth = [], []
at = int(1.0 * rate)
track = array.array("f", [0.0] * at)
for n in range(4):  # four passes of the sentences: about two minutes
    for i, c in enumerate(clips):
        truth.append((len(track) / rate, (len(track) + len(c)) / rate))
        track.extend(s / 32768 for s in c)
        track.extend([0.0] * int(pauses[(i + n) % len(pauses)] * rate))
track.extend([0.0] * rate)
speech_power = sum(x * x for x in track) / max(1, sum(int((b - a) * rate) for a, b in truth))
def write(name, background):
    out = array.array("h")
    for k, x in enumerate(track):
        out.append(max(-32767, min(32767, int((x + background(k)) * 32767))))
    with wave.open(f"{work}/{name}.wav", "wb") as w:
        w.setnchannels(1); w.setsampwidth(2); w.setframerate(rate)
        w.writeframes(out.tobytes())
noise = math.sqrt(speech_power) * 10 ** (-30 / 20) * math.sqrt(3)
chord = math.sqrt(speech_power) * 10 ** (-10 / 20) * math.sqrt(2 / 3)
write("silence", lambda k: 0.0)
write("noise", lambda k: noise * (2 * random.random() - 1))
# Three notes that change every 1.3 s, swelling and fading: music's sustained harmonics.
notes = [220, 262, 330, 392, 294, 349]
def music(k):
    t = k / rate
    bar = int(t / 1.3)
    swell = 0.6 + 0.4 * math.sin(2 * math.pi * 0.4 * t)
    return chord * swell * sum(math.sin(2 * math.pi * notes[(bar + j) % 6] * t) for j in range(3)) / 3 * math.sqrt(3)
write("music", music)
with open(f"{work}/truth.txt", "w") as f:
    for a, b in truth:
        f.write(f"{a:.4f} {b:.4f}\n")
PY

for set in silence noise music; do
  "$bench" speech "$work/$set.wav" | tail -n +2 > "$work/$set.runs"
  python3 - "$set" "$work/truth.txt" "$work/$set.runs" <<'PY'
import sys
name, truth, runs = sys.argv[1], sys.argv[2], sys.argv[3]
truth = [tuple(map(float, l.split())) for l in open(truth)]
runs = [tuple(map(float, l.split())) for l in open(runs) if l.strip()]
onsets = sum(any(abs(r[0] - a) <= 0.05 for r in runs) for a, b in truth)
ends = sum(any(abs(r[1] - b) <= 0.1 for r in runs) for a, b in truth)
false = sum(all(r[1] <= a or r[0] >= b for a, b in truth) for r in runs)
print("speech", name, onsets, ends, false, len(truth))
PY
done

# An hour: the music set as stereo AAC, looped without re-encoding.
ffmpeg -nostdin -v error -y -i "$work/music.wav" -ac 2 -ar 48000 -c:a aac -b:a 128k "$work/set.m4a"
ffmpeg -nostdin -v error -y -stream_loop 40 -i "$work/set.m4a" -t 3600 -c copy "$work/hour.m4a"
best() {
  local a b
  a=$(taskset -c 0 "$bench" "$@" | head -1 | awk '{ print $2 }')
  b=$(taskset -c 0 "$bench" "$@" | head -1 | awk '{ print $2 }')
  echo $((a < b ? a : b))
}
echo "speech_hour_ms $(best speech "$work/hour.m4a") $(best peaks "$work/hour.m4a")"
