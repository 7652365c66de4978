// Turns raw bytes into a sequence of timed user inputs for the application, and plays it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reliability {

// Virtual time one input may cover at most, and the drawing steps (400 points each) it may
// cost once the window is open (its first paint included, when it has one), so that every
// input stays quick to run: an input ends when either is used up. Paused time costs next to
// nothing.
constexpr uint64_t MAX_PROGRAM_MS = 1500;
constexpr uint64_t MAX_PROGRAM_STEPS = 6;

struct ProgramStats {
  uint64_t events = 0;
  uint64_t closes = 0;
  uint64_t virtualMs = 0;
};

// The first byte: the random seed and curve setting (its value), and whether the first
// paint is left out (its top bit). Then each event: a head byte (low 3 bits the kind, high 5
// bits the delay before it in steps of 8 ms), then its arguments; a short tail is read as
// zeros.
//   0 key: code (0-255), flags (bit 0 up, bit 1 auto-repeat, bit 2 press and release)
//   1 wheel: delta (16-bit signed), key flags (16 bits), x, y (16-bit signed)
//   2 button: button (0-2) and bit 2 up, x, y (16-bit signed)
//   3 resize: width, height (16-bit unsigned: 0x0 up to far beyond the screen)
//   4 close button
//   5 mouse move: x, y
//   6 pause: one byte, in steps of 10 ms
//   7 uncover: left, top, right, bottom (16-bit signed)
// The window is reopened before the next event after a close.
ProgramStats PlayProgram(const uint8_t* data, size_t size);

}  // namespace reliability
