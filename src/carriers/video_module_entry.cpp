// The video module's entry point: the table of what it does.
#include "av/av_glue.h"
#include "carriers/embed_captions.h"
#include "carriers/video_captions.h"
#include "carriers/video_module.h"
#include "media/audio_waveform.h"

extern "C" __attribute__((visibility("default"))) const vantrel::VideoFunctions*
vantrel_video_functions() {
    static const vantrel::VideoFunctions functions = [] {
        // The module's first use, in the converter; the window sets it in its main().
        vantrel::av::QuietLog();
        return vantrel::VideoFunctions{vantrel::ReadVideoCaptions, vantrel::EmbedCaptions,
                                       vantrel::ReadSpeechSound};
    }();
    return &functions;
}
