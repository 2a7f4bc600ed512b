// The feature-length project of the benchmarks: three hours, about 3,000 captions of one or two
// rows of sentence text.
#pragma once

#include <algorithm>
#include <random>
#include <string>

#include "codec/encoder.h"
#include "model/caption_list.h"

namespace vantrel {

constexpr int32_t kThreeHours = 3 * 108000;

// One or two rows of ordinary sentence text per caption, a caption every 3.6 s on average.
inline void MakeFeature(CaptionList& list) {
    static const char* kWords[] = {"the",     "captain", "said", "we",   "are",    "leaving",
                                   "tonight", "before",  "dawn", "and",  "nobody", "knows",
                                   "where",   "to",      "Look", "out!", "I",      "never",
                                   "thought", "about",   "it"};
    std::mt19937 rng(3);
    int32_t frame = 60;
    while (frame < kThreeHours - 200) {
        auto c = std::make_unique<Caption>();
        const int rows = 1 + static_cast<int>(rng() % 2);
        for (int r = 0; r < rows; ++r) {
            std::string line;
            while (line.size() < 18 + rng() % 10) {
                if (!line.empty()) line += ' ';
                line += kWords[rng() % std::size(kWords)];
            }
            line.resize(std::min<size_t>(line.size(), 30));
            const int row = 13 + r, col = static_cast<int>(rng() % 2) * 4;
            for (size_t k = 0; k < line.size(); ++k) {
                c->cells[row][col + k] = {static_cast<uint8_t>(line[k]), kDefaultAttribute};
            }
        }
        c->timingMode = rng() % 3 == 0 ? Seamless : Normal;
        frame += GetLoadFrames(*c) + 20 + static_cast<int32_t>(rng() % 120);
        c->startFrame = frame;
        list.Insert(std::move(c));
    }
    for (Caption* c = list.Head(); c; c = c->next) c->ApplyTiming(kDefaultGap);
}

}  // namespace vantrel
