#include "files/mcc.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "files/cc_data.h"
#include "files/text_lines.h"
#include "files/timecode_lines.h"

namespace vantrel {

namespace {

// The descriptive text every .mcc file carries after its format line.
constexpr std::string_view kMccPreamble =
    "\r\n"
    "///////////////////////////////////////////////////////////////////////////////////\r\n"
    "// Computer Prompting and Captioning Company\r\n"
    "// Ancillary Data Packet Transfer File\r\n"
    "//\r\n"
    "// Permission to generate this format is granted provided that\r\n"
    "//   1. This ANC Transfer file format is used on an as-is basis and no warranty is given, "
    "and\r\n"
    "//   2. This entire descriptive information text is included in a generated .mcc file.\r\n"
    "//\r\n"
    "// General file format:\r\n"
    "//   HH:MM:SS:FF(tab)[Hexadecimal ANC data in groups of 2 characters]\r\n"
    "//     Hexadecimal data starts with the Ancillary Data Packet DID (Data ID defined in "
    "S291M)\r\n"
    "//       and concludes with the Check Sum following the User Data Words.\r\n"
    "//     Each time code line must contain at most one complete ancillary data packet.\r\n"
    "//     To transfer additional ANC Data successive lines may contain identical time code.\r\n"
    "//     Time Code Rate=[24, 25, 30, 30DF, 50, 60]\r\n"
    "//\r\n"
    "//   ANC data bytes may be represented by one ASCII character according to the following "
    "schema:\r\n"
    "//     G  FAh 00h 00h\r\n"
    "//     H  2 x (FAh 00h 00h)\r\n"
    "//     I  3 x (FAh 00h 00h)\r\n"
    "//     J  4 x (FAh 00h 00h)\r\n"
    "//     K  5 x (FAh 00h 00h)\r\n"
    "//     L  6 x (FAh 00h 00h)\r\n"
    "//     M  7 x (FAh 00h 00h)\r\n"
    "//     N  8 x (FAh 00h 00h)\r\n"
    "//     O  9 x (FAh 00h 00h)\r\n"
    "//     P  FBh 80h 80h\r\n"
    "//     Q  FCh 80h 80h\r\n"
    "//     R  FDh 80h 80h\r\n"
    "//     S  96h 69h\r\n"
    "//     T  61h 01h\r\n"
    "//     U  E1h 00h 00h 00h\r\n"
    "//     Z  00h\r\n"
    "//\r\n"
    "///////////////////////////////////////////////////////////////////////////////////\r\n"
    "\r\n";

constexpr std::string_view kRateKey = "Time Code Rate=";

// The ancillary packet of a caption distribution packet: DID 61, SDID 01, the data count, the
// packet, a checksum.
constexpr uint8_t kDid = 0x61;
constexpr uint8_t kSdid = 0x01;
constexpr size_t kAncHeaderBytes = 3;
// The caption distribution packet: identifier 96 69, length, frame rate, flags, a counter; then
// its sections by their first byte; the footer 74, the counter again and a checksum that brings
// the packet's byte sum to 0.
constexpr uint8_t kCdpId0 = 0x96;
constexpr uint8_t kCdpId1 = 0x69;
constexpr size_t kCdpHeaderBytes = 7;
constexpr uint8_t kTimeCodeSection = 0x71;
constexpr uint8_t kCcDataSection = 0x72;
constexpr uint8_t kFooterSection = 0x74;
constexpr size_t kTimeCodeSectionBytes = 5;
constexpr size_t kFooterBytes = 4;
constexpr uint8_t kTimeCodePresent = 0x80;
constexpr uint8_t kCcDataPresent = 0x40;
// 29.97 frames per second (code 4) in the high half, the low half reserved as ones.
constexpr uint8_t kFrameRate2997 = 0x4F;
// cc_data present, caption service active, the reserved bit set.
constexpr uint8_t kWrittenFlags = 0x43;
// What 29.97 video carries per frame: one entry of each 608 field, the rest 708 padding.
constexpr size_t kCcCount2997 = 20;

struct Abbreviation {
    char letter;
    std::string_view bytes;
};

// U is read but never written: some readers take it for another run.
constexpr std::array<Abbreviation, 7> kAbbreviations{{
    {'P', "\xFB\x80\x80"},
    {'Q', "\xFC\x80\x80"},
    {'R', "\xFD\x80\x80"},
    {'S', "\x96\x69"},
    {'T', "\x61\x01"},
    {'U', std::string_view("\xE1\x00\x00\x00", 4)},
    {'Z', std::string_view("\x00", 1)},
}};
constexpr std::string_view kPadding("\xFA\x00\x00", 3);
constexpr size_t kMaxPaddingRun = 9;  // G to O

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The bytes a line's data stands for; nothing when it holds a character that is neither a
// blank, a hexadecimal digit of a pair, nor a letter of the list.
std::optional<std::vector<uint8_t>> ExpandPacket(std::string_view data) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c == ' ' || c == '\t') continue;
        const int high = HexDigit(c);
        if (high >= 0) {
            const int low = i + 1 < data.size() ? HexDigit(data[i + 1]) : -1;
            if (low < 0) return std::nullopt;
            bytes.push_back(static_cast<uint8_t>(high * 16 + low));
            ++i;
        } else if (c >= 'G' && c <= 'O') {
            for (int k = 0; k <= c - 'G'; ++k)
                bytes.insert(bytes.end(), kPadding.begin(), kPadding.end());
        } else {
            bool found = false;
            for (const Abbreviation& a : kAbbreviations) {
                if (a.letter != c) continue;
                bytes.insert(bytes.end(), a.bytes.begin(), a.bytes.end());
                found = true;
            }
            if (!found) return std::nullopt;
        }
    }
    return bytes;
}

uint8_t ByteSum(std::span<const uint8_t> bytes) {
    unsigned sum = 0;
    for (const uint8_t b : bytes) sum += b;
    return static_cast<uint8_t>(sum);
}

enum class PacketCheck { Captions, OtherData, Malformed, BadChecksum };

// Checks one ancillary packet and finds its cc_data entries. Other ancillary data (a packet
// that is no caption distribution packet) holds no captions and is passed over. The ancillary
// checksum is taken as the low byte of the sum of the bytes before it, as the packet's standard
// has it, or as its negation, which other writers use.
PacketCheck CheckPacket(std::span<const uint8_t> p, std::span<const uint8_t>& entries,
                        size_t& count) {
    if (p.size() < kAncHeaderBytes || p[0] != kDid || p[1] != kSdid) return PacketCheck::OtherData;
    const size_t length = p[2];
    if (p.size() != kAncHeaderBytes + length + 1) return PacketCheck::Malformed;
    const uint8_t sum = ByteSum(p.first(p.size() - 1));
    if (p.back() != sum && p.back() != static_cast<uint8_t>(-sum)) return PacketCheck::BadChecksum;
    const std::span<const uint8_t> cdp = p.subspan(kAncHeaderBytes, length);
    if (cdp.size() < kCdpHeaderBytes + kFooterBytes || cdp[0] != kCdpId0 || cdp[1] != kCdpId1 ||
        cdp[2] != cdp.size()) {
        return PacketCheck::Malformed;
    }
    if (ByteSum(cdp) != 0) return PacketCheck::BadChecksum;
    size_t at = kCdpHeaderBytes;
    const uint8_t flags = cdp[4];
    if (flags & kTimeCodePresent) {
        if (cdp[at] != kTimeCodeSection) return PacketCheck::Malformed;
        at += kTimeCodeSectionBytes;
    }
    count = 0;
    if (flags & kCcDataPresent) {
        if (at + 2 > cdp.size() || cdp[at] != kCcDataSection) return PacketCheck::Malformed;
        count = cdp[at + 1] & kCcCountMask;
        if (at + 2 + count * kCcEntryBytes > cdp.size()) return PacketCheck::Malformed;
        entries = cdp.subspan(at + 2, count * kCcEntryBytes);
    }
    return PacketCheck::Captions;
}

// The time code rates read: 30 frames to the second, as labels of 29.97 video, drop-frame or
// not; nothing for any other rate.
std::optional<TimecodeStyle> RateStyle(std::string_view rate) {
    while (!rate.empty() && (rate.back() == ' ' || rate.back() == '\t')) rate.remove_suffix(1);
    if (rate == "30") return TimecodeStyle::NonDropFrame;
    if (rate == "30DF" || rate == "30df") return TimecodeStyle::DropFrame;
    return std::nullopt;
}

// A timecode read by its separator, relabelled as the file's rate names it: a 30DF file may
// write its drop-frame labels with colons.
int64_t FrameOfLabels(const TimecodeLine& line, std::string_view text, TimecodeStyle style) {
    const bool semicolon =
        text.substr(0, text.size() - line.data.size()).find(';') != std::string_view::npos;
    if (semicolon || style == TimecodeStyle::NonDropFrame) return line.frame;
    return FrameOfDropFrameLabel(line.frame);
}

void AppendHex(std::string& out, uint8_t byte) {
    constexpr char kHexDigits[] = "0123456789ABCDEF";
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

// The bytes of a packet as text, with the letters for the runs they stand for.
void AppendPacketText(std::string& out, std::span<const uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    size_t i = 0;
    while (i < text.size()) {
        size_t run = 0;
        while (run < kMaxPaddingRun && text.substr(i + run * 3, 3) == kPadding) ++run;
        if (run > 0) {
            out += static_cast<char>('G' + run - 1);
            i += run * 3;
            continue;
        }
        bool abbreviated = false;
        for (const Abbreviation& a : kAbbreviations) {
            if (a.letter == 'U' || text.substr(i, a.bytes.size()) != a.bytes) continue;
            out += a.letter;
            i += a.bytes.size();
            abbreviated = true;
            break;
        }
        if (!abbreviated) AppendHex(out, bytes[i++]);
    }
}

constexpr uint8_t kServiceInfoSection = 0x73;
constexpr uint8_t kServiceInfoPresent = 0x20;
// The whole service information in each packet: its start and completion flagged.
constexpr uint8_t kServiceInfoFlags = 0x10 | 0x04;
constexpr uint8_t kServiceInfoStartComplete = 0x80 | 0x40 | 0x10;  // reserved, start, complete

// One service of the service information section: a reserved bit, csn_size set (the number
// in five bits after another reserved bit: 0 for the 608 service), then the caption service
// descriptor's entry: the language, 608 field 1 or 708 service number, neither easy reader nor
// wide aspect, reserved bits set.
void AppendServiceEntry(std::vector<uint8_t>& out, int service, std::string_view language) {
    out.push_back(static_cast<uint8_t>(0x80 | 0x40 | 0x20 | service));
    for (size_t k = 0; k < 3; ++k)
        out.push_back(static_cast<uint8_t>(k < language.size() ? language[k] : ' '));
    const bool digital = service > 0;
    out.push_back(digital ? static_cast<uint8_t>(0x80 | 0x40 | service) : uint8_t{0x7E});
    out.insert(out.end(), {0x3F, 0xFF});
}

// The ancillary packet of one frame: its field-1 pair, a null field-2 pair, the frame's 708
// packet and padding; with 708 data, the service information naming 608 CC1 and service 1.
std::vector<uint8_t> FramePacket(uint8_t first, uint8_t second, int64_t frame,
                                 std::span<const uint8_t> dtvcc, bool services,
                                 std::string_view language) {
    const auto counter0 = static_cast<uint8_t>(frame >> 8);
    const auto counter1 = static_cast<uint8_t>(frame);
    const uint8_t flags =
        services ? kWrittenFlags | kServiceInfoPresent | kServiceInfoFlags : kWrittenFlags;
    std::vector<uint8_t> cdp{
        kCdpId0,        kCdpId1,        0,
        kFrameRate2997, flags,          counter0,
        counter1,       kCcDataSection, static_cast<uint8_t>(0xE0 | kCcCount2997),
        kField1Entry,   first,          second,
        kField2Entry,   0x80,           0x80};
    dtvcc::AppendEntries(cdp, dtvcc, kCcCount2997 - 2);
    if (services) {
        cdp.insert(cdp.end(), {kServiceInfoSection, kServiceInfoStartComplete | 2});
        AppendServiceEntry(cdp, 0, language);
        AppendServiceEntry(cdp, 1, language);
    }
    cdp.insert(cdp.end(), {kFooterSection, counter0, counter1, 0});
    cdp[2] = static_cast<uint8_t>(cdp.size());
    cdp.back() = static_cast<uint8_t>(-ByteSum(cdp));
    std::vector<uint8_t> packet{kDid, kSdid, static_cast<uint8_t>(cdp.size())};
    packet.insert(packet.end(), cdp.begin(), cdp.end());
    packet.push_back(ByteSum(packet));
    return packet;
}

}  // namespace

CaptionFileData ReadMccText(std::span<const uint8_t> text, const std::atomic<int>* cancel) {
    CaptionFileData result;
    const DecodedText decoded(text);
    TextLines lines(decoded.Text());
    std::string_view line;
    if (!lines.Next(line) || !StartsWith(line, kMccFormatLine)) return result;
    result.recognized = true;

    PairStreamBuilder field1, field2;
    std::optional<TimecodeStyle> style;
    int64_t lastLabel = -1;
    CancelPoll cancelled(cancel);
    while (!cancelled() && lines.Next(line)) {
        if (IsBlankLine(line) || StartsWith(line, "//")) continue;
        const size_t number = lines.Number();
        const std::optional<TimecodeLine> timecode = ParseTimecodeLine(line);
        if (!timecode) {
            if (StartsWith(line, kRateKey)) {
                style = RateStyle(line.substr(kRateKey.size()));
                if (!style) {
                    result.unsupportedRate = std::string(line.substr(kRateKey.size()));
                    return result;
                }
            } else if (line.find('=') == std::string_view::npos) {
                result.unreadableLines.Add(number);
            }
            continue;  // the header's other fields tell nothing about the captions
        }
        int64_t frame = style ? FrameOfLabels(*timecode, line, *style) : timecode->frame;
        // Packets on one timecode go on where the one before ended.
        const bool sameLabel = frame == lastLabel;
        lastLabel = frame;
        std::span<const uint8_t> entries;
        size_t count = 0;
        const std::optional<std::vector<uint8_t>> packet = ExpandPacket(timecode->data);
        const PacketCheck check =
            packet ? CheckPacket(*packet, entries, count) : PacketCheck::Malformed;
        if (check == PacketCheck::Malformed) {
            result.unreadableLines.Add(number);
            continue;
        }
        if (check == PacketCheck::BadChecksum) {
            result.badChecksums.Add(number, frame);
            continue;
        }
        std::vector<uint8_t> pairs[2];
        ForEach608Pair(entries, count, [&](int field, uint8_t a, uint8_t b) {
            pairs[field - 1].insert(pairs[field - 1].end(), {a, b});
        });
        ForEach708Entry(entries, count, [&](uint8_t type, uint8_t a, uint8_t b) {
            if (result.dtvcc.size() < dtvcc::kMaxEntries)
                result.dtvcc.push_back({frame, type, {a, b}});
        });
        if (pairs[0].empty() && pairs[1].empty()) continue;
        if (sameLabel) frame = std::max(frame, field1.NextFrame());
        switch (field1.StartLine(frame, number)) {
            case PairStreamBuilder::LineStart::Queued:
                result.queuedLines.Add(number, frame);
                [[fallthrough]];
            case PairStreamBuilder::LineStart::Placed:
                if (timecode->highFrameNumber) result.highFrameNumbers.Add(number, frame);
                break;
            case PairStreamBuilder::LineStart::Overlapping:
                result.linesOutOfOrder.Add(number, frame);
                continue;
            case PairStreamBuilder::LineStart::BeyondLimit:
                result.linesBeyondLimit.Add(number, frame);
                continue;
        }
        for (size_t k = 0; k < pairs[0].size(); k += 2)
            field1.AppendAlignedPair(pairs[0][k], pairs[0][k + 1]);
        if (!pairs[1].empty() && field2.StartLine(std::max(frame, field2.NextFrame()), number) ==
                                     PairStreamBuilder::LineStart::Placed) {
            for (size_t k = 0; k < pairs[1].size(); k += 2) {
                field2.AppendAlignedPair(pairs[1][k], pairs[1][k + 1]);
            }
        }
    }
    result.pairs = field1.Take();
    result.field2Pairs = field2.Take();
    result.badParity = field1.BadParity();
    result.field2BadParity = field2.BadParity();
    return result;
}

std::string FormatMccText(std::span<const uint8_t> stream, TimecodeStyle style,
                          const std::atomic<int>* cancel, const dtvcc::PacketStream* dtvcc,
                          std::string_view language) {
    CancelPoll cancelled(cancel);
    std::string out(kMccFormatLine);
    out += "1.0\r\n";
    out += kMccPreamble;
    out += "Creation Program=Vantrel\r\n";
    out += kRateKey;
    out += style == TimecodeStyle::DropFrame ? "30DF\r\n\r\n" : "30\r\n\r\n";
    const std::vector<dtvcc::Packet> none;
    const std::vector<dtvcc::Packet>& packets = dtvcc ? dtvcc->packets : none;
    const auto frames = std::max<int64_t>(static_cast<int64_t>(stream.size() / 2),
                                          packets.empty() ? 0 : packets.back().frame + 1);
    size_t next = 0;
    for (int64_t frame = 0; frame < frames && !cancelled(); ++frame) {
        const auto i = static_cast<size_t>(2 * frame);
        std::span<const uint8_t> packet;
        if (next < packets.size() && packets[next].frame == frame) packet = packets[next++].bytes;
        out += FormatTimecode(frame, style);
        out += '\t';
        AppendPacketText(out, FramePacket(ByteAt(stream, i), ByteAt(stream, i + 1), frame, packet,
                                          dtvcc != nullptr, language));
        out += "\r\n";
    }
    return out;
}

}  // namespace vantrel
