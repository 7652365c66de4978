// The program's one start-up routine: prepare, open the window, run the loop, shut down.
#pragma once

#include <cstdint>

#include "../platform/win32.h"
#include "../runtime/window/window_record.h"

constexpr char MAIN_TITLE[] = "ZELVARI in KORVEX PRO";
// WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX and OPEN_DIRECT: no backing bitmap.
constexpr uint32_t MAIN_WINDOW_FLAGS = 0x70010;

// Rounding to nearest, all exceptions masked; on 32-bit x86 also a 64-bit significand.
void setupFloatingPoint();

// Floating point, the heap, and the start-up draws of the curve setting and the speed.
void prepareApplication();

// Opens mainWindow at this rectangle (a child of `parent` when given) with `handler`, keeps
// the client size and gives it black as fill and text background and white as pen.
void openMainWindowAt(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags,
                      WindowRecord* parent, WindowHandler handler);

// From the screen size on: opens mainWindow full-screen with `handler` and gives it black as
// fill and text background and white as pen. Tools that drive the application in-process open
// it this way too, with a handler of their own that wraps handleEvent.
void openMainWindow(WindowHandler handler);

// Frees the window registry, runs the exit sequence and ends the process.
[[noreturn]] void shutDown(UINT exitCode);

// Never returns: the process ends with exit code 0.
[[noreturn]] void SpiralsMain();
