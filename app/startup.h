// The program's one start-up routine: prepare, open the window, run the loop, shut down.
#pragma once

#include <cstdint>

constexpr char MAIN_TITLE[] = "ZELVARI in KORVEX PRO";
// WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX and OPEN_DIRECT: no backing bitmap.
constexpr uint32_t MAIN_WINDOW_FLAGS = 0x70010;

// Rounding to nearest, all exceptions masked; on 32-bit x86 also a 64-bit significand.
void setupFloatingPoint();

// Never returns: the process ends with exit code 0.
[[noreturn]] void SpiralsMain();
