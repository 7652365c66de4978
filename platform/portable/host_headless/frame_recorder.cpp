#include "frame_recorder.h"

#include <algorithm>

namespace portable {
namespace {

std::shared_ptr<const FrameCapture> Copy(const PictureView& picture) {
  auto copy = std::make_shared<FrameCapture>();
  copy->width = picture.width;
  copy->height = picture.height;
  copy->pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    const uint32_t* row = picture.pixels + static_cast<size_t>(y) * picture.stride;
    std::copy(row, row + picture.width,
              copy->pixels.begin() + static_cast<size_t>(y) * picture.width);
  }
  return copy;
}

}  // namespace

FrameRecorder::FrameRecorder(uint32_t fps) : fps_(std::clamp<uint32_t>(fps, 1, 50)) {}

uint64_t FrameRecorder::CentisecondsOfFrame(uint64_t k) const {
  // k x 100 / fps, rounded to the nearest hundredth.
  return (k * 200 + fps_) / (2 * uint64_t{fps_});
}

bool FrameRecorder::FrameDueBefore(uint64_t toMs) const {
  // Frame k falls at k x 1000 / fps milliseconds.
  return !finished_ && nextFrame_ * 1000 < toMs * fps_;
}

void FrameRecorder::Add(uint64_t showAtCs, const PictureView& picture) {
  const PictureView before = last_ ? ViewOf(*last_) : PictureView{};
  RecordedFrame frame;
  frame.showAtCs = showAtCs;
  frame.change = DescribeChange(last_ ? &before : nullptr, picture);
  if (frame.change.lossy) ++recording_.lossyFrames;
  beforeLast_ = last_;
  // An unchanged picture needs no copy of its own.
  if (!last_ || frame.change.width > 0) last_ = Copy(picture);
  recording_.frames.push_back(std::move(frame));
}

void FrameRecorder::TimePasses(uint64_t toMs, const PictureView& now) {
  while (FrameDueBefore(toMs)) {
    Add(CentisecondsOfFrame(nextFrame_), now);
    ++nextFrame_;
  }
}

void FrameRecorder::Finish(uint64_t atMs, const FrameCapture& last) {
  if (finished_) return;
  finished_ = true;
  const uint64_t atCs = (atMs + 5) / 10;
  std::vector<RecordedFrame>& frames = recording_.frames;
  if (!frames.empty() && frames.back().showAtCs >= atCs) {
    // A frame that would show for no time at all gives way to the last picture.
    if (frames.back().change.lossy) --recording_.lossyFrames;
    frames.pop_back();
    last_ = beforeLast_;
  }
  Add(atCs, ViewOf(last));
  recording_.width = last.width;
  recording_.height = last.height;
  recording_.endCs = atCs + (200 + fps_) / (2 * uint64_t{fps_});
  last_.reset();
  beforeLast_.reset();
}

}  // namespace portable
