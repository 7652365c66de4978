#include "host_stats.h"

#include <cstdio>
#include <cstdlib>

namespace portable {

bool HostStatsWanted() { return std::getenv("SPIRALS_HOST_STATS") != nullptr; }

void ReportPictures(uint64_t pictures, double seconds) {
  std::fprintf(stderr, "spirals: %llu pictures in %.1f s (%.1f per second)\n",
               static_cast<unsigned long long>(pictures), seconds,
               seconds > 0 ? static_cast<double>(pictures) / seconds : 0.0);
}

}  // namespace portable
