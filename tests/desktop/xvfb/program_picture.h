// What a screenshot of the running program shows, as the desktop tests check it: a black
// background, coloured curve pixels around the centre, the white status line near the top.
#pragma once

#include <cstdlib>
#include <ostream>

#include "xvfb_session.h"

namespace desktop_test {

struct ProgramPicture {
  int black = 0;
  int centreColoured = 0;  // neither black nor white, within the middle half each way
  int whiteText = 0;       // white, in the top `textRows` rows and the left 400 columns

  // Mostly black, with curves and status text enough to be the animation.
  bool LooksLikeTheProgram(const Image& screen) const {
    return black > screen.width * screen.height / 2 && centreColoured >= 50 && whiteText >= 50;
  }
};

// `textRows`: how far down the status line may lie (below a compositor's title bar, say).
inline ProgramPicture InspectProgramPicture(const Image& screen, int textRows) {
  ProgramPicture picture;
  for (int y = 0; y < screen.height; ++y) {
    for (int x = 0; x < screen.width; ++x) {
      const uint32_t p = screen.At(x, y);
      if (p == 0) ++picture.black;
      const bool nearCentre = std::abs(x - screen.width / 2) < screen.width / 4 &&
                              std::abs(y - screen.height / 2) < screen.height / 4;
      if (nearCentre && p != 0 && p != 0xFFFFFF) ++picture.centreColoured;
      if (y < textRows && x < 400 && p == 0xFFFFFF) ++picture.whiteText;
    }
  }
  return picture;
}

inline std::ostream& operator<<(std::ostream& out, const ProgramPicture& picture) {
  return out << "black " << picture.black << ", coloured near the centre " << picture.centreColoured
             << ", white in the status line " << picture.whiteText;
}

}  // namespace desktop_test
