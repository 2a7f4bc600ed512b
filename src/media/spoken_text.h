// Text spoken by the espeak-ng synthesiser, for the alignment to match against the programme:
// offline, with the voice data Debian's package installs. The library is loaded when first
// wanted, so that the programs start without it and only timing to speech needs it.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vantrel {

class SpokenText {
  public:
    // The synthesiser, or null with `error` saying what is missing. The synthesiser has one
    // state per process: while one SpokenText lives, another waits here.
    static std::unique_ptr<SpokenText> Open(std::string& error);
    ~SpokenText();
    SpokenText(const SpokenText&) = delete;
    SpokenText& operator=(const SpokenText&) = delete;

    // The UTF-8 `text` spoken, appended to `samples` at kSpeechRate; false with `error` when
    // the synthesiser refused it.
    bool Speak(const std::string& text, std::vector<float>& samples, std::string& error);

    struct Library;

  private:
    SpokenText(std::unique_lock<std::mutex> lock, std::unique_ptr<Library> library, int rate);

    std::unique_lock<std::mutex> lock_;
    std::unique_ptr<Library> library_;
    int rate_;
};

}  // namespace vantrel
