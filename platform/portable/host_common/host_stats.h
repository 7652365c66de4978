// For measurements: a host counts the pictures it shows and tells them at exit, on standard
// error, when the environment variable SPIRALS_HOST_STATS is set (every host reads the same).
#pragma once

#include <cstdint>

namespace portable {

bool HostStatsWanted();

// The line a host writes at exit: `pictures` shown in `seconds`, and how many a second.
void ReportPictures(uint64_t pictures, double seconds);

}  // namespace portable
