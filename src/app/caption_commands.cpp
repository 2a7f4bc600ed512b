#include "app/caption_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <algorithm>
#include <string>

#include "app/main_view.h"
#include "codec/charset.h"
#include "editor/caption_paste.h"
#include "editor/caption_steps.h"
#include "editor/find_replace.h"
#include "editor/speech_timing.h"
#include "editor/split_merge.h"
#include "editor/time_shift.h"
#include "files/caption_clipboard.h"
#include "files/timecode.h"
#include "media/audio_waveform.h"

namespace vantrel {

namespace {

QString CharacterName(char32_t code) {
    if (code == kMalformed) return "a character that is not UTF-8";
    return QStringLiteral("\u201C%1\u201D (U+%2)")
        .arg(QString::fromUcs4(&code, 1),
             QString::number(uint(code), 16).toUpper().rightJustified(4, u'0'));
}

// "1 caption", "2 captions".
QString Captions(size_t count) {
    return QStringLiteral("%1 caption%2").arg(count).arg(count == 1 ? "" : "s");
}

}  // namespace

CaptionCommands::CaptionCommands(MainView& view, Dialogs& dialogs, QWidget* owner)
    : QObject(owner), view_(view), dialogs_(dialogs), find_(owner) {
    connect(&find_, &FindDialog::FindRequested, this, &CaptionCommands::FindNext);
    connect(&find_, &FindDialog::ReplaceRequested, this, &CaptionCommands::Replace);
    connect(&find_, &FindDialog::ReplaceAllRequested, this, &CaptionCommands::ReplaceAll);
}

std::vector<Caption*> CaptionCommands::Chosen() const {
    std::vector<Caption*> chosen = view_.Table().SelectedCaptions();
    if (chosen.empty()) {
        if (Caption* c = view_.Project().captions.CaptionAt(view_.CurrentFrame()))
            chosen.push_back(c);
    }
    return chosen;
}

QString CaptionCommands::Named(const Caption* c) const {
    return QStringLiteral("caption %1 (%2)")
        .arg(view_.Project().captions.RowOf(c) + 1)
        .arg(QString::fromStdString(FormatTimecode(c->startFrame, view_.Style())));
}

int64_t CaptionCommands::VideoEnd() const {
    return view_.HasVideo() && view_.DurationFrames() > 0 ? view_.DurationFrames()
                                                          : kMaxEncodedFrame + 1;
}

void CaptionCommands::Refuse(const QString& why) {
    view_.Beep();
    emit view_.Refused(why);
}

void CaptionCommands::Change(const std::function<std::vector<Caption*>()>& step) {
    view_.Captions().EndEdit();
    view_.PauseIfPlaying();
    view_.ReleaseCaptions();
    const std::vector<Caption*> selected = step();
    view_.ShowCaptionsAgain();
    if (!selected.empty()) view_.Table().SelectCaptions(selected);
}

bool CaptionCommands::Pattern(std::string& pattern) {
    char32_t missing = 0;
    const std::string typed = find_.FindField().text().toStdString();
    const std::optional<std::string> text = TypedCaptionText(typed, &missing);
    if (!text) {
        Refuse(
            QStringLiteral("No caption can hold %1: nothing to find").arg(CharacterName(missing)));
        return false;
    }
    if (text->empty()) {
        Refuse("Type the words to find first");
        return false;
    }
    pattern = *text;
    return true;
}

void CaptionCommands::FindNext(bool forward) {
    std::string pattern;
    if (!Pattern(pattern)) return;
    view_.Captions().EndEdit();
    CaptionList& list = view_.Project().captions;
    TextMatch from{list.CaptionAtOrBefore(view_.CurrentFrame()), kScreenRows, 0, 0};
    if (from.caption != nullptr && from.caption == found_) {
        from.row = foundRow_;
        from.column = foundColumn_;
    } else if (forward) {
        from.row = 0;
        from.column = -1;
    }
    const TextMatch m = vantrel::FindNext(list, pattern, find_.Options(), from, forward);
    if (m.caption == nullptr) {
        found_ = nullptr;
        view_.Captions().MarkCells(nullptr, 0, 0, 0);
        Refuse(QStringLiteral("\u201C%1\u201D is in no caption").arg(find_.FindField().text()));
        return;
    }
    found_ = m.caption;
    foundRow_ = m.row;
    foundColumn_ = m.column;
    view_.GoToFrame(m.caption->startFrame);
    view_.Table().SelectCaptions({m.caption});
    view_.Captions().MarkCells(m.caption, m.row, m.column, m.length);
    emit view_.Finished(QStringLiteral("Found in %1, row %2").arg(Named(m.caption)).arg(m.row + 1));
}

void CaptionCommands::Replace() {
    std::string pattern;
    if (!Pattern(pattern)) return;
    char32_t missing = 0;
    const auto with = TypedCaptionText(find_.ReplaceField().text().toStdString(), &missing);
    if (!with) {
        Refuse(QStringLiteral("%1 has no 608 character: nothing was replaced")
                   .arg(CharacterName(missing)));
        return;
    }
    Caption* onAir = view_.Project().captions.CaptionAtOrBefore(view_.CurrentFrame());
    if (onAir == nullptr || onAir != found_) {
        FindNext(true);
        return;
    }
    TextMatch m{onAir, foundRow_, foundColumn_, int(pattern.size())};
    bool fitted = true;
    Change([&] {
        fitted = ReplaceStep(view_.History(), m, pattern, *with, find_.Options());
        return std::vector<Caption*>{};
    });
    if (!fitted) {
        Refuse(QStringLiteral("No room on row %1 of %2 for the replacement")
                   .arg(m.row + 1)
                   .arg(Named(onAir)));
        return;
    }
    foundColumn_ = m.column + m.length - 1;
    FindNext(true);
}

void CaptionCommands::ReplaceAll() {
    std::string pattern;
    if (!Pattern(pattern)) return;
    char32_t missing = 0;
    const auto with = TypedCaptionText(find_.ReplaceField().text().toStdString(), &missing);
    if (!with) {
        Refuse(QStringLiteral("%1 has no 608 character: nothing was replaced")
                   .arg(CharacterName(missing)));
        return;
    }
    ReplaceAllResult result;
    Change([&] {
        result = ReplaceAllStep(view_.History(), pattern, *with, find_.Options());
        return result.changed;
    });
    QString told = QStringLiteral("Replaced %1 in %2 captions")
                       .arg(result.replaced)
                       .arg(result.changed.size());
    if (result.unfitting > 0) {
        told += QStringLiteral("; %1 left where the row has no room, the first in %2")
                    .arg(result.unfitting)
                    .arg(Named(result.firstUnfitting));
    }
    if (result.replaced == 0 && result.unfitting == 0) {
        Refuse(QStringLiteral("\u201C%1\u201D is in no caption").arg(find_.FindField().text()));
        return;
    }
    emit view_.Finished(told);
}

namespace {

QString TimeRefusalText(const TimeRefusal& r, const std::function<QString(const Caption*)>& named,
                        TimecodeStyle style) {
    switch (r.kind) {
        case TimeRefusal::BeforeStart:
            return QStringLiteral("%1 would start before the programme can load it")
                .arg(named(r.caption));
        case TimeRefusal::PastEnd:
            return QStringLiteral("%1 would pass the video's end (%2)")
                .arg(named(r.caption))
                .arg(QString::fromStdString(FormatTimecode(r.limit, style)));
        case TimeRefusal::OverNeighbour:
            return QStringLiteral("%1 would reach %2").arg(named(r.caption), named(r.neighbour));
        case TimeRefusal::SamePoints:
            return QStringLiteral(
                "the second caption must start after the first, and its frame "
                "come after the first one's");
        case TimeRefusal::None:
            break;
    }
    return {};
}

}  // namespace

void CaptionCommands::ShiftTimes() {
    view_.Captions().EndEdit();
    view_.PauseIfPlaying();
    CaptionList& list = view_.Project().captions;
    const std::vector<Caption*> selected = view_.Table().SelectedCaptions();
    const std::optional<int> scope = dialogs_.ChooseOne(
        "Shift the times of:",
        {"The selected captions", "Every caption", "Every caption from the playhead on"},
        selected.size() > 1 ? 0 : 2);
    if (!scope) return;
    std::vector<Caption*> captions;
    if (*scope == 0) {
        captions = selected;
    } else {
        for (Caption* c = list.Head(); c != nullptr; c = c->next) {
            if (*scope == 1 || c->startFrame >= view_.CurrentFrame()) captions.push_back(c);
        }
    }
    if (captions.empty()) {
        Refuse("No caption to shift");
        return;
    }
    const std::optional<std::string> typed = dialogs_.AskText(
        "Shift by a number of frames or a timecode (hh:mm:ss:ff); a minus sign for earlier:", "10");
    if (!typed) return;
    const std::optional<int64_t> frames = ParseTypedFrames(*typed);
    if (!frames) {
        Refuse(
            QStringLiteral("\u201C%1\u201D is neither frames nor a timecode: nothing was shifted")
                .arg(QString::fromStdString(*typed)));
        return;
    }
    TimeRefusal refusal;
    Change([&] {
        refusal = ShiftTimesStep(view_.History(), captions, *frames, VideoEnd());
        return refusal.kind == TimeRefusal::None ? captions : std::vector<Caption*>{};
    });
    if (refusal.kind != TimeRefusal::None) {
        Refuse("Not shifted: " +
               TimeRefusalText(
                   refusal, [this](const Caption* c) { return Named(c); }, view_.Style()));
        return;
    }
    emit view_.Finished(
        QStringLiteral("Shifted %1 by %2 frames").arg(Captions(captions.size())).arg(*frames));
}

void CaptionCommands::SyncTwoPoints() {
    view_.Captions().EndEdit();
    view_.PauseIfPlaying();
    const std::vector<Caption*> two = view_.Table().SelectedCaptions();
    if (two.size() != 2) {
        Refuse("Two-point sync: choose two captions in the list first, one near each end");
        return;
    }
    int64_t frames[2];
    for (int k = 0; k < 2; ++k) {
        const std::string initial =
            FormatTimecode(k == 0 ? two[k]->startFrame : view_.CurrentFrame(), view_.Style());
        const std::optional<std::string> typed =
            dialogs_.AskText((QStringLiteral("Where does %1 belong? A timecode or a frame number:")
                                  .arg(Named(two[k])))
                                 .toStdString(),
                             initial);
        if (!typed) return;
        const std::optional<int64_t> frame = ParseTypedFrames(*typed);
        if (!frame || *frame < 0) {
            Refuse(QStringLiteral(
                       "\u201C%1\u201D is neither a frame nor a timecode: nothing was moved")
                       .arg(QString::fromStdString(*typed)));
            return;
        }
        frames[k] = *frame;
    }
    TimeRefusal refusal;
    Change([&] {
        refusal = SyncStep(view_.History(), *two[0], frames[0], *two[1], frames[1], VideoEnd());
        return std::vector<Caption*>{};
    });
    if (refusal.kind != TimeRefusal::None) {
        Refuse("Not synced: " +
               TimeRefusalText(
                   refusal, [this](const Caption* c) { return Named(c); }, view_.Style()));
        return;
    }
    emit view_.Finished("Every caption placed by the two points");
}

void CaptionCommands::TimeToSpeech() {
    const std::string video = view_.Project().videoPath;
    if (!view_.HasVideo() || video.empty()) {
        Refuse("Time Captions to Speech: open the programme's video first");
        return;
    }
    SpeechTimingOutcome outcome;
    Change([&] {
        outcome = TimeCaptionsToSpeech(
            view_.History(), SpeechSoundOf(ReadSpeechSound, video, view_.Project().cancel),
            static_cast<int32_t>(view_.Profile()[CheckRule::MinDuration].limit), view_.Progress());
        std::vector<Caption*> unplaced;
        for (Caption* c = view_.Project().captions.Head(); c; c = c->next) {
            if (c->unplaced && outcome.timed) unplaced.push_back(c);
        }
        return unplaced;
    });
    if (!outcome.timed) {
        if (!outcome.message.empty())
            Refuse(QString::fromStdString("Not timed: " + outcome.message));
        return;
    }
    if (outcome.unplaced > 0) view_.ShowCheck();
    emit view_.Finished(QString::fromStdString(SpeechTimingSummary(
        static_cast<size_t>(view_.Project().captions.Count()), outcome.unplaced)));
}

void CaptionCommands::StartAtPlayhead() {
    view_.Captions().EndEdit();
    const std::vector<Caption*> chosen = Chosen();
    if (chosen.size() != 1) {
        Refuse("Choose one caption in the list to start at the playhead");
        return;
    }
    view_.SetTypedTimeOf(*chosen.front(), PropertiesPanel::Field::Start, view_.CurrentFrame());
}

void CaptionCommands::EndAtPlayhead() {
    view_.Captions().EndEdit();
    const std::vector<Caption*> chosen = Chosen();
    if (chosen.size() != 1) {
        Refuse("Choose one caption in the list to end at the playhead");
        return;
    }
    const Caption& c = *chosen.front();
    view_.SetTypedTimeOf(*chosen.front(), PropertiesPanel::Field::Start,
                         int64_t{view_.CurrentFrame()} - (int64_t{c.endFrame} - c.startFrame));
}

void CaptionCommands::GoToCaption(bool next) {
    view_.Captions().EndEdit();
    const int32_t start = next ? view_.NextCaptionStart() : view_.PreviousCaptionStart();
    if (start < 0) {
        view_.Beep();
        return;
    }
    view_.GoToFrame(start);
}

void CaptionCommands::SplitCaption() {
    const EditingContext& editing = view_.Captions().Editing();
    int row = editing.editCopy != nullptr ? editing.caretRow : -1;
    view_.Captions().EndEdit();
    const std::vector<Caption*> chosen =
        row >= 0 ? std::vector<Caption*>{view_.Project().captions.CaptionAt(view_.CurrentFrame())}
                 : Chosen();
    if (chosen.size() != 1 || chosen.front() == nullptr) {
        Refuse("Choose one caption to split");
        return;
    }
    Caption& c = *chosen.front();
    if (row < 0) {
        // Not editing: the last row of text goes to the new caption.
        for (int r = 0; r < kScreenRows; ++r)
            for (const CaptionCell& cell : c.cells[r])
                if (!cell.IsEmpty()) row = r;
    }
    UnitRefusal refusal = UnitRefusal::None;
    Caption* made = nullptr;
    Change([&] {
        refusal = SplitCaptionStep(view_.History(), c, row, &made);
        return refusal == UnitRefusal::None ? std::vector<Caption*>{&c, made}
                                            : std::vector<Caption*>{};
    });
    if (refusal == UnitRefusal::NothingAbove)
        Refuse(QStringLiteral("Not split: %1 needs text above row %2 and from it down")
                   .arg(Named(&c))
                   .arg(row + 1));
    if (refusal == UnitRefusal::NoTime)
        Refuse(QStringLiteral("Not split: %1 is too short to load a second caption while it shows")
                   .arg(Named(&c)));
}

void CaptionCommands::MergeCaptions() {
    view_.Captions().EndEdit();
    const std::vector<Caption*> chosen = view_.Table().SelectedCaptions();
    UnitRefusal refusal = UnitRefusal::None;
    Caption* first = chosen.empty() ? nullptr : chosen.front();
    Change([&] {
        refusal = MergeCaptionsStep(view_.History(), chosen);
        return refusal == UnitRefusal::None ? std::vector<Caption*>{first}
                                            : std::vector<Caption*>{};
    });
    switch (refusal) {
        case UnitRefusal::TooFew:
            Refuse("Choose the captions to merge in the list first");
            break;
        case UnitRefusal::NotNeighbours:
            Refuse("Not merged: the captions chosen are not next to each other");
            break;
        case UnitRefusal::TooManyRows:
            Refuse(QStringLiteral("Not merged: together they hold more than %1 rows")
                       .arg(kMostMergedRows));
            break;
        default:
            break;
    }
}

void CaptionCommands::CopyCaptions(bool cut) {
    view_.Captions().EndEdit();
    const std::vector<Caption*> chosen = Chosen();
    if (chosen.empty()) {
        Refuse("No caption chosen to copy");
        return;
    }
    const std::vector<const Caption*> copied(chosen.begin(), chosen.end());
    auto* data = new QMimeData;
    const std::string own = CaptionsClipboardBytes(copied);
    data->setData(kCaptionsMimeType, QByteArray(own.data(), qsizetype(own.size())));
    data->setText(QString::fromStdString(CaptionsSccText(copied, view_.Style())));
    QApplication::clipboard()->setMimeData(data);
    if (cut)
        Change([&] {
            DeleteCaptionsStep(view_.History(), chosen);
            return std::vector<Caption*>{};
        });
    emit view_.Finished(
        QStringLiteral("%1 %2").arg(cut ? "Cut" : "Copied", Captions(chosen.size())));
}

void CaptionCommands::PasteCaptions() {
    view_.Captions().EndEdit();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    CaptionList pasted;
    if (data != nullptr) {
        const QByteArray own = data->data(kCaptionsMimeType);
        const QByteArray text = data->text().toUtf8();
        ReadClipboardCaptions({own.constData(), size_t(own.size())},
                              {text.constData(), size_t(text.size())}, pasted);
    }
    if (pasted.Empty()) {
        Refuse("Nothing to paste: the clipboard holds no captions");
        return;
    }
    PasteResult result;
    Change([&] {
        result = PasteCaptionsStep(view_.History(), pasted, view_.CurrentFrame(), VideoEnd());
        return result.placed;
    });
    if (result.inTheWay != nullptr) {
        Refuse(QStringLiteral("Not pasted: %1 starts where the pasted captions would show")
                   .arg(Named(result.inTheWay)));
    } else if (result.pastEnd) {
        Refuse("Not pasted: the captions would run past the video's end");
    } else {
        emit view_.Finished(QStringLiteral("Pasted %1").arg(Captions(result.placed.size())));
    }
}

void CaptionCommands::Position(Placement placement) {
    view_.Captions().EndEdit();
    const std::vector<Caption*> chosen = Chosen();
    if (chosen.empty()) {
        Refuse("No caption chosen to place");
        return;
    }
    int rows = 0;
    if (placement == Placement::Raise) {
        const std::optional<std::string> typed =
            dialogs_.AskText("Raise the captions by how many rows?", "3");
        if (!typed) return;
        const std::optional<int64_t> n = ParseTypedFrames(*typed);
        if (!n || *n < 1 || *n >= kScreenRows) {
            Refuse("Raise by 1 to 14 rows");
            return;
        }
        rows = int(*n);
    }
    const Caption* unfitting = nullptr;
    Change([&] {
        unfitting = PlaceCaptionsStep(view_.History(), chosen, placement, rows);
        return chosen;
    });
    if (unfitting != nullptr)
        Refuse(
            QStringLiteral("Not placed: the text of %1 does not fit there").arg(Named(unfitting)));
}

}  // namespace vantrel
