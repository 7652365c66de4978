// The connection to the Wayland compositor and the globals it offers that the host uses:
// surfaces, shared memory, xdg-shell, the seat, the outputs, and where offered server-side
// decorations, fractional scales and viewports.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fractional-scale-v1-client.h"
#include "viewporter-client.h"
#include "xdg-decoration-unstable-v1-client.h"
#include "xdg-shell-client.h"

namespace portable {

// One monitor as the compositor describes it.
struct WaylandOutput {
  uint32_t name = 0;  // the registry's
  wl_output* output = nullptr;
  int width = 0;  // the current mode, in the output's pixels
  int height = 0;
  int scale = 1;  // wl_output.scale
};

class WaylandGlobals {
 public:
  WaylandGlobals() = default;
  WaylandGlobals(const WaylandGlobals&) = delete;
  WaylandGlobals& operator=(const WaylandGlobals&) = delete;
  ~WaylandGlobals();

  // Connects (WAYLAND_DISPLAY, or libwayland's default) and learns the globals and the outputs'
  // modes. False, with one line why in *problem, without a compositor or without what the
  // host cannot do without (wl_compositor, wl_shm, xdg_wm_base).
  bool Connect(std::string* problem);
  // Destroys every object and closes the connection.
  void Disconnect();

  wl_display* display = nullptr;
  wl_compositor* compositor = nullptr;
  uint32_t compositorVersion = 0;
  wl_shm* shm = nullptr;
  xdg_wm_base* wmBase = nullptr;
  wl_seat* seat = nullptr;
  uint32_t seatVersion = 0;
  zxdg_decoration_manager_v1* decorations = nullptr;
  wp_fractional_scale_manager_v1* fractionalScales = nullptr;
  wp_viewporter* viewporter = nullptr;
  std::vector<std::unique_ptr<WaylandOutput>> outputs;

  // The output behind `output`, or nullptr.
  const WaylandOutput* Find(const wl_output* output) const;

  // The registry's events.
  static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t version);
  static void GlobalRemove(void* data, wl_registry* registry, uint32_t name);

 private:
  void AddOutput(uint32_t name, uint32_t version);

  wl_registry* registry_ = nullptr;
  bool seatAnnounced_ = false;
};

}  // namespace portable
