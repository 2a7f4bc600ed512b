// The caption properties panel at the right of the main view: the frames and the codes of the
// caption the caption window shows, and the timing-mode radio buttons. A start, end or duration
// can be typed, in frames or as a timecode of either style, and Enter applies it; the up-down
// arrows beside the boxes are inert. The start and end also show as timecodes, in the window's
// style.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <cstdint>
#include <optional>

#include "files/timecode.h"
#include "model/caption.h"

namespace vantrel {

class PropertiesPanel : public QGroupBox {
    Q_OBJECT

  public:
    // One size: the main view scrolls it when its side of the window is smaller.
    static constexpr int kWidth = 302;
    static constexpr int kHeight = 300;

    enum class Field { Start, End, Duration };

    explicit PropertiesPanel(QWidget* parent = nullptr);

    // Frames typed as a number, or as an hh:mm:ss:ff (or ;ff) timecode; nothing otherwise.
    static std::optional<int64_t> ParseFrames(const QString& text);

    void FillPanel(const Caption& caption);
    void ClearPanel();
    // Non-drop (hh:mm:ss:ff) or drop-frame (hh:mm:ss;ff) labels for the start and end.
    void SetTimecodeStyle(TimecodeStyle style);

    // For the main view's tests and the screenshots: what the panel shows.
    QString StartText() const { return startBox_.text(); }
    QString EndText() const { return endBox_.text(); }
    QString DurationText() const { return durationBox_.text(); }
    QString StartTimecodeText() const { return timecodes_[0].text(); }
    QString EndTimecodeText() const { return timecodes_[1].text(); }
    QString CodesText() const { return codesBox_.toPlainText(); }
    // 1-4, or 0 when no mode is checked.
    int CheckedMode() const;
    QRadioButton& ModeButton(int mode) { return *modeButtons_[mode - 1]; }
    QLineEdit& Box(Field field) { return *boxes_[static_cast<int>(field)]; }

  signals:
    // The operator chose a timing mode (1 Normal, 2 Persistent, 3 Seamless, 4 Manual).
    void TimingModeChosen(int mode);
    // A start, end or duration typed and applied with Enter.
    void TimeTyped(vantrel::PropertiesPanel::Field field, int64_t frames);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void SetLabelsEnabled(bool enabled);
    void UncheckModes();
    void FitModeTexts();
    void ShowTimecodes();

    QLabel startLabel_{"Start Frame:", this};
    QLineEdit startBox_{this};
    QSpinBox startSpin_{this};
    QLabel endLabel_{"End Frame:", this};
    QLineEdit endBox_{this};
    QSpinBox endSpin_{this};
    QLabel durationLabel_{"Duration:", this};
    QLineEdit durationBox_{this};
    QSpinBox durationSpin_{this};
    QLabel timingLabel_{"Timing mode:", this};
    QRadioButton normal_{"Normal (Up to 2 seconds per occupied line)", this};
    QRadioButton persistent_{"Persistent (One blank frame before next caption)", this};
    QRadioButton seamless_{"Seamless (No blank frames before next caption)", this};
    QRadioButton manual_{"Manual (Adjust caption time in timeline)", this};
    QRadioButton* modeButtons_[4] = {&normal_, &persistent_, &seamless_, &manual_};
    QLineEdit* boxes_[3] = {&startBox_, &endBox_, &durationBox_};
    QString shown_[3];  // what the boxes showed, put back after text that is no time
    QLabel timecodes_[2];
    std::optional<int64_t> frames_[2];  // the start and end shown, none when the panel is clear
    TimecodeStyle style_ = TimecodeStyle::NonDropFrame;
    QButtonGroup modes_{this};
    QLabel codesLabel_{"CCD-format caption codes:", this};
    QPlainTextEdit codesBox_{this};
};

}  // namespace vantrel
