#include "files/caption_export.h"

#include "codec/encoder.h"
#include "files/ccd.h"
#include "files/file_messages.h"
#include "files/mcc.h"
#include "files/raw_pairs.h"
#include "files/scc.h"

namespace vantrel {

std::string FormatCaptionFile(std::span<const uint8_t> stream, std::string_view extension,
                              TimecodeStyle style, const std::atomic<int>* cancel) {
    const std::string e = LowerCaseAscii(extension);
    if (e == "bin" || e == "dat") return FormatRawPairs(stream);
    if (e == "scc") return FormatSccText(stream, style, cancel);
    if (e == "ccd") return FormatCcdText(stream, style, cancel);
    if (e == "mcc") return FormatMccText(stream, style, cancel);
    return {};
}

ExportResult ExportCaptionFile(CaptionProject& project, const std::string& path,
                               std::string_view extension, TimecodeStyle style) {
    ExportResult result;
    const EncodedCaptions encoded = EncodeCaptions(project.captions, &project.cancel);
    result.leftOut = encoded.leftOut.size();
    result.write = ReplaceFileContent(
        path, FormatCaptionFile(encoded.bytes, extension, style, &project.cancel), project.host,
        &project.cancel);
    if (result.write == WriteResult::Cancelled) return result;
    result.late = encoded.late.size();
    if (!project.host) return result;
    if (result.leftOut > 0) project.host->Inform(LeftOutCaptionsText(encoded.leftOut));
    if (result.late > 0) project.host->Inform(LateCaptionsText(encoded.late));
    return result;
}

}  // namespace vantrel
