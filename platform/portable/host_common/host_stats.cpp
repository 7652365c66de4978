#include "host_stats.h"

#include <cstdlib>

namespace portable {

bool HostStatsWanted() { return std::getenv("SPIRALS_HOST_STATS") != nullptr; }

}  // namespace portable
