// The animation as a screen saver: the same handler, curves and timers, in a window the
// saver's contract asks for, without the status lines, and with the saver's own idea of input.
#pragma once

#include <cstdint>

#include "../platform/win32.h"
#include "saver_settings.h"

// What input does to a saver window. Whatever the mode, input never reaches the animation's
// controls; close requests and everything else do.
enum class SaverInput : uint8_t {
  // The running saver: a key, a mouse button, the wheel, a move of more than
  // SAVER_MOVE_LIMIT pixels from the first mouse position the window sees, or losing
  // activation ends it. (Not from where the cursor was at the start: under Wine on a virtual
  // display that can differ from what the window is told.)
  EndOnAny,
  // As EndOnAny, except that losing activation does not end it: a copy on a further monitor,
  // which gives up activation to the first process's window.
  EndOnInput,
  // Trying it out in a window of its own: ESC ends it.
  EndOnEscape,
  // A preview or a window lent by a screen locker: input is ignored.
  Ignored,
};

constexpr int32_t SAVER_MOVE_LIMIT = 10;

// One saver of several, one per monitor, that end together.
struct SaverGroupHooks {
  // Asked a few times a second; true ends this saver.
  bool (*ended)() = nullptr;
  // Once the window is up and drawing.
  void (*opened)() = nullptr;
  // Once the window is gone, before the process ends.
  void (*closed)() = nullptr;
};

struct SaverPlan {
  // The window's rectangle: screen coordinates, or client coordinates of `parent`.
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint32_t flags = 0;  // WindowOpen flags
  // A window of another program to live in as a child, followed in size and outlived by
  // nothing: when it goes, the saver ends. Null for a window of the saver's own.
  HWND parent = nullptr;
  SaverInput input = SaverInput::Ignored;
  SaverGroupHooks group;
};

// The full-screen saver over `screen` (the virtual screen), topmost, no caption, no cursor.
SaverPlan fullScreenPlan(const RECT& screen);
// A child filling `parent`'s client area of the given size.
SaverPlan previewPlan(HWND parent, int32_t width, int32_t height);
// A top-level window of this size at (0, 0): the window a host lends, or one to try it out in.
SaverPlan windowPlan(int32_t width, int32_t height, SaverInput input);

// Hides the status lines, opens mainWindow as `plan` says (the creation runs the animation's
// first steps) and hides the cursor over it for EndOnAny. False when no window could be made.
bool saverOpen(const SaverPlan& plan);

// Pumps until the saver window is gone: closed by the handler, or destroyed from outside.
void saverRun();

// After the start-up draws: a chosen number of curves or speed replaces the value drawn, so
// the generator's sequence stays the one the draws began, and the creation event starts
// timer 2 and reseeds for the chosen number, as the digit keys would.
void applySaverSettings(const SaverSettings& settings);

// prepareApplication, applySaverSettings, saverOpen, saverRun, then the process ends: exit
// code 0, or 2 when the window could not be made (and not because a preview's parent went
// away meanwhile).
[[noreturn]] void SaverMain(const SaverPlan& plan, const SaverSettings& settings);

// The WindowHandler of a saver window: input as the plan's mode says, the rest to handleEvent.
int32_t saverHandleEvent();
