// The title and the file filter of the Choose Video Stream dialog.
#pragma once

namespace vantrel {

inline constexpr const char kOpenVideoStreamTitle[] = "Open Video Stream";

// What the player plays, in Qt's syntax: patterns separated by spaces, entries by ";;", and "*" for
// all files, since on Linux "*.*" would hide names without an extension.
inline constexpr const char kVideoStreamFilter[] =
    "Video Files (*.mp4 *.m4v *.mov *.mkv *.webm *.ts *.m2ts *.mts *.avi *.mpg *.mpeg *.m2v "
    "*.vob);;"
    "Audio Files (*.wav *.mp3 *.m4a *.aac *.flac *.ogg *.opus);;"
    "All Files (*)";

}  // namespace vantrel
