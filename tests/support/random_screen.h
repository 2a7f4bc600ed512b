// Random caption screens shaped as the editor makes them: runs separated by empty cells, and
// attribute-code cells wherever the attribute changes within a run.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "editor/attribute_codes.h"
#include "model/caption.h"

namespace vantrel::testing {

// The characters the editor lets one type.
inline std::vector<uint8_t> TypableCharacters() {
    std::vector<uint8_t> out;
    for (int b = 0; b < 256; ++b) {
        if ((b >= 0x20 && b <= 0x7F) || (b >= 0x90 && b <= 0x9B) || (b >= 0xA0 && b <= 0xCF) ||
            (b >= 0xD1 && b <= 0xEF) || (b >= 0xF1 && b <= 0xFD)) {
            out.push_back(static_cast<uint8_t>(b));
        }
    }
    return out;
}

// The code cells that open a run at column k whose first character has attribute a: the
// editor's own.
inline std::vector<CaptionCell> RunStartCells(int k, uint8_t a) {
    const CodeCells codes = RunStartCodes(k, a);
    return {codes.cells, codes.cells + codes.count};
}

struct ScreenOptions {
    int maxRows = 15;
    bool backgrounds = true;  // random background colours
    double attributeChange = 0.15;
};

// Fills `c` with a random screen. `chars` lists the characters to draw from.
inline void RandomScreen(std::mt19937& rng, Caption& c, const ScreenOptions& opt = {},
                         const std::vector<uint8_t>& chars = TypableCharacters()) {
    c.ClearScreen();
    std::uniform_real_distribution<double> u(0, 1);
    auto randomAttr = [&] {
        uint8_t a = static_cast<uint8_t>(rng() % 8);
        a |= static_cast<uint8_t>((opt.backgrounds ? rng() % 8 : 7) << 3);
        if (rng() % 3 == 0) a |= kItalicsBit;
        if (rng() % 4 == 0) a |= kUnderlineBit;
        return a;
    };
    const int rows = static_cast<int>(rng() % (opt.maxRows + 1));
    for (int i = 0; i < rows; ++i) {
        const int r = static_cast<int>(rng() % kScreenRows);
        int col = static_cast<int>(rng() % 12);
        while (col < kScreenColumns - 1) {
            uint8_t a = rng() % 2 ? kDefaultAttribute : randomAttr();
            std::vector<CaptionCell> run = RunStartCells(col, a);
            const int want = 1 + static_cast<int>(rng() % 20);
            for (int n = 0; n < want; ++n) {
                if (n > 0 && u(rng) < opt.attributeChange) {
                    const uint8_t next = randomAttr();
                    const CodeCells codes = TransitionCodes(a, next);
                    run.insert(run.end(), codes.cells, codes.cells + codes.count);
                    a = next;
                }
                run.push_back({chars[rng() % chars.size()], a});
            }
            // Keep the row's existing runs one empty cell apart; drop what does not fit.
            const int end = col + static_cast<int>(run.size());
            if (end > kScreenColumns) break;
            bool free = true;
            for (int k = std::max(0, col - 1); k < std::min(kScreenColumns, end + 1); ++k) {
                free = free && c.cells[r][k].IsEmpty();
            }
            if (!free) break;
            for (size_t k = 0; k < run.size(); ++k) c.cells[r][col + k] = run[k];
            col = end + 1 + static_cast<int>(rng() % 6);
        }
    }
}

}  // namespace vantrel::testing
