// Random projects: captions with random editor-shaped screens, in all four timing modes,
// placed with enough room between them for their loading.
#pragma once

#include <memory>
#include <random>
#include <vector>

#include "codec/encoder.h"
#include "codec/tables.h"
#include "model/caption_list.h"
#include "support/random_screen.h"

namespace vantrel::testing {

// The typable characters that 608 can carry.
inline std::vector<uint8_t> EncodableCharacters() {
    std::vector<uint8_t> out;
    for (uint8_t b : TypableCharacters()) {
        if (CodePairTable[b] != 0) out.push_back(b);
    }
    return out;
}

// Fills `list` with up to `maxCaptions` captions. Every caption lasts at least two frames and
// its loading starts after the previous caption's start frame, so the whole project encodes.
inline void RandomProject(std::mt19937& rng, CaptionList& list, int maxCaptions,
                          const ScreenOptions& screen = {}) {
    static const std::vector<uint8_t> chars = EncodableCharacters();
    const int count = 1 + static_cast<int>(rng() % maxCaptions);
    int32_t frame = static_cast<int32_t>(rng() % 50);
    std::vector<std::unique_ptr<Caption>> made;
    for (int i = 0; i < count; ++i) {
        auto c = std::make_unique<Caption>();
        do {
            RandomScreen(rng, *c, screen, chars);
        } while (c->CountOccupiedRows() == 0);
        c->timingMode = static_cast<int8_t>(1 + rng() % 4);
        const int32_t load = GetLoadFrames(*c);
        frame += load + 2 + static_cast<int32_t>(rng() % 3 == 0 ? 0 : rng() % 400);
        c->startFrame = frame;
        c->endFrame = frame + 2 + static_cast<int32_t>(rng() % 300);  // Manual keeps it
        made.push_back(std::move(c));
    }
    for (auto& c : made) list.Insert(std::move(c));
    for (Caption* c = list.Head(); c; c = c->next) c->ApplyTiming(kDefaultGap);
}

}  // namespace vantrel::testing
