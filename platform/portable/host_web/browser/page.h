// The page script's side of the web host (page_library.js): the canvas, the queue of the
// page's input events, the text log that tests read, and the end of the program.
#pragma once

#include <cstdint>

#include "../page_input.h"

extern "C" {

// Finds the canvas and starts listening to the page; 0 when the page has no canvas.
int spirals_page_open(void);
// The page's size in CSS pixels, at least 1 each way.
int spirals_page_width(void);
int spirals_page_height(void);
// Takes the oldest queued event into `out`; 0 when there is none.
int spirals_page_next_event(portable::PageEvent* out);
// Where the shown window's pixels are (0x00RRGGBB, rows `stride` pixels apart; null when no
// window is shown), and a rectangle of them that changed. The page copies the changed pixels
// at its next animation frame.
void spirals_page_publish(const uint32_t* pixels, int width, int height, int stride, int left,
                          int top, int right, int bottom);
// Copies the changed pixels now, without waiting for an animation frame.
void spirals_page_present(void);
// A text drawn at client (x, y), UTF-8, at `ms` on the program's clock.
void spirals_page_text(double ms, int x, int y, const char* utf8);
void spirals_page_title(const char* utf8);
// The program has ended with `code`: the page stops listening and says so; the canvas keeps
// its pixels.
void spirals_page_ended(int code);
}
