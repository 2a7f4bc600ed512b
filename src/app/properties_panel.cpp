#include "app/properties_panel.h"

#include <optional>
#include <string>

#include "codec/charset.h"
#include "codec/code_string.h"
#include "files/timecode.h"

namespace vantrel {

namespace {

// Places inside the panel, with the edge metrics Ex = Ey = 2.
constexpr int kLabelLeft = 7;
constexpr int kBoxLeft = 80;  // wider than the original's, for the labels of this font
constexpr int kBoxWidth = 72;
constexpr int kRowHeight = 20;
constexpr int kSpinWidth = 16;
constexpr int kRadioLeft = 15;
constexpr int kRadioTop = 104;
constexpr int kLineHeight = 16;
constexpr int kCodesTop = 176;  // below the timing modes
constexpr int kCodesHeight = 102;

// The codes are Windows-1252, as the .ccd notation defines them; on 0x80-0x9F, where a name
// can use the code page's punctuation, the caption set agrees with it.
QString CodesToQString(const std::string& text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (char byte : text) {
        const auto b = static_cast<uint8_t>(byte);
        out += (b >= 0x80 && b < 0xA0) ? QChar(CaptionCharToUnicode(b)) : QChar(b);
    }
    return out;
}

}  // namespace

PropertiesPanel::PropertiesPanel(QWidget* parent) : QGroupBox("Caption Properties:", parent) {
    setFixedSize(kWidth, kHeight);
    QLabel* labels[] = {&startLabel_, &endLabel_, &durationLabel_};
    QLineEdit* boxes[] = {&startBox_, &endBox_, &durationBox_};
    QSpinBox* spins[] = {&startSpin_, &endSpin_, &durationSpin_};
    for (int i = 0; i < 3; ++i) {
        const int top = 16 + kRowHeight * i;
        labels[i]->setGeometry(kLabelLeft, top + 2, kBoxLeft - kLabelLeft, kLineHeight);
        boxes[i]->setGeometry(kBoxLeft, top, kBoxWidth, kRowHeight);
        boxes[i]->setAlignment(Qt::AlignRight);
        connect(boxes[i], &QLineEdit::returnPressed, this, [this, i] {
            const std::optional<int64_t> frames = ParseFrames(boxes_[i]->text());
            if (frames) {
                emit TimeTyped(static_cast<Field>(i), *frames);
            } else {
                boxes_[i]->setText(shown_[i]);
            }
        });
        // Only the arrows show; they never come alive.
        spins[i]->setGeometry(kBoxLeft + kBoxWidth, top, kSpinWidth, kRowHeight);
        spins[i]->setEnabled(false);
        if (i < 2) {
            const int left = kBoxLeft + kBoxWidth + kSpinWidth + 6;
            timecodes_[i].setParent(this);
            timecodes_[i].setGeometry(left, top + 2, kWidth - left - kLabelLeft, kLineHeight);
        }
    }
    timingLabel_.setGeometry(kLabelLeft, 88, kWidth - 2 * kLabelLeft, kLineHeight);
    for (int mode = 1; mode <= 4; ++mode) {
        QRadioButton& button = ModeButton(mode);
        button.setGeometry(kRadioLeft, kRadioTop + kLineHeight * (mode - 1),
                           kWidth - kRadioLeft - 2, kLineHeight);
        modes_.addButton(&button, mode);
    }
    FitModeTexts();
    connect(&modes_, &QButtonGroup::idClicked, this, &PropertiesPanel::TimingModeChosen);
    codesLabel_.setGeometry(kLabelLeft, kCodesTop, kWidth - 2 * kLabelLeft, kLineHeight);
    codesBox_.setGeometry(kLabelLeft, kCodesTop + kLineHeight, kWidth - 2 * kLabelLeft,
                          kCodesHeight);
    codesBox_.setReadOnly(true);
    codesBox_.setTabChangesFocus(true);
    ClearPanel();
}

// The mode texts are long for the panel's width: with a wide face they get a smaller size.
void PropertiesPanel::FitModeTexts() {
    constexpr int kSmallestPixels = 8;
    QFont small = font();
    small.setPixelSize(QFontInfo(small).pixelSize());
    for (QRadioButton* button : modeButtons_) button->setFont(small);
    auto widest = [this] {
        int w = 0;
        for (QRadioButton* button : modeButtons_) w = std::max(w, button->sizeHint().width());
        return w;
    };
    while (widest() > normal_.width() && small.pixelSize() > kSmallestPixels) {
        small.setPixelSize(small.pixelSize() - 1);
        for (QRadioButton* button : modeButtons_) button->setFont(small);
    }
}

void PropertiesPanel::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) FitModeTexts();
}

int PropertiesPanel::CheckedMode() const {
    return std::max(modes_.checkedId(), 0);
}

void PropertiesPanel::UncheckModes() {
    // An exclusive group keeps one button checked.
    modes_.setExclusive(false);
    for (QRadioButton* button : modeButtons_) button->setChecked(false);
    modes_.setExclusive(true);
}

void PropertiesPanel::SetLabelsEnabled(bool enabled) {
    for (QWidget* w : {static_cast<QWidget*>(&startLabel_), static_cast<QWidget*>(&endLabel_),
                       static_cast<QWidget*>(&durationLabel_), static_cast<QWidget*>(&timingLabel_),
                       static_cast<QWidget*>(&codesLabel_)}) {
        w->setEnabled(enabled);
    }
    for (QRadioButton* button : modeButtons_) button->setEnabled(enabled);
}

std::optional<int64_t> PropertiesPanel::ParseFrames(const QString& text) {
    const std::string typed = text.trimmed().toStdString();
    if (typed.empty() || typed.size() > 12) return std::nullopt;
    if (typed.find_first_not_of("0123456789") == std::string::npos) return std::stoll(typed);
    const std::optional<TimecodeLine> line = ParseTimecodeLine(typed);
    // Nothing may follow the timecode, and its frames count below 30.
    if (!line || line->data.data() != nullptr || line->highFrameNumber) return std::nullopt;
    return line->frame;
}

void PropertiesPanel::SetTimecodeStyle(TimecodeStyle style) {
    style_ = style;
    ShowTimecodes();
}

void PropertiesPanel::ShowTimecodes() {
    for (int i = 0; i < 2; ++i) {
        timecodes_[i].setText(
            frames_[i] ? QString::fromStdString(FormatTimecode(*frames_[i], style_)) : QString());
    }
}

void PropertiesPanel::FillPanel(const Caption& caption) {
    frames_[0] = caption.startFrame;
    frames_[1] = caption.endFrame;
    ShowTimecodes();
    shown_[0] = QString::number(caption.startFrame);
    shown_[1] = QString::number(caption.endFrame);
    shown_[2] = QString::number(int64_t{caption.endFrame} - caption.startFrame);
    for (int i = 0; i < 3; ++i) {
        boxes_[i]->setText(shown_[i]);
        boxes_[i]->setReadOnly(false);
    }
    UncheckModes();
    if (caption.timingMode >= 1 && caption.timingMode <= 4) {
        ModeButton(caption.timingMode).setChecked(true);
    }
    const std::optional<std::string> codes = GetCodeText(caption);
    codesBox_.setPlainText(codes ? CodesToQString(*codes) : QString());
    SetLabelsEnabled(true);
}

void PropertiesPanel::ClearPanel() {
    frames_[0] = frames_[1] = std::nullopt;
    ShowTimecodes();
    for (int i = 0; i < 3; ++i) {
        shown_[i].clear();
        boxes_[i]->clear();
        boxes_[i]->setReadOnly(true);
    }
    codesBox_.clear();
    UncheckModes();
    SetLabelsEnabled(false);
}

}  // namespace vantrel
