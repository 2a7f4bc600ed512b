#include "media/spoken_text.h"

#include <dlfcn.h>
#include <espeak-ng/speak_lib.h>

#include <cstdint>

#include "media/speech_spectrum.h"

namespace vantrel {

// The library's functions, from the one installed as libespeak-ng1.
struct SpokenText::Library {
    void* handle = nullptr;
    decltype(&espeak_Initialize) initialize = nullptr;
    decltype(&espeak_SetSynthCallback) setCallback = nullptr;
    decltype(&espeak_SetVoiceByName) setVoice = nullptr;
    decltype(&espeak_Synth) synth = nullptr;
    decltype(&espeak_Synchronize) synchronize = nullptr;
    decltype(&espeak_Terminate) terminate = nullptr;

    ~Library() {
        if (handle) dlclose(handle);
    }
    template <typename F>
    bool Find(F& function, const char* name) {
        function = reinterpret_cast<F>(dlsym(handle, name));
        return function != nullptr;
    }
};

namespace {

constexpr char kLibraryName[] = "libespeak-ng.so.1";
constexpr char kMissingText[] =
    "timing to speech needs the espeak-ng speech synthesiser (Debian's libespeak-ng1 and "
    "espeak-ng-data packages), which is not installed";

int TakeSamples(short* wav, int count, espeak_EVENT* events) {
    auto* out = static_cast<std::vector<int16_t>*>(events ? events->user_data : nullptr);
    if (wav && count > 0 && out) out->insert(out->end(), wav, wav + count);
    return 0;
}

// From the synthesiser's rate to kSpeechRate by linear interpolation: the cepstra look no
// higher than 7 kHz, and the synthesiser puts little above that.
void Resample(const std::vector<int16_t>& in, int rate, std::vector<float>& out) {
    const double step = static_cast<double>(rate) / kSpeechRate;
    const auto count = static_cast<size_t>(static_cast<double>(in.size()) / step);
    out.reserve(out.size() + count);
    for (size_t i = 0; i < count; ++i) {
        const double at = static_cast<double>(i) * step;
        const auto k = static_cast<size_t>(at);
        const double a = in[k], b = k + 1 < in.size() ? in[k + 1] : 0.0;
        out.push_back(static_cast<float>((a + (b - a) * (at - static_cast<double>(k))) / 32768));
    }
}

}  // namespace

std::unique_ptr<SpokenText> SpokenText::Open(std::string& error) {
    // espeak-ng keeps one synthesiser for the whole process, whoever loads it: one user at a
    // time, whichever thread.
    static std::mutex synthesiser;
    std::unique_lock lock(synthesiser);
    auto library = std::make_unique<Library>();
    library->handle = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library->handle || !library->Find(library->initialize, "espeak_Initialize") ||
        !library->Find(library->setCallback, "espeak_SetSynthCallback") ||
        !library->Find(library->setVoice, "espeak_SetVoiceByName") ||
        !library->Find(library->synth, "espeak_Synth") ||
        !library->Find(library->synchronize, "espeak_Synchronize") ||
        !library->Find(library->terminate, "espeak_Terminate")) {
        error = kMissingText;
        return nullptr;
    }
    const int rate =
        library->initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) {
        error = kMissingText;
        return nullptr;
    }
    library->setCallback(TakeSamples);
    if (library->setVoice("en") != EE_OK) {
        library->terminate();
        error = "espeak-ng has no English voice: install Debian's espeak-ng-data package";
        return nullptr;
    }
    return std::unique_ptr<SpokenText>(new SpokenText(std::move(lock), std::move(library), rate));
}

SpokenText::SpokenText(std::unique_lock<std::mutex> lock, std::unique_ptr<Library> library,
                       int rate)
    : lock_(std::move(lock)), library_(std::move(library)), rate_(rate) {}

SpokenText::~SpokenText() {
    library_->terminate();
}

bool SpokenText::Speak(const std::string& text, std::vector<float>& samples, std::string& error) {
    std::vector<int16_t> spoken;
    if (library_->synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                        nullptr, &spoken) != EE_OK) {
        error = "espeak-ng could not speak the caption's text";
        return false;
    }
    library_->synchronize();
    Resample(spoken, rate_, samples);
    return true;
}

}  // namespace vantrel
