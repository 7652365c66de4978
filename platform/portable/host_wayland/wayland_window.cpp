#include "wayland_window.h"

#include <algorithm>
#include <cmath>

namespace portable {

// The C callbacks, each handing its event to the window it was registered with.
struct WaylandWindowListeners {
  static void Enter(void* data, wl_surface*, wl_output* output) {
    static_cast<WaylandWindow*>(data)->Entered(output);
  }
  static void Leave(void* data, wl_surface*, wl_output* output) {
    static_cast<WaylandWindow*>(data)->Left(output);
  }
  static void SurfaceConfigure(void* data, xdg_surface*, uint32_t serial) {
    static_cast<WaylandWindow*>(data)->Configured(serial);
  }
  static void ToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height,
                                wl_array*) {
    static_cast<WaylandWindow*>(data)->ToplevelConfigured(width, height);
  }
  static void ToplevelClose(void* data, xdg_toplevel*) {
    static_cast<WaylandWindow*>(data)->closeRequested_ = true;
  }
  static void PreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale) {
    static_cast<WaylandWindow*>(data)->PreferredScale(scale);
  }
  static void FrameDone(void* data, wl_callback*, uint32_t) {
    static_cast<WaylandWindow*>(data)->FrameDone();
  }

  static constexpr wl_surface_listener kSurface = {Enter, Leave};
  static constexpr xdg_surface_listener kXdgSurface = {SurfaceConfigure};
  static constexpr xdg_toplevel_listener kToplevel = {ToplevelConfigure, ToplevelClose, nullptr,
                                                      nullptr};
  static constexpr wp_fractional_scale_v1_listener kFractionalScale = {PreferredScale};
  static constexpr wl_callback_listener kFrame = {FrameDone};
};

void WaylandWindow::Open(const char* utf8Title, int width, int height) {
  if (surface_ != nullptr) return;
  surface_ = wl_compositor_create_surface(globals_.compositor);
  wl_surface_add_listener(surface_, &WaylandWindowListeners::kSurface, this);
  if (globals_.fractionalScales && globals_.viewporter) {
    fractionalScale_ =
        wp_fractional_scale_manager_v1_get_fractional_scale(globals_.fractionalScales, surface_);
    wp_fractional_scale_v1_add_listener(fractionalScale_, &WaylandWindowListeners::kFractionalScale,
                                        this);
    viewport_ = wp_viewporter_get_viewport(globals_.viewporter, surface_);
  }
  xdgSurface_ = xdg_wm_base_get_xdg_surface(globals_.wmBase, surface_);
  xdg_surface_add_listener(xdgSurface_, &WaylandWindowListeners::kXdgSurface, this);
  toplevel_ = xdg_surface_get_toplevel(xdgSurface_);
  xdg_toplevel_add_listener(toplevel_, &WaylandWindowListeners::kToplevel, this);
  SetTitle(utf8Title);
  // The name of the desktop entry, so that docks and task switchers show its icon.
  xdg_toplevel_set_app_id(toplevel_, "spirals");
  if (globals_.decorations) {
    decoration_ =
        zxdg_decoration_manager_v1_get_toplevel_decoration(globals_.decorations, toplevel_);
    zxdg_toplevel_decoration_v1_set_mode(decoration_, ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
  }
  // The window covers the screen as a framed window does: as large as the desktop lets a
  // window be, its title bar and close button kept.
  xdg_toplevel_set_maximized(toplevel_);
  surfaceWidth_ = ToSurface(width);
  surfaceHeight_ = ToSurface(height);
  wl_surface_commit(surface_);
}

void WaylandWindow::Close() {
  if (frame_) wl_callback_destroy(frame_);
  if (viewport_) wp_viewport_destroy(viewport_);
  if (fractionalScale_) wp_fractional_scale_v1_destroy(fractionalScale_);
  if (decoration_) zxdg_toplevel_decoration_v1_destroy(decoration_);
  if (toplevel_) xdg_toplevel_destroy(toplevel_);
  if (xdgSurface_) xdg_surface_destroy(xdgSurface_);
  if (surface_) wl_surface_destroy(surface_);
  frame_ = nullptr;
  viewport_ = nullptr;
  fractionalScale_ = nullptr;
  decoration_ = nullptr;
  toplevel_ = nullptr;
  xdgSurface_ = nullptr;
  surface_ = nullptr;
  entered_.clear();
  configured_ = false;
  framePending_ = false;
}

void WaylandWindow::SetTitle(const char* utf8Title) {
  if (toplevel_ && utf8Title) xdg_toplevel_set_title(toplevel_, utf8Title);
}

void WaylandWindow::ToplevelConfigured(int width, int height) {
  pendingWidth_ = width;
  pendingHeight_ = height;
}

void WaylandWindow::Configured(uint32_t serial) {
  xdg_surface_ack_configure(xdgSurface_, serial);
  // 0 leaves the size to us: the one we have.
  if (pendingWidth_ > 0 && pendingHeight_ > 0) {
    if (pendingWidth_ != surfaceWidth_ || pendingHeight_ != surfaceHeight_ || !configured_)
      sizeWanted_ = true;
    surfaceWidth_ = pendingWidth_;
    surfaceHeight_ = pendingHeight_;
  } else if (!configured_) {
    sizeWanted_ = true;
  }
  configured_ = true;
}

bool WaylandWindow::TakeWantedSize(int* width, int* height) {
  if (!sizeWanted_ || !configured_) return false;
  sizeWanted_ = false;
  *width = ToBuffer(surfaceWidth_);
  *height = ToBuffer(surfaceHeight_);
  return true;
}

bool WaylandWindow::TakeCloseRequest() {
  const bool requested = closeRequested_;
  closeRequested_ = false;
  return requested;
}

int WaylandWindow::IntegerScale() const {
  int scale = 0;
  for (wl_output* output : entered_) {
    if (const WaylandOutput* known = globals_.Find(output)) scale = std::max(scale, known->scale);
  }
  // Before the window is on an output, the first output's scale is the likeliest.
  if (scale == 0 && !globals_.outputs.empty()) scale = globals_.outputs.front()->scale;
  return std::max(scale, 1);
}

double WaylandWindow::Scale() const {
  if (viewport_ && scale120_ > 0) return scale120_ / 120.0;
  return IntegerScale();
}

int WaylandWindow::ToBuffer(int units) const {
  if (viewport_ && scale120_ > 0)
    return static_cast<int>(std::lround(units * static_cast<double>(scale120_) / 120.0));
  return units * IntegerScale();
}

int WaylandWindow::ToSurface(int pixels) const {
  if (viewport_ && scale120_ > 0)
    return std::max(1, static_cast<int>(std::lround(pixels * 120.0 / scale120_)));
  return std::max(1, pixels / IntegerScale());
}

void WaylandWindow::ScaleChanged() {
  if (configured_) sizeWanted_ = true;
}

void WaylandWindow::Entered(wl_output* output) {
  const double before = Scale();
  if (std::find(entered_.begin(), entered_.end(), output) == entered_.end())
    entered_.push_back(output);
  if (Scale() != before) ScaleChanged();
}

void WaylandWindow::Left(wl_output* output) {
  const double before = Scale();
  std::erase(entered_, output);
  if (Scale() != before) ScaleChanged();
}

void WaylandWindow::PreferredScale(uint32_t scale120) {
  if (scale120 == 0 || scale120 == scale120_) return;
  scale120_ = scale120;
  ScaleChanged();
}

const WaylandOutput* WaylandWindow::Output() const {
  for (wl_output* output : entered_) {
    if (const WaylandOutput* known = globals_.Find(output)) return known;
  }
  return nullptr;
}

void WaylandWindow::FrameDone() {
  if (frame_) wl_callback_destroy(frame_);
  frame_ = nullptr;
  framePending_ = false;
}

void WaylandWindow::Present(wl_buffer* buffer, int width, int height,
                            const std::vector<RECT>& damage) {
  if (!surface_ || !configured_) return;
  wl_surface_attach(surface_, buffer, 0, 0);
  int bufferScale = 1;
  if (viewport_ && scale120_ > 0) {
    // A fractional scale: the picture in the output's pixels, shown at the surface's size.
    const int destWidth = ToSurface(width);
    const int destHeight = ToSurface(height);
    if (destWidth != viewportWidth_ || destHeight != viewportHeight_) {
      wp_viewport_set_destination(viewport_, destWidth, destHeight);
      viewportWidth_ = destWidth;
      viewportHeight_ = destHeight;
    }
  } else {
    bufferScale = IntegerScale();
    // A picture must be whole surface units; one that is not (while a resize is on its way)
    // is shown unscaled rather than refused.
    if (width % bufferScale != 0 || height % bufferScale != 0) bufferScale = 1;
  }
  if (bufferScale != appliedScale_ && globals_.compositorVersion >= 3) {
    wl_surface_set_buffer_scale(surface_, bufferScale);
    appliedScale_ = bufferScale;
  }
  for (const RECT& rect : damage) {
    if (globals_.compositorVersion >= 4) {
      wl_surface_damage_buffer(surface_, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top);
    } else {
      // Surface units, rounded outwards.
      const int s = appliedScale_;
      wl_surface_damage(surface_, rect.left / s, rect.top / s,
                        (rect.right + s - 1) / s - rect.left / s,
                        (rect.bottom + s - 1) / s - rect.top / s);
    }
  }
  frame_ = wl_surface_frame(surface_);
  wl_callback_add_listener(frame_, &WaylandWindowListeners::kFrame, this);
  framePending_ = true;
  wl_surface_commit(surface_);
}

}  // namespace portable
