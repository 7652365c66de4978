#include "platform/portable/host_sdl/event_translator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace portable {
namespace {

HWND const kWindow = reinterpret_cast<HWND>(0x1234);
constexpr Uint32 kSdlId = 7;

// Writes down every call as one line.
class RecordingSink final : public InputSink {
 public:
  std::vector<std::string> calls;

  HWND WindowFromSdlId(Uint32 id) override { return id == kSdlId ? kWindow : nullptr; }
  void Key(UINT vk, bool down, bool repeat) override {
    Add("key " + std::to_string(vk) + (down ? " down" : " up") + (repeat ? " repeat" : ""));
  }
  void MouseButton(HWND hwnd, int button, bool down, int x, int y) override {
    Add(Who(hwnd) + "button " + std::to_string(button) + (down ? " down " : " up ") + At(x, y));
  }
  void MouseMove(HWND hwnd, int x, int y) override { Add(Who(hwnd) + "move " + At(x, y)); }
  void WheelNotch(HWND hwnd, int delta, int x, int y) override {
    Add(Who(hwnd) + "wheel " + std::to_string(delta) + " " + At(x, y));
  }
  void CloseRequested(HWND hwnd) override { Add(Who(hwnd) + "close"); }
  void Resized(HWND hwnd, int w, int h) override { Add(Who(hwnd) + "size " + At(w, h)); }
  void Exposed(HWND hwnd) override { Add(Who(hwnd) + "expose"); }

 private:
  void Add(std::string s) { calls.push_back(std::move(s)); }
  static std::string Who(HWND hwnd) { return hwnd == kWindow ? "" : "WRONG WINDOW "; }
  static std::string At(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
};

SDL_Event KeyEvent(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode, Uint8 repeat = 0,
                   Uint16 mod = 0) {
  SDL_Event e{};
  e.type = type;
  e.key.windowID = kSdlId;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat;
  e.key.keysym.sym = sym;
  e.key.keysym.scancode = scancode;
  e.key.keysym.mod = mod;
  return e;
}

SDL_Event ButtonEvent(Uint32 type, Uint8 button, int x, int y, Uint32 windowId = kSdlId) {
  SDL_Event e{};
  e.type = type;
  e.button.windowID = windowId;
  e.button.button = button;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = x;
  e.button.y = y;
  return e;
}

SDL_Event WheelEvent(int notches, Uint32 direction = SDL_MOUSEWHEEL_NORMAL) {
  SDL_Event e{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.windowID = kSdlId;
  e.wheel.y = notches;
  e.wheel.direction = direction;
  e.wheel.mouseX = 300;
  e.wheel.mouseY = 200;
  return e;
}

SDL_Event WindowEvent(Uint8 event, int data1 = 0, int data2 = 0, Uint32 windowId = kSdlId) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = windowId;
  e.window.event = event;
  e.window.data1 = data1;
  e.window.data2 = data2;
  return e;
}

std::vector<std::string> Translate(const std::vector<SDL_Event>& events,
                                   std::vector<bool>* results = nullptr) {
  RecordingSink sink;
  for (const SDL_Event& e : events) {
    const bool queued = TranslateSdlEvent(e, sink);
    if (results) results->push_back(queued);
  }
  return sink.calls;
}

using Calls = std::vector<std::string>;

TEST(EventTranslator, KeyPressRepeatAndRelease) {
  std::vector<bool> queued;
  EXPECT_EQ(Translate({KeyEvent(SDL_KEYDOWN, SDLK_5, SDL_SCANCODE_5),
                       KeyEvent(SDL_KEYDOWN, SDLK_5, SDL_SCANCODE_5, 1),
                       KeyEvent(SDL_KEYDOWN, SDLK_5, SDL_SCANCODE_5, 1),
                       KeyEvent(SDL_KEYUP, SDLK_5, SDL_SCANCODE_5)},
                      &queued),
            (Calls{"key 53 down", "key 53 down repeat", "key 53 down repeat", "key 53 up"}));
  EXPECT_EQ(queued, (std::vector<bool>{true, true, true, true}));
}

TEST(EventTranslator, AltF4ArrivesAsTwoKeysInOrder) {
  EXPECT_EQ(Translate({KeyEvent(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT),
                       KeyEvent(SDL_KEYDOWN, SDLK_F4, SDL_SCANCODE_F4, 0, KMOD_LALT),
                       KeyEvent(SDL_KEYUP, SDLK_F4, SDL_SCANCODE_F4, 0, KMOD_LALT),
                       KeyEvent(SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT)}),
            (Calls{"key 18 down", "key 115 down", "key 115 up", "key 18 up"}));
}

TEST(EventTranslator, KeysWithoutAWindowsCodeAreDropped) {
  std::vector<bool> queued;
  EXPECT_TRUE(
      Translate({KeyEvent(SDL_KEYDOWN, SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY)}, &queued).empty());
  EXPECT_EQ(queued, std::vector<bool>{false});
}

TEST(EventTranslator, MouseButtonsAreNumberedAsTheLayerWants) {
  EXPECT_EQ(Translate({ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20),
                       ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 11, 21),
                       ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 0, 0),
                       ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 639, 479)}),
            (Calls{"button 0 down 10,20", "button 0 up 11,21", "button 1 down 0,0",
                   "button 2 down 639,479"}));
}

TEST(EventTranslator, ExtraButtonsAndUnknownWindowsAreDropped) {
  std::vector<bool> queued;
  EXPECT_TRUE(Translate({ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 1),
                         ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1, kSdlId + 1),
                         WindowEvent(SDL_WINDOWEVENT_CLOSE, 0, 0, kSdlId + 1)},
                        &queued)
                  .empty());
  EXPECT_EQ(queued, (std::vector<bool>{false, false, false}));
}

TEST(EventTranslator, MotionGivesClientCoordinates) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = kSdlId;
  e.motion.x = 33;
  e.motion.y = 44;
  EXPECT_EQ(Translate({e}), Calls{"move 33,44"});
}

TEST(EventTranslator, EachWheelNotchIsOneMessage) {
  EXPECT_EQ(Translate({WheelEvent(1)}), Calls{"wheel 120 300,200"});
  EXPECT_EQ(Translate({WheelEvent(-1)}), Calls{"wheel -120 300,200"});
  EXPECT_EQ(Translate({WheelEvent(3)}),
            (Calls{"wheel 120 300,200", "wheel 120 300,200", "wheel 120 300,200"}));
  EXPECT_EQ(Translate({WheelEvent(-2)}), (Calls{"wheel -120 300,200", "wheel -120 300,200"}));
}

TEST(EventTranslator, FlippedWheelIsTurnedBack) {
  EXPECT_EQ(Translate({WheelEvent(1, SDL_MOUSEWHEEL_FLIPPED)}), Calls{"wheel -120 300,200"});
  EXPECT_EQ(Translate({WheelEvent(-1, SDL_MOUSEWHEEL_FLIPPED)}), Calls{"wheel 120 300,200"});
}

TEST(EventTranslator, SidewaysWheelIsNotAVerticalNotch) {
  SDL_Event e = WheelEvent(0);
  e.wheel.x = 1;
  std::vector<bool> queued;
  EXPECT_TRUE(Translate({e}, &queued).empty());
  EXPECT_EQ(queued, std::vector<bool>{false});
}

TEST(EventTranslator, WindowCloseSizeAndExposure) {
  std::vector<bool> queued;
  EXPECT_EQ(
      Translate(
          {WindowEvent(SDL_WINDOWEVENT_CLOSE), WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600),
           WindowEvent(SDL_WINDOWEVENT_EXPOSED), WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED),
           WindowEvent(SDL_WINDOWEVENT_MOVED, 5, 5)},
          &queued),
      (Calls{"close", "size 800,600", "expose"}));
  EXPECT_EQ(queued, (std::vector<bool>{true, true, true, false, false}));
}

TEST(EventTranslator, QuitAndTextEventsAreNotInput) {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  std::vector<bool> queued;
  EXPECT_TRUE(Translate({quit, text}, &queued).empty());
  EXPECT_EQ(queued, (std::vector<bool>{false, false}));
}

}  // namespace
}  // namespace portable
