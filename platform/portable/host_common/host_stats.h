// For measurements: a host counts the pictures it shows and tells them at exit, on standard
// error, when the environment variable SPIRALS_HOST_STATS is set (every host reads the same).
#pragma once

namespace portable {

bool HostStatsWanted();

}  // namespace portable
