#include "wayland_globals.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace portable {
namespace {

void OutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                    const char*, int32_t) {}

void OutputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
  auto* output = static_cast<WaylandOutput*>(data);
  if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
  output->width = width;
  output->height = height;
}

void OutputDone(void*, wl_output*) {}

void OutputScale(void* data, wl_output*, int32_t factor) {
  static_cast<WaylandOutput*>(data)->scale = std::max(factor, 1);
}

const wl_output_listener kOutputListener = {OutputGeometry, OutputMode, OutputDone,
                                            OutputScale,    nullptr,    nullptr};

void Ping(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }

const xdg_wm_base_listener kWmBaseListener = {Ping};

const wl_registry_listener kRegistryListener = {WaylandGlobals::Global,
                                                WaylandGlobals::GlobalRemove};

template <typename T>
T* Bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered,
        uint32_t wanted) {
  return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

}  // namespace

WaylandGlobals::~WaylandGlobals() { Disconnect(); }

void WaylandGlobals::Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                            uint32_t version) {
  auto* self = static_cast<WaylandGlobals*>(data);
  if (std::strcmp(interface, wl_compositor_interface.name) == 0 && !self->compositor) {
    self->compositorVersion = std::min(version, 4u);
    self->compositor = Bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4);
  } else if (std::strcmp(interface, wl_shm_interface.name) == 0 && !self->shm) {
    self->shm = Bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
  } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0 && !self->wmBase) {
    self->wmBase = Bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 1);
    xdg_wm_base_add_listener(self->wmBase, &kWmBaseListener, self);
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seatAnnounced_) {
    // The first seat; a second one (rare) would be a second user at the same desktop.
    self->seatAnnounced_ = true;
    self->seatVersion = std::min(version, 5u);
    self->seat = Bind<wl_seat>(registry, name, &wl_seat_interface, version, 5);
  } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
    self->AddOutput(name, version);
  } else if (std::strcmp(interface, zxdg_decoration_manager_v1_interface.name) == 0 &&
             !self->decorations) {
    self->decorations = Bind<zxdg_decoration_manager_v1>(
        registry, name, &zxdg_decoration_manager_v1_interface, version, 1);
  } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0 &&
             !self->fractionalScales) {
    self->fractionalScales = Bind<wp_fractional_scale_manager_v1>(
        registry, name, &wp_fractional_scale_manager_v1_interface, version, 1);
  } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0 && !self->viewporter) {
    self->viewporter = Bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1);
  }
}

void WaylandGlobals::AddOutput(uint32_t name, uint32_t version) {
  auto output = std::make_unique<WaylandOutput>();
  output->name = name;
  output->output = Bind<wl_output>(registry_, name, &wl_output_interface, version, 2);
  wl_output_add_listener(output->output, &kOutputListener, output.get());
  outputs.push_back(std::move(output));
}

void WaylandGlobals::GlobalRemove(void* data, wl_registry*, uint32_t name) {
  auto* self = static_cast<WaylandGlobals*>(data);
  std::erase_if(self->outputs, [name](const std::unique_ptr<WaylandOutput>& output) {
    if (output->name != name) return false;
    wl_output_destroy(output->output);
    return true;
  });
}

const WaylandOutput* WaylandGlobals::Find(const wl_output* output) const {
  for (const auto& candidate : outputs) {
    if (candidate->output == output) return candidate.get();
  }
  return nullptr;
}

bool WaylandGlobals::Connect(std::string* problem) {
  display = wl_display_connect(nullptr);
  if (display == nullptr) {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    *problem = std::string("cannot connect to the Wayland compositor (") +
               (name && *name ? std::string("WAYLAND_DISPLAY is ") + name
                              : std::string("WAYLAND_DISPLAY is not set")) +
               ")";
    return false;
  }
  registry_ = wl_display_get_registry(display);
  wl_registry_add_listener(registry_, &kRegistryListener, this);
  // The globals, then what the bound ones tell at once (the outputs' modes and scales).
  if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) {
    *problem = "the Wayland compositor closed the connection while it was being set up";
    Disconnect();
    return false;
  }
  const char* missing = !compositor ? "wl_compositor"
                        : !shm      ? "wl_shm"
                        : !wmBase   ? "xdg_wm_base (xdg-shell)"
                                    : nullptr;
  if (missing != nullptr) {
    *problem = std::string("the Wayland compositor does not offer ") + missing;
    Disconnect();
    return false;
  }
  return true;
}

void WaylandGlobals::Disconnect() {
  if (display == nullptr) return;
  for (const auto& output : outputs) wl_output_destroy(output->output);
  outputs.clear();
  if (viewporter) wp_viewporter_destroy(viewporter);
  if (fractionalScales) wp_fractional_scale_manager_v1_destroy(fractionalScales);
  if (decorations) zxdg_decoration_manager_v1_destroy(decorations);
  if (seat) wl_seat_destroy(seat);
  if (wmBase) xdg_wm_base_destroy(wmBase);
  if (shm) wl_shm_destroy(shm);
  if (compositor) wl_compositor_destroy(compositor);
  if (registry_) wl_registry_destroy(registry_);
  viewporter = nullptr;
  fractionalScales = nullptr;
  decorations = nullptr;
  seat = nullptr;
  wmBase = nullptr;
  shm = nullptr;
  compositor = nullptr;
  registry_ = nullptr;
  wl_display_disconnect(display);
  display = nullptr;
}

}  // namespace portable
