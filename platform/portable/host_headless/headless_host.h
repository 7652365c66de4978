// The host of headless runs: no display, a virtual clock that moves only when the program
// waits, scripted input delivered at its virtual time, and a copy of the main window's pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "../kernel/host.h"
#include "frame_recorder.h"
#include "input_schedule.h"
#include "observed_clock.h"
#include "png_writer.h"

namespace portable {

struct HeadlessOptions {
  uint32_t tickBase = 1000000;  // GetTickCount at virtual time 0
  SIZE screen{1024, 768};
  uint64_t runMs = 0;  // the run ends when the program would wait past this time
};

class HeadlessHost final : public Host {
 public:
  HeadlessHost(const HeadlessOptions& options, std::vector<ScriptedInput> inputs);

  // Called once when the run is over, after the main window's pixels have been captured and
  // before its close button is pressed.
  void SetStopHandler(std::function<void()> handler) { onStop_ = std::move(handler); }
  // Every text drawn: virtual time, client point, the bytes as drawn.
  void SetTextHandler(std::function<void(uint64_t, int, int, const char*, int)> handler) {
    onText_ = std::move(handler);
  }
  // Called from ExitProcess before the summary lines; false reports a failure (exit status 3).
  void SetExitHandler(std::function<bool(UINT)> handler) { onExit_ = std::move(handler); }

  // Records the main window from virtual time 0 on, `fps` frames a second (1 to 50), until
  // the last picture is captured. Call before the program starts.
  void RecordFrames(uint32_t fps) { recorder_ = std::make_unique<FrameRecorder>(fps); }
  // The recording so far; nullptr when none was asked for.
  const FrameRecorder* Recorder() const { return recorder_.get(); }

  // The main window's pixels at the end of the run (or when it was destroyed).
  const FrameCapture& LastFrame() const { return frame_; }
  SIZE ClientSize() const { return clientSize_; }
  HWND MainWindow() const { return main_; }
  uint64_t NowMs() const { return clock_.NowMs(); }

  // Host
  Clock& GetClock() override { return clock_; }
  uint32_t TickBase() const override { return options_.tickBase; }
  SIZE ScreenSize() const override { return options_.screen; }
  void PollInput() override;
  void WaitForInput(std::optional<uint64_t> deadlineMs) override;
  void TopLevelCreated(HWND hwnd, int clientWidth, int clientHeight) override;
  void TopLevelResized(HWND hwnd, int clientWidth, int clientHeight) override;
  void TopLevelDestroyed(HWND hwnd) override;
  void PixelsChanged(HWND, const RECT&) override {}
  void TextDrawn(HWND hwnd, int x, int y, const char* text, int length) override;
  void ProcessExiting(UINT exitCode) override;

 private:
  void InjectDue();
  void Inject(const ScriptedInput& input);
  void CaptureMain();
  void Stop();
  void TimeMoves(uint64_t toMs);

  HeadlessOptions options_;
  ObservedClock clock_;
  std::vector<ScriptedInput> inputs_;
  size_t nextInput_ = 0;
  // Input flows once start-up is over, that is from the program's first wait on.
  bool inputArmed_ = false;
  bool stopped_ = false;
  HWND main_ = nullptr;
  SIZE clientSize_{0, 0};
  bool captured_ = false;
  FrameCapture frame_;
  std::unique_ptr<FrameRecorder> recorder_;
  std::function<void()> onStop_;
  std::function<void(uint64_t, int, int, const char*, int)> onText_;
  std::function<bool(UINT)> onExit_;
};

}  // namespace portable
