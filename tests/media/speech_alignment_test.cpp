// The alignment's bookkeeping on made speech: every word a sound of its own (three harmonic
// tones whose pitch and colour come from the word), the captions' words placed in a programme
// at known times; words not spoken, speech not in the captions and empty captions.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <sstream>

#include "media/caption_alignment.h"
#include "media/speech_cepstra.h"
#include "media/speech_spectrum.h"

namespace vantrel {
namespace {

// A word's sound: three 70 ms tones, each with its own pitch and a peak of colour, then 30 ms
// of silence.
void SpeakWord(const std::string& word, std::vector<float>& out) {
    const size_t seed = std::hash<std::string>{}(word);
    for (int part = 0; part < 3; ++part) {
        const double pitch = 100 + static_cast<double>((seed >> (part * 8)) % 120);
        const double colour = 400 + static_cast<double>((seed >> (part * 8 + 24)) % 3000);
        for (int i = 0; i < kSpeechRate * 7 / 100; ++i) {
            double v = 0;
            for (int h = 1; pitch * h < 7000; ++h) {
                const double away = (pitch * h - colour) / 600;
                v += std::exp(-away * away) *
                     std::sin(2 * std::numbers::pi * pitch * h * i / kSpeechRate);
            }
            out.push_back(static_cast<float>(0.2 * v));
        }
    }
    out.insert(out.end(), kSpeechRate * 3 / 100, 0.0f);
}

bool Speak(const std::string& text, std::vector<float>& out, std::string&) {
    std::istringstream words(text);
    for (std::string w; words >> w;) SpeakWord(w, out);
    return true;
}

const std::vector<std::string> kTexts = {"alpha bravo charlie delta", "echo foxtrot golf",
                                         "hotel india juliet kilo lima", "mike november oscar"};

TEST(SpeechAlignment, PlacesCaptionsWhereTheirWordsAreSpoken) {
    // What the programme says, each at a second from the start; "" is a pause.
    const struct {
        const char* name;
        std::vector<std::string> texts;   // the captions
        std::vector<std::string> spoken;  // the programme, one text a second apart
        std::vector<int> heard;           // for each caption, which of `spoken` it is, or -1
    } kCases[] = {
        {"all spoken", kTexts, kTexts, {0, 1, 2, 3}},
        {"a caption not spoken", kTexts, {kTexts[0], kTexts[1], kTexts[3]}, {0, 1, -1, 2}},
        {"speech not in the captions",
         kTexts,
         {kTexts[0], "papa quebec romeo sierra", kTexts[1], kTexts[2], kTexts[3]},
         {0, 2, 3, 4}},
        {"an empty caption", {kTexts[0], "", kTexts[1]}, {kTexts[0], kTexts[1]}, {0, -1, 1}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        std::vector<float> sound(kSpeechRate, 0.0f);
        std::vector<int32_t> onsets;  // in 10 ms frames
        for (const std::string& text : c.spoken) {
            onsets.push_back(static_cast<int32_t>(sound.size() / kSpeechFrameSamples));
            std::string unused;
            Speak(text, sound, unused);
            sound.insert(sound.end(), kSpeechRate, 0.0f);
        }
        std::mt19937 noise(1);
        for (float& s : sound) s += static_cast<float>(noise() % 1000) * 1e-6f;
        CepstraMaker programme;
        programme.Take(sound);
        std::vector<CaptionPlace> places;
        std::string error;
        ASSERT_TRUE(
            MakeSpokenTextAligner(Speak)->Place(c.texts, programme.End(), places, error, {}));
        ASSERT_EQ(places.size(), c.texts.size());
        for (size_t k = 0; k < places.size(); ++k) {
            SCOPED_TRACE("caption " + std::to_string(k));
            ASSERT_EQ(places[k].placed, c.heard[k] >= 0);
            if (c.heard[k] < 0) continue;
            EXPECT_NEAR(places[k].from, onsets[c.heard[k]], 2);
            // The last word's tones end 30 ms before its silence.
            std::vector<float> alone;
            Speak(c.texts[k], alone, error);
            EXPECT_NEAR(
                places[k].to,
                onsets[c.heard[k]] + static_cast<int32_t>(alone.size()) / kSpeechFrameSamples - 3,
                2);
        }
    }
}

// The synthesiser's failure is the aligner's, with its words.
TEST(SpeechAlignment, TellsWhyTheTextCouldNotBeSpoken) {
    const auto mute = [](const std::string&, std::vector<float>&, std::string& error) {
        error = "no voice";
        return false;
    };
    std::vector<CaptionPlace> places;
    std::string error;
    EXPECT_FALSE(MakeSpokenTextAligner(mute)->Place(kTexts, std::vector<float>(13 * 100, 0.0f),
                                                    places, error, {}));
    EXPECT_EQ(error, "no voice");
}

}  // namespace
}  // namespace vantrel
