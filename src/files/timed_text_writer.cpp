#include <cstdio>
#include <map>
#include <tuple>

#include "files/caption_blocks.h"
#include "files/caption_grid.h"
#include "files/timed_text.h"
#include "files/xml_escape.h"
#include "model/caption_project.h"

namespace vantrel {

namespace {

struct Vocabulary {
    std::string_view ttml, parameter, styling;
};
constexpr Vocabulary kTtml{"http://www.w3.org/ns/ttml", "http://www.w3.org/ns/ttml#parameter",
                           "http://www.w3.org/ns/ttml#styling"};
constexpr Vocabulary kDfxp{"http://www.w3.org/2006/10/ttaf1",
                           "http://www.w3.org/2006/10/ttaf1#parameter",
                           "http://www.w3.org/2006/10/ttaf1#styling"};

std::string Percent(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f%%", value);
    return text;
}

// A frame's time: in ticks of 1/30000 s, exact, or (DFXP, whose players may not know ticks)
// as hh:mm:ss.mmm, the nearest millisecond, which reads back as the same frame.
std::string TimeOf(int64_t frame, TimedTextProfile profile) {
    frame = std::max<int64_t>(frame, 0);
    if (profile != TimedTextProfile::Dfxp) {
        return std::to_string(frame * kFrameRateDenominator) + "t";
    }
    std::string time = FormatSubtitleTime(frame);
    time[time.size() - 4] = '.';
    return time;
}

// A region's place: its first row and rows, its columns, centred or by columns.
using RegionKey = std::tuple<int, int, int, int, bool>;

class DocumentWriter {
  public:
    DocumentWriter(TimedTextProfile profile, const WriteOptions& options)
        : profile_(profile), grid_(GridOf(options.widescreen)) {}

    void Caption(const vantrel::Caption& c) {
        for (const CaptionBlock& block : CaptionBlocks(c)) {
            body_ += "      <p begin=\"" + TimeOf(c.startFrame, profile_) + "\" end=\"" +
                     TimeOf(c.endFrame, profile_) + "\" region=\"" + Region(block) +
                     "\" xml:space=\"preserve\">";
            for (size_t k = 0; k < block.rows.size(); ++k) {
                const BlockRow& row = block.rows[k];
                if (k > 0) body_ += "<br/>";
                // Monospaced cells: blanks before a row put its first cell on its column.
                if (!block.centred) body_.append(row.column - block.column, ' ');
                for (const TextRun& run : row.runs) {
                    if (!run.shown) {
                        body_ += run.utf8;
                        continue;
                    }
                    body_ += "<span style=\"" + Style(run.attribute) + "\">";
                    AppendXmlEscaped(body_, run.utf8);
                    body_ += "</span>";
                }
            }
            body_ += "</p>\n";
        }
    }

    std::string Document() const {
        const Vocabulary& v = profile_ == TimedTextProfile::Dfxp ? kDfxp : kTtml;
        std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tt xmlns=\"";
        out += std::string(v.ttml) + "\" xmlns:ttp=\"" + std::string(v.parameter) +
               "\" xmlns:tts=\"" + std::string(v.styling) + "\"";
        if (profile_ == TimedTextProfile::SmpteTt) {
            out +=
                " xmlns:smpte=\"http://www.smpte-ra.org/schemas/2052-1/2010/smpte-tt\""
                " ttp:profile=\"http://www.smpte-ra.org/schemas/2052-1/2010/profiles/"
                "smpte-tt-full\"";
        } else if (profile_ == TimedTextProfile::Imsc) {
            out += " ttp:contentProfiles=\"http://www.w3.org/ns/ttml/profile/imsc1.1/text\"";
        }
        // Cells of 1/160 of the width and 1/75 of the height: four of them are a caption row.
        out +=
            " xml:lang=\"en\" ttp:timeBase=\"media\" "
            "ttp:frameRate=\"30\" ttp:frameRateMultiplier=\"1000 1001\"";
        if (profile_ != TimedTextProfile::Dfxp) out += " ttp:tickRate=\"30000\"";
        out += " ttp:cellResolution=\"160 75\">\n  <head>\n    <styling>\n";
        for (const auto& [attribute, id] : styles_) {
            out += "      <style xml:id=\"" + id + "\" tts:color=\"" +
                   std::string(kWebColourNames[Foreground(attribute)]) +
                   "\" tts:backgroundColor=\"" +
                   std::string(kWebColourNames[Background(attribute)]) + "\"";
            if (IsItalic(attribute)) out += " tts:fontStyle=\"italic\"";
            if (IsUnderlined(attribute)) out += " tts:textDecoration=\"underline\"";
            out += "/>\n";
        }
        out += "    </styling>\n    <layout>\n";
        for (const auto& [key, id] : regions_) {
            const auto [firstRow, rows, column, width, centred] = key;
            out += "      <region xml:id=\"" + id + "\" tts:origin=\"" +
                   Percent(grid_.ColumnX(column)) + " " + Percent(grid_.RowY(firstRow)) +
                   "\" tts:extent=\"" + Percent(width * grid_.columnWidth) + " " +
                   Percent(rows * grid_.rowHeight) +
                   "\" tts:displayAlign=\"before\" tts:textAlign=\"" +
                   (centred ? "center" : "left") +
                   "\" tts:fontFamily=\"monospaceSansSerif\" tts:fontSize=\"4c\" "
                   "tts:lineHeight=\"4c\" tts:wrapOption=\"noWrap\"/>\n";
        }
        out += "    </layout>\n  </head>\n  <body>\n    <div>\n" + body_;
        out += "    </div>\n  </body>\n</tt>\n";
        return out;
    }

  private:
    std::string Region(const CaptionBlock& block) {
        const RegionKey key = block.centred ? RegionKey{block.firstRow, int(block.rows.size()), 0,
                                                        kScreenColumns, true}
                                            : RegionKey{block.firstRow, int(block.rows.size()),
                                                        block.column, block.width, false};
        auto [it, added] = regions_.try_emplace(key, "");
        if (added) it->second = "r" + std::to_string(regions_.size());
        return it->second;
    }

    std::string Style(uint8_t attribute) {
        auto [it, added] = styles_.try_emplace(attribute, "");
        if (added) it->second = "s" + std::to_string(styles_.size());
        return it->second;
    }

    TimedTextProfile profile_;
    CaptionGrid grid_;
    std::string body_;
    std::map<RegionKey, std::string> regions_;
    std::map<uint8_t, std::string> styles_;
};

}  // namespace

std::string TimedTextDocument(const CaptionList& captions, TimedTextProfile profile,
                              const WriteOptions& options, const std::atomic<int>* cancel) {
    CancelPoll cancelled(cancel);
    DocumentWriter writer(profile, options);
    for (const Caption* c = captions.Head(); c && !cancelled(); c = c->next) writer.Caption(*c);
    return writer.Document();
}

}  // namespace vantrel
