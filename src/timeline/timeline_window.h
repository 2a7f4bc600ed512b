// The strip under the video that shows the captions against the frames at any zoom from the
// whole programme down to eight pixels a frame: a time ruler along the top, then a loading block
// (the frames a caption's pairs take to send) in the upper half of the band below it, the display
// block in the lower half, the audio's peaks behind them, the runs of speech as a band under
// them, the shot changes as thin lines, and a red marker at the main view's frame. The mouse
// seeks, moves a caption, or drags its start or end (snapping to shot changes, speech and gaps);
// the wheel scrolls, Ctrl+wheel and +/- zoom about the mouse; the Delete key deletes the caption at
// the current frame.
#pragma once

#include <QFrame>
#include <QImage>
#include <QPoint>
#include <QScrollBar>
#include <cstdint>
#include <memory>
#include <vector>

#include "codec/encoder.h"
#include "editor/edit_history.h"
#include "files/timecode.h"
#include "media/audio_peaks.h"
#include "media/speech_activity.h"
#include "model/caption.h"
#include "timeline/timeline_host.h"

namespace vantrel {

class TimelineWindow : public QFrame {
    Q_OBJECT

  public:
    // What a point of the window shows.
    enum Part { kNothing = 0, kLoadingBlock = 1, kDisplayBlock = 2, kEndEdge = 3 };
    struct Hit {
        Caption* caption = nullptr;
        int part = kNothing;
    };
    enum DragMode { kNoDrag = 0, kSeeking = 1, kMoving = 2, kDraggingEnd = 3 };

    // The last start and end frames a drag can give a caption: those a project file holds.
    static constexpr int32_t kLastStartFrame = kMaxEncodedFrame;
    static constexpr int32_t kLastEndFrame = kMaxCaptionEndFrame;

    // The closest zoom: eight pixels a frame.
    static constexpr double kClosestFramesPerPixel = 1.0 / 8;
    // The height of the time ruler along the top, and of the speech band along the bottom.
    static constexpr int kRulerHeight = 16;
    static constexpr int kSpeechBandHeight = 5;

    explicit TimelineWindow(TimelineHost& host, QWidget* parent = nullptr);

    // The video's length; at the whole-programme zoom the view follows it.
    void SetTotalFrames(int64_t totalFrames);
    // What the view spans: the video, and the captions past its end.
    int64_t ProgrammeFrames() const;
    // While the video's frame index grows: the frames it serves so far, marked along the top
    // (-1: all of them, no mark).
    void SetIndexedFrames(int64_t frames);
    // Moves the marker, scrolling so that it stays in view.
    void SetCurrentFrame(int32_t frame);
    // The cached caption must be forgotten whenever the captions or the view's frames change.
    void ForgetCurrentCaption();
    // Before the captions change under it (undo, redo, a file command): a drag ends with its
    // step, and no caption is held.
    void ReleaseCaptions();
    // The last caption starting at or before `frame` (-1: the current frame), or the first one.
    Caption* PickCurrentCaption(int32_t frame);
    // (x, y) in the drawing area.
    Hit HitTest(int x, int y);

    // Zoom. Frames per pixel run from kClosestFramesPerPixel to the whole programme in the view;
    // the frame under `anchorX` stays where it is (-1: under the mouse when it is over the
    // window, else under the marker when it is in view, else in the middle). Zooming in and out
    // steps through powers of two. Zooming in about no given column keeps the caption under the
    // marker in view.
    double FramesPerPixel() const { return framesPerPixel_; }
    double WholeProgrammeFramesPerPixel() const;
    void SetFramesPerPixel(double framesPerPixel, int anchorX = -1);
    void ZoomIn(int anchorX = -1);
    void ZoomOut(int anchorX = -1);
    void ZoomToWholeProgramme();
    // The frame under a column, and the column where a frame begins (floor, beyond the view too).
    int64_t FrameAt(int x) const;
    int64_t XOf(int64_t frame) const;
    // Scrolls so that `frame` is at the left edge, as far as the programme allows.
    void ScrollTo(int64_t frame);

    // The ruler's labels: non-drop or drop-frame.
    void SetTimecodeStyle(TimecodeStyle style);
    // Drags snap to shot changes and to a two-frame gap from the neighbour.
    void SetSnapping(bool on) { snapping_ = on; }
    bool Snapping() const { return snapping_; }
    // Moves snap to a run of speech's onset and end drags to its end.
    void SetSpeechSnapping(bool on) { speechSnapping_ = on; }

    // The rows of the band under the ruler: loading blocks from `top` to `mid`, display blocks
    // from `mid` to `bottom`.
    struct Lanes {
        int top = 0;
        int mid = 0;
        int bottom = 0;
    };
    Lanes BlockLanes() const;

    // A caption shown late for lack of loading time: its start frame and its first frame shown.
    struct LateStart {
        int32_t start;
        int64_t shownFrom;
    };
    // Marks the delays on the display blocks; `late` in start order.
    void SetLateStarts(std::vector<LateStart> late);
    // The audio's peaks, drawn under the caption blocks as they arrive (null: no audio), placed
    // with the video's seconds per frame.
    void SetAudioPeaks(std::shared_ptr<const AudioPeaks> peaks, double secondsPerFrame);
    // The frames where the picture cuts, in order: drawn as lines, and snapped to by drags.
    void SetShotChanges(std::vector<int32_t> frames);
    // The runs of speech found so far, in order: drawn as a band, and snapped to by drags.
    void SetSpeech(std::vector<SpeechSpan> runs);
    const AudioPeaks* Peaks() const { return peaks_.get(); }

    // The frame at the left edge.
    int64_t Base() const { return base_; }
    int ViewWidth() const { return viewWidth_; }
    int ViewHeight() const { return viewHeight_; }
    QScrollBar& ScrollBar() { return scrollBar_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void Render();
    void DrawRuler(QPainter& painter);
    void DrawPeaks(QPainter& painter, const Lanes& lanes);
    void DrawShotChanges(QPainter& painter);
    void DrawSpeech(QPainter& painter);
    void DrawCaptions(QPainter& painter, const Lanes& lanes, bool translucent);
    // The caption's first words inside its display block over columns [xs, xe), where they fit.
    void DrawFirstWords(QPainter& painter, const Caption& c, int64_t xs, int64_t xe,
                        const Lanes& lanes);
    void ApplyScrollAction(int action);
    // The scroll bar after the base, the zoom and the length.
    void UpdateScrollBar();
    int64_t LastBase() const;
    int ZoomAnchor(int anchorX) const;
    void ChooseDragTargets();
    // The frame a drag gives, snapped when snapping is on.
    int64_t Snapped(int64_t frame) const;
    bool EditingAllowed() const;
    void BeginDrag(const Hit& hit, int x);
    void DragTo(int x);
    void EndDrag();
    void UpdateCursor(int x, int y);
    void DeleteCurrentCaption();
    // A point of the window in drawing-area coordinates (inside the sunken edge).
    QPoint AreaPoint(const QMouseEvent* event) const;

    TimelineHost& mainView_;
    QScrollBar scrollBar_;
    int64_t totalFrames_ = 0;
    int64_t base_ = 0;
    double framesPerPixel_ = 1;
    bool wholeProgramme_ = false;  // the zoom follows the length and the width
    int64_t barUnit_ = 1;          // frames per scroll-bar unit
    int wheelZoom_ = 0;            // Ctrl+wheel turns not yet a whole step
    TimecodeStyle timecodeStyle_ = TimecodeStyle::NonDropFrame;
    bool snapping_ = true;
    bool speechSnapping_ = true;
    int viewWidth_ = 0;
    int viewHeight_ = 0;
    int32_t currentFrame_ = 0;
    int64_t indexedFrames_ = -1;
    Caption* currentCaption_ = nullptr;
    bool needsRender_ = true;
    int dragMode_ = kNoDrag;
    Caption* dragCaption_ = nullptr;
    int dragStartX_ = 0;
    double dragFramesPerPixel_ = 1;
    int32_t dragStartFrame_ = 0;
    int64_t dragMinDelta_ = 0;
    int64_t dragMaxDelta_ = 0;
    int32_t dragUndoFrame_ = 0;
    std::unique_ptr<CaptionChange> dragChange_;
    QImage image_;
    std::vector<LateStart> late_;
    std::shared_ptr<const AudioPeaks> peaks_;
    double secondsPerFrame_ = 0;
    double peaksDrawnSeconds_ = -1;  // the audio known when last drawn
    std::vector<int32_t> shotChanges_;
    std::vector<SpeechSpan> speech_;
    std::vector<int32_t> dragTargets_;  // what the drag snaps to besides the gaps, in order
    QPoint lastMousePosition_{-1, -1};
    Qt::MouseButtons lastMouseButtons_;
};

}  // namespace vantrel
