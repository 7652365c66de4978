// The desktop host: every top-level window of the layer becomes an SDL2 window showing its
// client area, and SDL input becomes Windows input messages.
#pragma once

namespace portable {

// Opens SDL's video subsystem and installs the SDL host. On failure says why on standard
// error and returns false.
bool InstallSdlHost();

}  // namespace portable
