#include "files/caption_export.h"

#include "codec/encoder.h"
#include "files/file_messages.h"

namespace vantrel {

std::string FormatCaptionFile(std::span<const uint8_t> stream, std::string_view extension,
                              TimecodeStyle style, const std::atomic<int>* cancel) {
    const CaptionFormat* format = FormatOfExtension(extension);
    if (!format || !format->writePairs) return {};
    return format->writePairs(stream, WriteOptions{.style = style}, cancel);
}

ExportResult ExportCaptionFile(CaptionProject& project, const std::string& path,
                               const CaptionFormat& format, const WriteOptions& options) {
    return ExportCaptionFile(project, format, options, [&](std::string_view content) {
        return ReplaceFileContent(path, content, project.host, &project.cancel);
    });
}

ExportResult ExportCaptionFile(CaptionProject& project, const CaptionFormat& format,
                               const WriteOptions& options, const ContentWriter& write) {
    ExportResult result;
    if (format.writeCaptions) {
        result.write = write(format.writeCaptions(project.captions, options, &project.cancel));
        return result;
    }
    const EncodedCaptions encoded = EncodeCaptions(project.captions, &project.cancel);
    result.leftOut = encoded.leftOut.size();
    // A format with room for 708 data gets the same captions as service 1.
    dtvcc::PacketStream dtvcc;
    WriteOptions written = options;
    if (format.dtvccFrameBytes > 0 && options.write708) {
        dtvcc = dtvcc::PackCaptions(encoded.shown, format.dtvccFrameBytes);
        written.dtvcc = &dtvcc;
    }
    const std::string content =
        format.writePairs ? format.writePairs(encoded.bytes, written, &project.cancel) : "";
    result.write = write(content);
    if (result.write == WriteResult::Cancelled) return result;
    result.late = encoded.late.size();
    if (!project.host) return result;
    if (result.leftOut > 0) project.host->Inform(LeftOutCaptionsText(encoded.leftOut));
    if (result.late > 0) project.host->Inform(LateCaptionsText(encoded.late));
    return result;
}

ExportResult ExportCaptionFile(CaptionProject& project, const std::string& path,
                               std::string_view extension, TimecodeStyle style) {
    static constexpr CaptionFormat kNone{};
    const CaptionFormat* format = FormatOfExtension(extension);
    const bool writes = format && (format->writePairs || format->writeCaptions);
    return ExportCaptionFile(project, path, writes ? *format : kNone, WriteOptions{.style = style});
}

}  // namespace vantrel
