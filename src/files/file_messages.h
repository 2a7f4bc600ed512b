// Every text the core shows to the user (through ProjectHost::Inform, the progress dialog's
// title, or the command-line tool), in one place so that they read alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "dtvcc/service_decoder.h"
#include "files/caption_services.h"
#include "files/pair_stream.h"
#include "model/caption.h"

namespace vantrel {

struct ProjectDamage;
struct CaptionFormat;

inline constexpr std::string_view kNoClosedCaptionsInVideoText =
    "Video file does not contain closed captions";
inline constexpr std::string_view kGroupTooLargeText = "Error: Encountered GOP larger than 10MB";
inline constexpr std::string_view kMultiplexMemoryText =
    "Unable to allocate temporary\nmemory for multiplex operation";
inline constexpr std::string_view kTranscriptMemoryText =
    "Unable to allocate temporary\nmemory for the transcript";
inline constexpr std::string_view kExtractionMemoryText =
    "Unable to allocate temporary\nmemory for caption extraction";

// An operation that cannot even begin, named as the user knows it (the operations below, or a
// menu command), with the system's reason: nothing was done.
inline constexpr std::string_view kExtractionOperation = "Reading captions from the video stream";
inline constexpr std::string_view kMultiplexOperation = "Multiplexing captions into the stream";
inline constexpr std::string_view kTranscriptOperation = "Importing the transcript";
inline constexpr std::string_view kSpeechTimingOperation = "Timing the captions to the speech";
std::string CannotStartText(std::string_view operation, const std::string& reason);
// A command of the window that an exception stopped (memory or a system resource ran out);
// the project is as it was before the command.
std::string OperationFailedText(std::string_view operation, const std::string& reason);

// The progress dialog's title for each stream operation.
inline constexpr std::string_view kExtractionTitle =
    "Extracting Captions from MPEG-2 Video Stream...";
// Embedding names the file being made, whole ("Embedding captions into job.mp4").
std::string EmbeddingTitle(const std::string& outputPath);
inline constexpr std::string_view kTranscriptTitle = "Importing Transcript...";
inline constexpr std::string_view kSpeechTimingTitle = "Timing Captions to Speech...";

// "Error opening file " followed by the path.
std::string ErrorOpeningFileText(const std::string& path);
// "Error saving file " followed by the path.
std::string ErrorSavingFileText(const std::string& path);
// The same, with the system's reason on a paragraph of its own when there is one.
std::string ErrorOpeningFileText(const std::string& path, const std::string& reason);
std::string ErrorSavingFileText(const std::string& path, const std::string& reason);

// The one message of an import that left data out or had to guess, "Not imported from PATH:"
// and each kind as a sentence on a line of its own, with its count and where the first of them
// is: roll-up and paint-on codes and
// second-channel pairs that the decoder skipped (by timecode); lines of a text file without a
// timecode, out of order or past the last frame read, unknown .ccd tokens, NUL bytes and
// characters without a Windows-1252 byte (by line number); .mcc packets whose checksum is
// wrong (by line number and timecode); pairs of a raw file past the last
// frame read. Then, as a paragraph of its own ("Read by guessing:", naming the file only when
// it comes first), what was read by a guess: .scc words that are not four hexadecimal digits,
// frame numbers of 30 or more, lines queued after the pairs before them, pairs with bad parity
// (those of the field read) and one-frame flashes. Empty when there is nothing.
std::string SkippedDataText(const std::string& path, const SkippedData& skipped,
                            const CaptionFileData& read = {});

// The note of an import that read a 708 service, the file holding no 608 captions on the
// channel: how many captions came of it, how many of more than 4 rows and with 708 styles the
// 608 screen lacks (kept as text in 608's colours).
std::string Read708Text(const std::string& path, int channel, int service,
                        const dtvcc::ServiceReport& report);
// What of the 708 service could not be placed on the 608 screen (characters past its 32
// columns or 15 rows, codes of the sets 608 has no place for), by the timecode of the first;
// empty when nothing.
std::string Lost708Text(const std::string& path, const dtvcc::ServiceReport& report);
// The caption services of a file that holds more than the one read ("608 CC1, CC3; 708
// services 1, 2"), and which was read (`read`, "CC1" or "708 service 1"); empty when it holds
// one or none.
std::string HeldServicesText(const std::string& path, const HeldServices& held,
                             const std::string& read);

// What roll-up and paint-on data became ("106 roll-up lines became 53 pop-on captions."), one
// sentence a line after "Imported from PATH:"; empty when there was none.
std::string MadeFromDataText(const std::string& path, const SkippedData& made);

// A channel of field 2 asked of a format that holds field 1 only.
std::string ChannelNotCarriedText(const std::string& path, int channel);

// A project file that isn't one, or is damaged; the current project stays as it was.
std::string NotAProjectText(const std::string& path);
std::string DamagedProjectText(const std::string& path);
// The same, naming what is wrong: in the header, or in which caption record and how.
std::string DamagedProjectText(const std::string& path, const ProjectDamage& damage);
// Whether to open what a damaged project still holds, `captions` readable captions (more than
// none), as a new untitled project.
std::string OpenReadableCaptionsQuestion(const ProjectDamage& damage, size_t captions);

// Subtitle import: blocks of a subtitle file without a readable time line; characters that
// have no form on a 608 screen (the first of them, and the frame of its cue); a file without
// a single cue to show.
std::string SkippedSubtitleBlocksText(const std::string& path, size_t blocks);
std::string UnshownCharactersText(const std::string& path, size_t count, char32_t first,
                                  int64_t frame);
std::string NoSubtitlesText(const std::string& path);
// Transcript import: characters without a 608 form (the first of them, and its line); a file
// without a single line of text to show.
std::string UnshownTranscriptCharactersText(const std::string& path, size_t count, char32_t first,
                                            size_t line);
std::string NoTranscriptText(const std::string& path);
// Cues that start before the cue before them in the file (put in time order), or before that
// cue ends (each then ends where the next begins), and the frame of the first of them.
std::string CuesOutOfOrderText(const std::string& path, size_t count, int64_t firstFrame);
std::string OverlappingCuesText(const std::string& path, size_t count, int64_t firstFrame);
// Cues whose end lies before their start, and the line of the first one's time line; they were
// kept.
std::string CuesEndingBeforeStartText(const std::string& path, size_t count, size_t firstLine);

// How many captions the encoder had to leave out of an export or a multiplexed stream, and the
// start timecodes of the first of them; empty when none was.
std::string LeftOutCaptionsText(const std::vector<const Caption*>& leftOut);
// How many captions the encoder had to show late for lack of loading time, with the start
// timecode and the first frame shown of the first of them; empty when none was.
std::string LateCaptionsText(const std::vector<LateCaption>& late);

// Multiplexing: `count` captions start too late for the video, whose last picture that carries
// captions is frame `lastPicture` (-1 when none does); the first of them starts at `firstStart`.
std::string CaptionsPastTheEndText(size_t count, int64_t firstStart, int64_t lastPicture);
// A video whose pictures have no time stamps (a raw H.264 or HEVC stream, `what`), so that
// captions cannot be placed in time.
std::string VideoWithoutTimestampsText(const std::string& path, std::string_view what);
// A video that captions cannot be embedded into, and why (`why`: "it has no H.264 or HEVC
// video").
std::string NoCaptionCarrierText(const std::string& path, const std::string& why);
// Streams of a source that began after its start (named "index (codec)"), left out of the copy.
std::string LateStreamsText(const std::string& path, const std::vector<std::string>& streams,
                            uint64_t packets);
// A source that no carrier supports; `what` says what it is ("it is empty").
std::string NotAVideoStreamText(const std::string& path, std::string_view what);
// Why a media file is not read: a URL, a device or a folder; a playlist or index naming others.
inline constexpr std::string_view kNotALocalFileText =
    "it is not a local file; only a file on this computer is read";
inline constexpr std::string_view kNamesOtherFilesText =
    "it names other files or addresses to read (a playlist or an index); only a video file "
    "itself is read";
// Video that cannot be read or written because the video module is not installed, or would not
// load: its name, each place it was looked for, and the loader's reason when one held a file.
std::string VideoModuleMissingText(std::string_view name, const std::vector<std::string>& tried,
                                   const std::string& reason);

// The command-line tool's texts.
inline constexpr std::string_view kCancelledText = "cancelled";
inline constexpr std::string_view kOutOfMemoryText =
    "not enough memory to finish; nothing was written";
// Any other failure that ended a command, with the system's text.
std::string StoppedText(const std::string& what);
inline constexpr std::string_view kNothingToMultiplexText = "there are no captions to multiplex";
inline constexpr std::string_view kDvdIntoElementaryText =
    "DVD caption user data goes into an MPEG-2 video elementary stream (.m2v) only";
inline constexpr std::string_view kOverwritesInputText = "the output would overwrite the input";
inline constexpr std::string_view kOverwritesAnInputText = "the output would overwrite an input";
// A conversion or a list whose input holds no caption; a conversion's output is written all
// the same.
inline constexpr std::string_view kNoCaptionsFoundText = "no captions were found";
// The list could not be written to standard output, with the system's reason.
std::string ListNotWrittenText(const std::string& reason);
// A file whose content is not what its format's files begin with.
std::string NotRecognizedText(const std::string& path, const CaptionFormat& format);
// An .mcc file whose time code rate is other than 30 and 30DF.
std::string UnsupportedTimeCodeRateText(const std::string& path, const std::string& rate);
// A text file over the size that the readers hold in memory.
std::string FileTooLargeText(const std::string& path, int64_t limit);
// `direction` is "read" or "write"; the extensions of the formats that are follow.
std::string UnknownFormatText(const std::string& direction);

}  // namespace vantrel
