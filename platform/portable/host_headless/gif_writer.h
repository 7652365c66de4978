// Writes a recording as an animated GIF that loops: a first frame covering the canvas, then
// each frame's changed rectangle drawn over what was there ("do not dispose"), with its own
// palette and a transparent index for the pixels that stayed.
#pragma once

#include <string>

#include "frame_recorder.h"

namespace portable {

// Writes to `fd`, an open file it takes over and closes. False with a reason in `error`.
bool WriteGif(const Recording& recording, int fd, std::string* error);

}  // namespace portable
