#!/usr/bin/env bash
# The accuracy of timing captions to speech, on programmes whose truth is known:
#   clean    10 minutes of espeak-ng sentences in seven voices and speeds, pauses of 0.2 to 2 s
#   music    the same kind of programme with music-like sound 10 dB under the speech, a few
#            sentences of the transcript not spoken and a few spoken ones not in it
#   human    the spoken channel names of alsa-utils and sound-theme-freedesktop (two people),
#            joined in a random order with pauses of 0.3 to 2 s
# For each set it prints
#   align SET WITHIN3 WITHIN10 MEDIAN_FRAMES UNPLACED UNSPOKEN_PLACED CAPTIONS MS_PER_MINUTE
# the share of spoken captions that start within 3 and within 10 frames (30000/1001 a second)
# of the first sound of their words (the truth: their first sample above -40 dBFS), the median
# error in frames, the spoken captions left unplaced, the unspoken ones placed all the same, and
# the time taken for each minute of programme (goals: 95% within 3 frames on the synthetic sets,
# 90% on the human one; an hour in under two minutes).
#
#   bench/speech_align.sh [build dir]   (default build/bench, made here in Release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
# shellcheck source=bench/bench_build.sh
. bench/bench_build.sh
bench_build "$build" "-DVANTREL_BENCH=ON -DVANTREL_GUI=OFF" media_tools_bench
bench=$build/bench/media_tools_bench
command -v espeak-ng >/dev/null || { echo "espeak-ng is needed to make the speech" >&2; exit 1; }

work=$(mktemp -d /tmp/vantrel-speech-align.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Makes SET.wav (16-bit, 16 kHz), SET.txt (the transcript, a caption a line) and SET.truth
# (for each caption its onset in seconds, or "none" when it is not spoken).
python3 - "$work" <<'PY'
import array, glob, math, os, random, subprocess, sys, wave
work = sys.argv[1]
rate = 16000
words = ("the a committee river north morning council market seven twelve hundred report "
         "school bridge station water people city year week government minister police "
         "weather storm train road farmers music children doctor hospital money bank village "
         "island film mountain summer winter garden library kitchen museum engine ship "
         "harbour forest street office factory election").split()
verbs = "said opened closed found expected announced reached visited built crossed".split()
voices = ["en-gb", "en-us", "en-gb-scotland", "en-029", "en-gb-x-rp", "en-us+f3", "en+m3"]

def sentence():
    n = random.randint(4, 10)
    w = [random.choice(words) for _ in range(n)]
    w.insert(random.randint(1, n - 1), random.choice(verbs))
    if random.random() < 0.3:
        w.append(str(random.randint(2, 2000)))
    return " ".join(w).capitalize() + "."

def loud_part(samples):
    loud = [k for k, s in enumerate(samples) if abs(s) > 328]
    return samples[loud[0]:loud[-1] + 1] if loud else samples[:0]

# The sound of a file, or of WAV bytes given as `data`, as 16 kHz mono samples.
def decoded(source, data=None):
    raw = subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-i", source,
                          "-f", "s16le", "-ac", "1", "-ar", str(rate), "-"],
                         input=data, capture_output=True, check=True).stdout
    return array.array("h", raw)

def spoken(text, voice, speed):
    wav = subprocess.run(["espeak-ng", "-v", voice, "-s", str(speed), "--stdout", text],
                         capture_output=True, check=True).stdout
    return loud_part(decoded("pipe:0", wav))

def write(name, track, transcript, truth, music_db=None):
    out = array.array("h")
    level = 0.0
    if music_db is not None:
        speech = [x * x for x in track if x != 0]
        level = math.sqrt(sum(speech) / max(1, len(speech))) * 10 ** (music_db / 20)
    notes = [196, 220, 262, 294, 330, 392, 440]
    for k, x in enumerate(track):
        b = 0.0
        if level:
            t = k / rate
            bar = int(t / 1.1)
            swell = 0.6 + 0.4 * math.sin(2 * math.pi * 0.3 * t)
            b = level * swell * math.sqrt(2 / 3) * sum(
                math.sin(2 * math.pi * notes[(bar * 3 + j) % 7] * t) for j in range(3))
            b += level * 0.3 * (2 * random.random() - 1)
        out.append(max(-32767, min(32767, int((x + b) * 32767))))
    with wave.open(f"{work}/{name}.wav", "wb") as w:
        w.setnchannels(1); w.setsampwidth(2); w.setframerate(rate); w.writeframes(out.tobytes())
    open(f"{work}/{name}.txt", "w").write("\n".join(transcript) + "\n")
    open(f"{work}/{name}.truth", "w").write("\n".join(truth) + "\n")

def synthetic(name, minutes, seed, music, leave_out):
    random.seed(seed)
    track = array.array("f", [0.0] * int(1.5 * rate))
    transcript, truth = [], []
    index = 0
    while len(track) < minutes * 60 * rate:
        text = sentence()
        clip = spoken(text, random.choice(voices), random.randint(140, 210))
        kind = "both"
        if leave_out and index % 17 == 5:
            kind = "unspoken"
        elif leave_out and index % 19 == 11:
            kind = "untranscribed"
        index += 1
        if kind != "untranscribed":
            transcript.append(text)
            truth.append("none" if kind == "unspoken" else f"{len(track) / rate:.4f}")
        if kind == "unspoken":
            continue
        track.extend(s / 32768 for s in clip)
        track.extend([0.0] * int(random.uniform(0.2, 2.0) * rate))
    write(name, track, transcript, truth, -10 if music else None)

synthetic("clean", 10, 7, False, False)
synthetic("music", 10, 11, True, True)

random.seed(3)
names = {}
for path in sorted(glob.glob("/usr/share/sounds/alsa/*.wav")):
    base = os.path.basename(path)[:-4]
    if base != "Noise":
        names[path] = base.replace("_", " ")
for path in sorted(glob.glob("/usr/share/sounds/freedesktop/stereo/audio-channel-*.oga")):
    names[path] = os.path.basename(path)[14:-4].replace("-", " ").title()
if names:
    clips = {p: loud_part(decoded(p)) for p in names}
    track = array.array("f", [0.0] * rate)
    transcript, truth = [], []
    for n in range(4):
        for p in random.sample(list(names), len(names)):
            transcript.append(names[p])
            truth.append(f"{len(track) / rate:.4f}")
            track.extend(s / 32768 for s in clips[p])
            track.extend([0.0] * int(random.uniform(0.3, 2.0) * rate))
    write("human", track, transcript, truth)
PY

for set in clean music human; do
  [ -f "$work/$set.wav" ] || { echo "align $set: no recordings (alsa-utils, sound-theme-freedesktop)"; continue; }
  "$bench" align "$work/$set.wav" "$work/$set.txt" > "$work/$set.places"
  python3 - "$set" "$work/$set.truth" "$work/$set.places" "$work/$set.wav" <<'PY'
import sys, wave
name, truth, places, wav = sys.argv[1:5]
fps = 30000 / 1001
truth = [l.strip() for l in open(truth)]
lines = open(places).read().split("\n")
ms = float([l for l in lines if l.startswith("align_ms")][0].split()[1])
places = [l.split() for l in lines if l and not l.startswith("align_ms")]
with wave.open(wav) as w:
    minutes = w.getnframes() / w.getframerate() / 60
errors, unplaced, unspoken = [], 0, 0
for t, p in zip(truth, places):
    placed = p[0] == "1"
    if t == "none":
        unspoken += placed
    elif not placed:
        unplaced += 1
    else:
        errors.append(abs(float(p[1]) - float(t)) * fps)
spoken = sum(t != "none" for t in truth)
errors.sort()
median = errors[len(errors) // 2] if errors else float("nan")
print(f"align {name} {sum(e <= 3 for e in errors) / spoken:.3f} "
      f"{sum(e <= 10 for e in errors) / spoken:.3f} {median:.2f} {unplaced} {unspoken} "
      f"{spoken} {ms / minutes:.0f}")
PY
done
