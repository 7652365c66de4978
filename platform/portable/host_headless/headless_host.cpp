#include "headless_host.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "../user/input.h"
#include "../user/window_surface.h"

namespace portable {
namespace {

// After the close button, time may run a little further (timers) while the program shuts down;
// a program still waiting long after that will never end by itself.
constexpr uint64_t SHUTDOWN_GRACE_MS = 10000;

}  // namespace

HeadlessHost::HeadlessHost(const HeadlessOptions& options, std::vector<ScriptedInput> inputs)
    : options_(options), inputs_(std::move(inputs)) {
  clock_.SetBeforeMove([this](uint64_t toMs) { TimeMoves(toMs); });
}

void HeadlessHost::TimeMoves(uint64_t toMs) {
  if (!recorder_ || !recorder_->FrameDueBefore(toMs)) return;
  PictureView now;
  WindowSurface surface;
  if (main_ != nullptr && QueryWindowSurface(main_, &surface)) {
    const PixelBuffer& fb = surface.framebuffer;
    if (fb.pixels != nullptr && fb.width > 0 && fb.height > 0) {
      now = PictureView{fb.pixels, fb.width, fb.height, fb.stride};
    }
  }
  recorder_->TimePasses(toMs, now);
}

void HeadlessHost::PollInput() {
  if (inputArmed_) InjectDue();
}

void HeadlessHost::WaitForInput(std::optional<uint64_t> deadlineMs) {
  inputArmed_ = true;
  if (stopped_) {
    if (!deadlineMs || *deadlineMs > options_.runMs + SHUTDOWN_GRACE_MS) {
      std::fprintf(stderr, "spirals-headless: the program did not end after its close button\n");
      std::exit(3);
    }
    clock_.AdvanceTo(*deadlineMs);
    return;
  }
  // Inputs already due (at time 0, held back during start-up) go in without waiting.
  if (nextInput_ < inputs_.size() && inputs_[nextInput_].atMs <= clock_.NowMs()) {
    InjectDue();
    return;
  }
  std::optional<uint64_t> next = deadlineMs;
  if (nextInput_ < inputs_.size() && (!next || inputs_[nextInput_].atMs < *next))
    next = inputs_[nextInput_].atMs;
  if (next && *next <= options_.runMs) {
    clock_.AdvanceTo(*next);
    InjectDue();
    return;
  }
  Stop();
}

void HeadlessHost::Stop() {
  stopped_ = true;
  clock_.AdvanceTo(options_.runMs);
  CaptureMain();
  if (onStop_) onStop_();
  if (main_ != nullptr) InjectClose(main_);
}

void HeadlessHost::InjectDue() {
  while (nextInput_ < inputs_.size() && inputs_[nextInput_].atMs <= clock_.NowMs()) {
    Inject(inputs_[nextInput_]);
    ++nextInput_;
  }
}

void HeadlessHost::Inject(const ScriptedInput& input) {
  // Input for a window that is gone has nowhere to go.
  if (main_ == nullptr) return;
  switch (input.kind) {
    case ScriptedInputKind::Key:
      InjectKey(static_cast<UINT>(input.a), true);
      InjectKey(static_cast<UINT>(input.a), false);
      break;
    case ScriptedInputKind::Wheel:
      InjectWheel(main_, input.a * WHEEL_DELTA, 0, clientSize_.cx / 2, clientSize_.cy / 2);
      break;
    case ScriptedInputKind::LeftButton:
    case ScriptedInputKind::RightButton: {
      const int button = input.kind == ScriptedInputKind::LeftButton ? 0 : 1;
      InjectMouseButton(main_, button, true, input.a, input.b);
      InjectMouseButton(main_, button, false, input.a, input.b);
      break;
    }
    case ScriptedInputKind::Close: InjectClose(main_); break;
    case ScriptedInputKind::Resize: InjectResize(main_, input.a, input.b); break;
  }
}

void HeadlessHost::TopLevelCreated(HWND hwnd, int clientWidth, int clientHeight) {
  if (main_ != nullptr) return;
  main_ = hwnd;
  clientSize_ = SIZE{clientWidth, clientHeight};
}

void HeadlessHost::TopLevelResized(HWND hwnd, int clientWidth, int clientHeight) {
  if (hwnd == main_) clientSize_ = SIZE{clientWidth, clientHeight};
}

void HeadlessHost::TopLevelDestroyed(HWND hwnd) {
  if (hwnd != main_) return;
  // A run ended by the program itself (ESC) still has a last picture.
  if (!captured_) CaptureMain();
  main_ = nullptr;
}

void HeadlessHost::CaptureMain() {
  WindowSurface surface;
  if (main_ == nullptr || !QueryWindowSurface(main_, &surface)) return;
  const PixelBuffer& fb = surface.framebuffer;
  if (fb.pixels == nullptr || fb.width <= 0 || fb.height <= 0) return;
  frame_.width = fb.width;
  frame_.height = fb.height;
  frame_.pixels.resize(static_cast<size_t>(fb.width) * fb.height);
  for (int y = 0; y < fb.height; ++y) {
    const uint32_t* row = fb.pixels + static_cast<size_t>(y) * fb.stride;
    std::copy(row, row + fb.width, frame_.pixels.begin() + static_cast<size_t>(y) * fb.width);
  }
  captured_ = true;
  // The recording ends with exactly this picture.
  if (recorder_) recorder_->Finish(clock_.NowMs(), frame_);
}

void HeadlessHost::TextDrawn(HWND, int x, int y, const char* text, int length) {
  if (onText_) onText_(clock_.NowMs(), x, y, text, length);
}

void HeadlessHost::ProcessExiting(UINT exitCode) {
  if (!captured_) CaptureMain();
  const bool ok = onExit_ ? onExit_(exitCode) : true;
  std::printf("client %ldx%ld\ntime %llu\nexit %u\n", static_cast<long>(clientSize_.cx),
              static_cast<long>(clientSize_.cy), static_cast<unsigned long long>(clock_.NowMs()),
              exitCode);
  std::fflush(stdout);
  if (!ok) std::exit(3);
}

}  // namespace portable
