#include "files/caption_import.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "codec/decoder.h"
#include "files/caption_formats.h"
#include "files/caption_services.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "files/raw_pairs.h"
#include "files/subtitle_import.h"

namespace vantrel {

namespace {

void Inform(const CaptionProject& project, const std::string& text) {
    if (project.host) project.host->Inform(text);
}

// Reads the file from its start up to `limit` bytes, whatever it is (a regular file, a device,
// a pipe); false on a read error. Stops early once `cancel` is raised. The buffer never holds
// room for more than `limit` bytes.
bool ReadFileStart(File& file, size_t limit, const std::atomic<int>& cancel,
                   std::vector<uint8_t>& out) {
    constexpr size_t kChunk = 1 << 20;
    out.clear();
    const auto length = static_cast<uint64_t>(std::max<int64_t>(file.Length(), 0));
    out.reserve(std::min<uint64_t>(limit, length + 1));  // and one byte to see that it ends
    while (out.size() < limit && !CancelRaised(&cancel)) {
        const size_t want = std::min(kChunk, limit - out.size());
        const size_t old = out.size();
        if (out.capacity() < old + want) {
            // Doubling, but straight to the limit once that is near, so that the byte past a
            // full buffer never costs a copy of all before it.
            const size_t doubled = std::max(old + want, 2 * out.capacity());
            out.reserve(doubled > limit / 2 ? limit : doubled);
        }
        out.resize(old + want);
        const size_t got = file.Read(out.data() + old, want);
        out.resize(old + got);
        if (file.Failed()) return false;
        if (got < want) break;
    }
    return true;
}

}  // namespace

bool IsVideoExtension(std::string_view extension) {
    const CaptionFormat* format = FormatOfExtension(extension);
    return format && format->kind == FormatKind::Video;
}

bool ReadTextFile(CaptionProject& project, const std::string& path, std::vector<uint8_t>& content) {
    File file;
    const bool opened = file.Open(path, File::Mode::Read, &project.cancel);
    if (opened && file.Length() <= kMaxTextFileBytes &&
        ReadFileStart(file, static_cast<size_t>(kMaxTextFileBytes) + 1, project.cancel, content) &&
        content.size() <= static_cast<size_t>(kMaxTextFileBytes)) {
        return !CancelRaised(&project.cancel);
    }
    if (CancelRaised(&project.cancel)) return false;
    if (!opened || file.Failed()) {
        Inform(project, ErrorOpeningFileText(path, file.Error()));
    } else {
        Inform(project, FileTooLargeText(path, kMaxTextFileBytes));
    }
    content.clear();
    return false;
}

ImportResult ImportCaptionFile(CaptionProject& project, const std::string& path,
                               std::string_view extension, const ImportHooks& hooks) {
    const CaptionFormat* row = FormatOfExtension(extension);
    if (!row || !row->reads || row->kind == FormatKind::Project) return ImportResult::Other;
    const FormatKind format = row->kind;
    const bool subtitles = format == FormatKind::Subtitles;
    if (format == FormatKind::Mpeg2 && !hooks.readMpeg2) return ImportResult::Mpeg2Stream;
    if (!subtitles && FieldOfChannel(hooks.decode.channel) == 2 && !row->field2) {
        Inform(project, ChannelNotCarriedText(path, hooks.decode.channel));
        return ImportResult::ChannelNotCarried;
    }
    if (format == FormatKind::Video) {
        if (!hooks.readVideo) return ImportResult::VideoFile;
        CaptionList read;
        if (!hooks.readVideo(project, path, read, hooks.decode)) {
            return CancelRaised(&project.cancel) ? ImportResult::Cancelled
                                                 : ImportResult::StreamFailed;
        }
        if (hooks.beforeClear) hooks.beforeClear();
        project.ReplaceCaptions(read);
        return ImportResult::Imported;
    }

    // Each input is opened once: a named pipe gives its content only to the first reader.
    File file;
    if (!file.Open(path, File::Mode::Read, &project.cancel)) {
        if (CancelRaised(&project.cancel)) return ImportResult::Cancelled;
        Inform(project, ErrorOpeningFileText(path, file.Error()));
        return ImportResult::OpenFailed;
    }
    // A raw pair file is read only as far as the last frame we place data on.
    const bool raw = row->binary;
    if (format != FormatKind::Mpeg2 && !raw && file.Length() > kMaxTextFileBytes) {
        Inform(project, FileTooLargeText(path, kMaxTextFileBytes));
        return ImportResult::TooLarge;
    }
    CaptionList read;
    if (format == FormatKind::Mpeg2) {
        if (!hooks.readMpeg2(project, file, read, hooks.decode)) {
            return CancelRaised(&project.cancel) ? ImportResult::Cancelled
                                                 : ImportResult::StreamFailed;
        }
        if (hooks.beforeClear) hooks.beforeClear();
        project.ReplaceCaptions(read);
        return ImportResult::Imported;
    }
    std::vector<uint8_t> content;
    const size_t limit =
        raw ? kRawHeaderSize + MaxRawPairBytes() + 1 : static_cast<size_t>(kMaxTextFileBytes) + 1;
    if (!ReadFileStart(file, limit, project.cancel, content)) {
        if (CancelRaised(&project.cancel)) return ImportResult::Cancelled;
        Inform(project, ErrorOpeningFileText(path, file.Error()));
        return ImportResult::OpenFailed;
    }
    file.Close();
    if (CancelRaised(&project.cancel)) return ImportResult::Cancelled;
    if (!raw && content.size() > static_cast<size_t>(kMaxTextFileBytes)) {
        Inform(project, FileTooLargeText(path, kMaxTextFileBytes));
        return ImportResult::TooLarge;
    }
    if (subtitles) {
        return ImportSubtitleFile(project, path, *row, std::move(content), hooks.beforeClear);
    }

    CaptionFileData data = row->readPairs(content, &project.cancel);
    content = {};
    if (CancelRaised(&project.cancel)) return ImportResult::Cancelled;
    if (!data.recognized) {
        Inform(project, NotRecognizedText(path, *row));
        return ImportResult::NotRecognized;
    }
    if (!data.unsupportedRate.empty()) {
        Inform(project, UnsupportedTimeCodeRateText(path, data.unsupportedRate));
        return ImportResult::NotRecognized;
    }
    const PairStream& pairs =
        FieldOfChannel(hooks.decode.channel) == 2 ? data.field2Pairs : data.pairs;
    const SkippedData skipped = DecodePairStream(read, pairs, &project.cancel, hooks.decode);
    if (CancelRaised(&project.cancel)) return ImportResult::Cancelled;
    // No 608 on the channel: the captions come of the 708 service asked for.
    const dtvcc::ServiceReport report = Import708Service(read, data, hooks.decode);
    if (report.captions > 0) {
        if (project.host) {
            project.host->Note(
                Read708Text(path, hooks.decode.channel, hooks.decode.service, report));
        }
        const std::string lost = Lost708Text(path, report);
        if (!lost.empty()) Inform(project, lost);
    }
    const std::string held =
        HeldServicesText(path, HeldServicesOf(data),
                         report.captions > 0 ? "708 service " + std::to_string(hooks.decode.service)
                                             : "CC" + std::to_string(hooks.decode.channel));
    if (!held.empty() && project.host) project.host->Note(held);
    const std::string skippedText = SkippedDataText(path, skipped, data);
    if (!skippedText.empty()) Inform(project, skippedText);
    const std::string madeText = MadeFromDataText(path, skipped);
    if (!madeText.empty() && project.host) project.host->Note(madeText);
    if (hooks.beforeClear) hooks.beforeClear();
    project.ReplaceCaptions(read);
    return ImportResult::Imported;
}

}  // namespace vantrel
