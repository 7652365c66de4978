// Records what the main window shows as the frames of an animation: one frame every 1000/fps
// virtual milliseconds from time 0 while the run goes on, and a last frame, the picture the run
// ends with, when it stops. A frame at time t shows everything the program drew up to t.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "frame_change.h"

namespace portable {

struct RecordedFrame {
  uint64_t showAtCs = 0;  // when it appears, in hundredths of a second from time 0
  FrameChange change;
};

struct Recording {
  int width = 0;  // the canvas: the size of the last picture
  int height = 0;
  uint64_t endCs = 0;  // when the last frame has been shown for one frame interval
  std::vector<RecordedFrame> frames;
  size_t lossyFrames = 0;  // frames that showed more than 256 colours
};

class FrameRecorder {
 public:
  // `fps`: 1 to 50, so that frames fall at least two hundredths of a second apart.
  explicit FrameRecorder(uint32_t fps);

  // True when a frame falls due before the clock reaches `toMs`.
  bool FrameDueBefore(uint64_t toMs) const;
  // The clock is about to move to `toMs`, and `now` is on the screen until then.
  void TimePasses(uint64_t toMs, const PictureView& now);
  // The run ended at `atMs` showing `last`. Later calls change nothing.
  void Finish(uint64_t atMs, const FrameCapture& last);

  bool Finished() const { return finished_; }
  const Recording& Result() const { return recording_; }

 private:
  uint64_t CentisecondsOfFrame(uint64_t k) const;
  void Add(uint64_t showAtCs, const PictureView& picture);

  uint32_t fps_;
  uint64_t nextFrame_ = 0;
  bool finished_ = false;
  Recording recording_;
  // The pictures of the last frame and of the one before it: the last frame may have to give
  // way to the final one when both would show in the same hundredth of a second.
  std::shared_ptr<const FrameCapture> last_;
  std::shared_ptr<const FrameCapture> beforeLast_;
};

}  // namespace portable
