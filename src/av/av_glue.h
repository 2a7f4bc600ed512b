// The one home of what every user of FFmpeg's libraries needs: owners for their objects, their
// error codes as text, the open of a media file (a regular local file only, and nothing it
// names), stream selection and decoder opening. Carriers, media readers and the frame source
// all open files here, with the same options.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// After <cstdint>, which libavutil needs first in C++.
extern "C" {
#include <libavutil/avutil.h>
}

struct AVCodec;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

namespace vantrel::av {

struct InputCloser {
    void operator()(AVFormatContext* format) const;
};
struct CodecCloser {
    void operator()(AVCodecContext* codec) const;
};
struct PacketFreer {
    void operator()(AVPacket* packet) const;
};
struct FrameFreer {
    void operator()(AVFrame* frame) const;
};
using InputPtr = std::unique_ptr<AVFormatContext, InputCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecCloser>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;

// A packet and a frame, thrown std::bad_alloc when there is no memory for them.
PacketPtr NewPacket();
FramePtr NewFrame();

std::string ErrorText(int error);

// FFmpeg's own log says nothing a user needs: what goes wrong is told in our words. Called once
// when a program starts (or loads the module that reads video).
void QuietLog();

struct InputOptions {
    const std::atomic<int>* cancel = nullptr;  // raised: blocking reads return at once
    bool largeRawPackets = false;              // raw streams read 64 KiB at a time
    bool probeStreams = true;                  // the streams' details read before returning
};

// Opens the media file at `path`: only an existing regular file, read through the `file`
// protocol alone; a file that names other files or addresses to read (a playlist, an HLS or
// DASH index, a concat list) reads none of them. Null on failure, with `error` in a person's
// words (a cancel leaves it empty).
InputPtr OpenLocalInput(const std::string& path, const InputOptions& options, std::string& error);

// The path of the file OpenLocalInput opened (its URL without the "file:" it was given).
std::string LocalPathOf(const AVFormatContext* format);

// Whether the opened file tried to make the demuxer open anything besides itself; what was read
// of such a file is not the file's own.
bool NamedOtherFiles(const AVFormatContext* format);

// The index of stream `n` (from 0) of this type, cover pictures left out; -1 when there is none.
int NthStream(const AVFormatContext* format, AVMediaType type, int n);
// The demuxer's choice of the video stream after probing (the first, almost always), never a
// cover picture; -1 when there is none.
int BestVideoStream(const AVFormatContext* format);
// Every stream but `index` discarded, so that the demuxer hands out only its packets.
void DiscardAllBut(AVFormatContext* format, int index);
// NthStream, with every other stream discarded.
int KeepOnlyStream(AVFormatContext* format, AVMediaType type, int n);

// A decoder for the stream, set up by `configure` before it opens; null on failure.
CodecPtr OpenDecoder(const AVStream* stream,
                     const std::function<void(AVCodecContext&, const AVCodec&)>& configure = {});

}  // namespace vantrel::av
