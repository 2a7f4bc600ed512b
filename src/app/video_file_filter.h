// The title and the file filter of the Choose Video Stream dialog.
#pragma once

namespace vantrel {

inline constexpr const char kOpenVideoStreamTitle[] = "Open Video Stream";

// The filter in Qt's syntax: patterns separated by spaces, entries by ";;", and "*" for all
// files, since on Linux "*.*" would hide names without an extension.
inline constexpr const char kVideoStreamFilter[] =
    "Video Files (*.avi *.qt *.mov *.mpg *.mpeg *.m1v *.m2v *.vob);;"
    "Audio files (*.wav *.mpa *.mp2 *.mp3 *.au *.aif *.aiff *.snd);;"
    "WMT Files (*.asf *.wma *.wmv);;"
    "All Files (*)";

}  // namespace vantrel
