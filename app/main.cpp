// The program's entry: on Linux it first puts the layer's windows on the desktop through SDL.
#include "../platform/win32.h"
#include "startup.h"

#if defined(_WIN32)
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { SpiralsMain(); }
#else
#include "../platform/portable/host_sdl/host_sdl.h"

int main() {
  if (!portable::InstallSdlHost()) return 1;
  SpiralsMain();
}
#endif
