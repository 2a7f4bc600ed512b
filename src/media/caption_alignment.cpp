#include "media/caption_alignment.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <span>

#include "media/speech_cepstra.h"

namespace vantrel {

namespace {

// The match is by the spectral shape, c1 .. c12, not the loudness.
constexpr int kShape = kCepstra - 1;
// What a step costs beyond its distance when only the words or only the sound go on, so that
// the words are not stretched over sound that is not theirs.
constexpr float kStretch = 2;
// The first pass looks at frames averaged in threes, over a stretch of the programme either
// side of where the caption would be were the speech even: a tenth of the programme, and at
// least a minute.
constexpr int64_t kCoarse = 3;
constexpr double kWindowShare = 0.1;
constexpr int64_t kLeastWindow = 6000;
// A coarse match is looked at again frame by frame this far either side.
constexpr int64_t kRefineMargin = 30;
// A match stands when its mean distance is at most this share of the median of ending
// anywhere else around it; the first pass keeps only the clearest as anchors.
constexpr double kAnchorContrast = 0.8;
constexpr double kMostContrast = 0.9;
// Between anchors a caption is looked for from where the one before it ended, up to its own
// length three times over and at least 20 s on, with the sound around that to judge it by.
constexpr int64_t kLeastReach = 2000;
constexpr int64_t kReachTimes = 3;
constexpr int64_t kLeastPadding = 1000;
// Two captions' matches may share this many frames (a last word's end, the next one's onset).
constexpr int64_t kOverlap = 20;
// Speech is at most this many times faster than the synthesiser's.
constexpr double kFastest = 2.5;
// Words are found where the programme sounds: at least this share of a match's frames within
// 30 dB of the programme's loud frames (its 90th centile), so that a caption not spoken is not
// fitted into the silence between two that are.
constexpr double kLeastSounding = 0.6;
constexpr double kSoundingRange = 30 * 0.2302585;  // in c0's natural-log units
constexpr double kLoudCentile = 0.9;
// ... and where it changes as speech does: the mean change of spectral shape from frame to frame
// over a match at least this share of the caption's spoken words' own, so that a held tone, a
// hum or a chord is not taken for words.
constexpr double kLeastChange = 0.55;

// Frames of spectral shape, kShape floats each.
struct Shapes {
    std::vector<float> values;
    int64_t Count() const { return static_cast<int64_t>(values.size()) / kShape; }
    const float* At(int64_t frame) const { return values.data() + frame * kShape; }
};

Shapes ShapesOf(std::span<const float> cepstra) {
    Shapes out;
    out.values.reserve(cepstra.size() / kCepstra * kShape);
    for (size_t f = 0; f + kCepstra <= cepstra.size(); f += kCepstra)
        out.values.insert(out.values.end(), cepstra.begin() + f + 1,
                          cepstra.begin() + f + kCepstra);
    return out;
}

Shapes Coarsened(const Shapes& fine) {
    Shapes out;
    const int64_t frames = fine.Count() / kCoarse;
    out.values.assign(static_cast<size_t>(frames * kShape), 0.0f);
    for (int64_t f = 0; f < frames * kCoarse; ++f) {
        for (int c = 0; c < kShape; ++c)
            out.values[(f / kCoarse) * kShape + c] += fine.At(f)[c] / kCoarse;
    }
    return out;
}

float Distance(const float* a, const float* b) {
    float sum = 0;
    for (int c = 0; c < kShape; ++c) {
        const float d = a[c] - b[c];
        sum += d * d;
    }
    return std::sqrt(sum);
}

struct Match {
    int64_t from = 0;
    int64_t to = 0;  // exclusive
    double contrast = std::numeric_limits<double>::infinity();
};

// Subsequence dynamic time warping of `words` over frames [soundFrom, soundTo) of `sound`: the
// stretch the words fit best by the mean distance along the path, among those starting at
// `earliest` or later and ending by `latest`; its contrast is against the median of every end.
Match BestFit(const Shapes& words, int64_t wordFrom, int64_t wordTo, const Shapes& sound,
              int64_t soundFrom, int64_t soundTo, int64_t earliest, int64_t latest) {
    struct Cell {
        float cost;
        int32_t length;
        int32_t start;
    };
    const int64_t width = soundTo - soundFrom;
    if (width <= 0 || wordTo <= wordFrom) return {};
    std::vector<Cell> previous(static_cast<size_t>(width)), current(previous.size());
    for (int64_t j = 0; j < width; ++j)
        previous[j] = {Distance(words.At(wordFrom), sound.At(soundFrom + j)), 1,
                       static_cast<int32_t>(j)};
    for (int64_t i = wordFrom + 1; i < wordTo; ++i) {
        const float* w = words.At(i);
        for (int64_t j = 0; j < width; ++j) {
            Cell best = previous[j];
            best.cost += kStretch;
            if (j > 0 && previous[j - 1].cost <= best.cost) best = previous[j - 1];
            if (j > 0 && current[j - 1].cost + kStretch < best.cost) {
                best = current[j - 1];
                best.cost += kStretch;
            }
            current[j] = {best.cost + Distance(w, sound.At(soundFrom + j)), best.length + 1,
                          best.start};
        }
        std::swap(previous, current);
    }
    Match match;
    double bestCost = std::numeric_limits<double>::infinity();
    std::vector<float> costs(previous.size());
    for (int64_t j = 0; j < width; ++j) {
        const double cost = previous[j].cost / previous[j].length;
        costs[j] = static_cast<float>(cost);
        const int64_t from = soundFrom + previous[j].start, to = soundFrom + j + 1;
        if (cost < bestCost && from >= earliest && to <= latest) {
            bestCost = cost;
            match.from = from;
            match.to = to;
        }
    }
    if (!std::isfinite(bestCost)) return {};
    std::nth_element(costs.begin(), costs.begin() + costs.size() / 2, costs.end());
    match.contrast = bestCost / std::max(costs[costs.size() / 2], 1e-6f);
    return match;
}

// How far each frame's spectral shape (c1 .. c12, not yet normalised: a level does not change
// it) is from the frame before's.
std::vector<float> ShapeChanges(std::span<const float> cepstra) {
    std::vector<float> changes(cepstra.size() / kCepstra, 0.0f);
    for (size_t f = 1; f < changes.size(); ++f)
        changes[f] = Distance(&cepstra[f * kCepstra + 1], &cepstra[(f - 1) * kCepstra + 1]);
    return changes;
}

double MeanOf(std::span<const float> values) {
    double sum = 0;
    for (float v : values) sum += v;
    return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

// Which frames of the programme sound: those within kSoundingRange of its loud frames.
std::vector<uint8_t> Sounding(std::span<const float> cepstra) {
    std::vector<float> loudness;
    for (size_t f = 0; f + kCepstra <= cepstra.size(); f += kCepstra)
        loudness.push_back(cepstra[f]);
    std::vector<uint8_t> sounding(loudness.size(), 0);
    if (loudness.empty()) return sounding;
    std::vector<float> sorted = loudness;
    const auto at = sorted.begin() + static_cast<std::ptrdiff_t>(
                                         kLoudCentile * static_cast<double>(sorted.size() - 1));
    std::nth_element(sorted.begin(), at, sorted.end());
    for (size_t f = 0; f < loudness.size(); ++f) sounding[f] = loudness[f] >= *at - kSoundingRange;
    return sounding;
}

class Alignment {
  public:
    // `wordChanges`: each caption's mean ShapeChanges; `soundChanges` the programme's.
    Alignment(Shapes words, std::vector<int64_t> ends, std::vector<double> wordChanges,
              Shapes sound, std::vector<uint8_t> sounding, std::vector<float> soundChanges)
        : words_(std::move(words)),
          ends_(std::move(ends)),
          sound_(std::move(sound)),
          sounding_(std::move(sounding)),
          wordChanges_(std::move(wordChanges)),
          soundChanges_(std::move(soundChanges)),
          coarseWords_(Coarsened(words_)),
          coarseSound_(Coarsened(sound_)) {}

    size_t Count() const { return ends_.size(); }
    int64_t Begin(size_t k) const { return k == 0 ? 0 : ends_[k - 1]; }
    int64_t Length(size_t k) const { return ends_[k] - Begin(k); }

    // Caption k looked for around where it would be were the speech even, and kept when it
    // stands out clearly: placed frame by frame.
    std::optional<Match> Anchor(size_t k) const {
        const int64_t length = Length(k) / kCoarse;
        const int64_t frames = coarseSound_.Count();
        if (length < 2 || words_.Count() == 0) return std::nullopt;
        const double share = static_cast<double>(Begin(k)) / static_cast<double>(words_.Count());
        const auto expected = static_cast<int64_t>(share * static_cast<double>(frames));
        const int64_t reach =
            std::max(kLeastWindow / kCoarse,
                     static_cast<int64_t>(kWindowShare * static_cast<double>(frames)));
        const int64_t from = std::max<int64_t>(0, expected - reach);
        const int64_t to = std::min(frames, expected + length + reach);
        const Match coarse = BestFit(coarseWords_, Begin(k) / kCoarse, Begin(k) / kCoarse + length,
                                     coarseSound_, from, to, from, to);
        if (coarse.contrast > kAnchorContrast) return std::nullopt;
        const int64_t lo = std::max<int64_t>(0, coarse.from * kCoarse - kRefineMargin);
        const int64_t hi = std::min(sound_.Count(), coarse.to * kCoarse + kRefineMargin);
        Match fine = BestFit(words_, Begin(k), ends_[k], sound_, lo, hi, lo, hi);
        fine.contrast = coarse.contrast;
        return fine.to > fine.from && Sounds(fine, k) ? std::optional(fine) : std::nullopt;
    }

    // Caption k looked for in frames [earliest, latest), from the start of that on.
    std::optional<Match> Between(size_t k, int64_t earliest, int64_t latest) const {
        const int64_t length = Length(k);
        if (length == 0 ||
            static_cast<double>(latest - earliest) * kFastest < static_cast<double>(length))
            return std::nullopt;
        latest = std::min(latest, earliest + std::max(kLeastReach, length * kReachTimes));
        const int64_t padding = std::max(kLeastPadding, 2 * length);
        const Match m =
            BestFit(words_, Begin(k), ends_[k], sound_, std::max<int64_t>(0, earliest - padding),
                    std::min(sound_.Count(), latest + padding), earliest, latest);
        return m.contrast <= kMostContrast && Sounds(m, k) ? std::optional(m) : std::nullopt;
    }

  private:
    bool Sounds(const Match& m, size_t k) const {
        const std::span<const float> changes(soundChanges_.data() + m.from,
                                             static_cast<size_t>(m.to - m.from));
        if (MeanOf(changes) < kLeastChange * wordChanges_[k]) return false;
        const auto from = sounding_.begin() + m.from, to = sounding_.begin() + m.to;
        return static_cast<double>(std::count(from, to, 1)) >=
               kLeastSounding * static_cast<double>(m.to - m.from);
    }

    Shapes words_;
    std::vector<int64_t> ends_;  // caption k's words are frames [ends_[k - 1], ends_[k])
    Shapes sound_;
    std::vector<uint8_t> sounding_;
    std::vector<double> wordChanges_;
    std::vector<float> soundChanges_;
    Shapes coarseWords_;
    Shapes coarseSound_;
};

// The most anchors that can all stand together: in the captions' order, each after the one
// before it, with room between for the captions between them spoken at the fastest.
std::vector<size_t> LongestChain(const Alignment& alignment,
                                 const std::vector<std::optional<Match>>& anchors) {
    const size_t n = anchors.size();
    std::vector<int> length(n, 0);
    std::vector<size_t> before(n, n);
    for (size_t i = 0; i < n; ++i) {
        if (!anchors[i]) continue;
        length[i] = 1;
        for (size_t j = 0; j < i; ++j) {
            if (!anchors[j] || length[j] + 1 <= length[i]) continue;
            const double between = static_cast<double>(alignment.Begin(i) - alignment.Begin(j + 1));
            const int64_t room = anchors[i]->from - anchors[j]->to;
            if (anchors[i]->from > anchors[j]->from && room >= -kOverlap &&
                static_cast<double>(room) * kFastest >= between) {
                length[i] = length[j] + 1;
                before[i] = j;
            }
        }
    }
    std::vector<size_t> chain;
    size_t last = n;
    for (size_t i = 0; i < n; ++i) {
        if (length[i] > 0 && (last == n || length[i] > length[last])) last = i;
    }
    for (size_t k = last; k < n; k = before[k]) chain.push_back(k);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

class SpokenTextAligner final : public SpeechAligner {
  public:
    explicit SpokenTextAligner(TextSpeaker speak) : speak_(std::move(speak)) {}

    bool Place(const std::vector<std::string>& texts, std::vector<float> programme,
               std::vector<CaptionPlace>& places, std::string& error,
               const AlignProgress& progress) override {
        error.clear();
        auto proceed = [&](double done) { return !progress || progress(done); };
        // Every caption's words, normalised together as one voice.
        std::vector<float> spoken;
        std::vector<int64_t> ends;
        std::vector<double> wordChanges;
        std::vector<float> samples;
        for (size_t k = 0; k < texts.size(); ++k) {
            samples.clear();
            if (!speak_(texts[k], samples, error)) return false;
            CepstraMaker maker;
            maker.Take(samples);
            const std::vector<float> cepstra = maker.End();
            const std::span<const float> words = SpokenPart(cepstra);
            spoken.insert(spoken.end(), words.begin(), words.end());
            wordChanges.push_back(MeanOf(ShapeChanges(words)));
            ends.push_back(static_cast<int64_t>(spoken.size() / kCepstra));
            if (!proceed(0.2 * static_cast<double>(k + 1) / static_cast<double>(texts.size())))
                return false;
        }
        std::vector<float> soundChanges = ShapeChanges(programme);
        NormaliseCepstra(spoken);
        NormaliseCepstra(programme);
        const Alignment alignment(ShapesOf(spoken), std::move(ends), std::move(wordChanges),
                                  ShapesOf(programme), Sounding(programme),
                                  std::move(soundChanges));
        std::vector<float>().swap(programme);

        std::vector<std::optional<Match>> anchors(texts.size());
        for (size_t k = 0; k < texts.size(); ++k) {
            anchors[k] = alignment.Anchor(k);
            if (!proceed(0.2 +
                         0.7 * static_cast<double>(k + 1) / static_cast<double>(texts.size())))
                return false;
        }
        const std::vector<size_t> chain = LongestChain(alignment, anchors);

        // The captions between two anchors, one after another from the first's end.
        places.assign(texts.size(), {});
        int64_t cursor = 0;
        size_t k = 0;
        for (size_t c = 0; c <= chain.size(); ++c) {
            const size_t next = c < chain.size() ? chain[c] : texts.size();
            const int64_t limit = c < chain.size() ? anchors[next]->from + kOverlap
                                                   : std::numeric_limits<int64_t>::max();
            for (; k < next; ++k) {
                const auto found =
                    alignment.Between(k, std::max<int64_t>(0, cursor - kOverlap),
                                      std::min(limit, static_cast<int64_t>(INT32_MAX)));
                if (!found) continue;
                places[k] = {true, static_cast<int32_t>(found->from),
                             static_cast<int32_t>(found->to)};
                cursor = found->to;
            }
            if (c == chain.size()) break;
            const Match& anchor = *anchors[next];
            places[next] = {true, static_cast<int32_t>(anchor.from),
                            static_cast<int32_t>(anchor.to)};
            cursor = anchor.to;
            k = next + 1;
            if (!proceed(0.9 +
                         0.1 * static_cast<double>(c + 1) / static_cast<double>(chain.size())))
                return false;
        }
        KeepInOrder(places);
        return true;
    }

  private:
    // Neighbouring matches may share a few frames: a caption's place ends where the next one
    // starts, whose onset is what the match is for.
    static void KeepInOrder(std::vector<CaptionPlace>& places) {
        int32_t next = INT32_MAX;
        for (auto p = places.rbegin(); p != places.rend(); ++p) {
            if (!p->placed) continue;
            p->to = std::min(p->to, next);
            if (p->to <= p->from)
                *p = {};
            else
                next = p->from;
        }
    }

    TextSpeaker speak_;
};

}  // namespace

std::unique_ptr<SpeechAligner> MakeSpokenTextAligner(TextSpeaker speak) {
    return std::make_unique<SpokenTextAligner>(std::move(speak));
}

}  // namespace vantrel
