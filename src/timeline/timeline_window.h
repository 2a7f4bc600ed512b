// The strip under the video that shows the captions against the frames, one pixel per frame:
// a loading block (the frames a caption's pairs take to send) in the upper half, the display
// block in the lower half, and a red marker at the main view's frame. The mouse seeks, moves a
// caption, or drags its end; the Delete key deletes the caption at the current frame.
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
#include "media/audio_peaks.h"
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

    explicit TimelineWindow(TimelineHost& host, QWidget* parent = nullptr);

    // `frameStep_` frames per scroll-bar unit; the main view passes its slider step.
    void SetScale(int64_t step, int64_t totalFrames);
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

    // The frame at the left edge.
    int32_t Base() const { return static_cast<int32_t>(scrollBar_.value() * frameStep_); }
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

  private:
    void Render();
    void ApplyScrollAction(int action);
    // A scroll position from a frame; the step is a divisor, so one not yet set counts as 1.
    int32_t PositionOf(int64_t frame) const;
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
    int64_t frameStep_ = 0;
    int64_t totalFrames_ = 0;
    int viewWidth_ = 0;
    int viewHeight_ = 0;
    int32_t currentFrame_ = 0;
    int64_t indexedFrames_ = -1;
    Caption* currentCaption_ = nullptr;
    bool needsRender_ = true;
    int dragMode_ = kNoDrag;
    Caption* dragCaption_ = nullptr;
    int dragStartX_ = 0;
    int32_t dragStartFrame_ = 0;
    int64_t dragMinDelta_ = 0;
    int64_t dragMaxDelta_ = 0;
    int32_t dragUndoFrame_ = 0;
    std::unique_ptr<CaptionChange> dragChange_;
    QImage image_;
    std::vector<LateStart> late_;
    std::shared_ptr<const AudioPeaks> peaks_;
    double secondsPerFrame_ = 0;
    std::vector<int32_t> shotChanges_;
    QPoint lastMousePosition_{-1, -1};
    Qt::MouseButtons lastMouseButtons_;
};

}  // namespace vantrel
