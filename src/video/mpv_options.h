// The libmpv options of the media player.
#pragma once

#include <string_view>

namespace vantrel {

// Seconds that an exact seek starts demuxing before its target. Without it MPEG-2 in program
// and transport streams lands a group of pictures late: their seeks go by timestamps read from
// the file, not by an index.
// AVI needs it too (B-frames without their own timestamps). MP4 and Matroska do not: their
// index leads exactly to a key frame, and the offset only makes every seek decode a second more.
inline constexpr const char* kDemuxerOffset = "1";
inline constexpr std::string_view kExactIndexFormats[] = {"mov,mp4,m4a,3gp,3g2,mj2", "mkv",
                                                          "matroska,webm"};

// Options that frame-exact, embedded playback cannot do without.
inline constexpr const char* kRequiredOptions[][2] = {
    {"vo", "libmpv"},
    {"hwdec", "no"},
    {"hr-seek", "yes"},
    {"hr-seek-demuxer-offset", kDemuxerOffset},
    // The end pauses on the last frame instead of closing the file.
    {"keep-open", "yes"},
    {"pause", "yes"},
    {"idle", "yes"},
    // The picture fills the video window whatever its own shape, with no bars.
    {"keepaspect", "no"},
    // A project names a local file; a playlist or a stream index in it must not lead the
    // player to anything else, on the network least of all.
    {"access-references", "no"},
    {"load-unsafe-playlists", "no"},
};

// Options that keep libmpv quiet and out of the way; some builds lack some of them.
inline constexpr const char* kQuietOptions[][2] = {
    {"audio-display", "no"},
    {"sid", "no"},
    {"sub-auto", "no"},
    {"terminal", "no"},
    {"config", "no"},
    {"load-scripts", "no"},
    {"osc", "no"},
    {"ytdl", "no"},
    {"input-default-bindings", "no"},
    {"input-vo-keyboard", "no"},
};

}  // namespace vantrel
