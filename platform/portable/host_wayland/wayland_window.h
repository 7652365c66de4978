// The program's window on a Wayland desktop: one xdg_toplevel, maximized on the output the
// compositor gives it, in the output's own pixels whatever its scale. It tells the host the
// size the compositor wants, shows buffers at most once per frame callback, and passes on the
// compositor's close request.
#pragma once

#include <wayland-client.h>

#include <string>
#include <vector>

#include "../../win32.h"
#include "wayland_globals.h"

namespace portable {

class WaylandWindow {
 public:
  explicit WaylandWindow(WaylandGlobals& globals) : globals_(globals) {}
  WaylandWindow(const WaylandWindow&) = delete;
  WaylandWindow& operator=(const WaylandWindow&) = delete;
  ~WaylandWindow() { Close(); }

  // Creates the toplevel, titled `utf8Title`, asks for it maximized and server-side
  // decorations, and commits it without a picture; the compositor answers with a configure.
  // `width` x `height` pixels is the size it has until the compositor says otherwise.
  void Open(const char* utf8Title, int width, int height);
  void Close();
  bool IsOpen() const { return surface_ != nullptr; }
  void SetTitle(const char* utf8Title);

  // After a configure, or when the scale changed: the picture size (in buffer pixels) the
  // compositor now wants, once; false when nothing changed since the last call.
  bool TakeWantedSize(int* width, int* height);
  // The compositor asked the window to close (its close button, a keyboard shortcut, a
  // window-manager command); once.
  bool TakeCloseRequest();

  // A picture may be committed: configured, and the last picture's frame callback came.
  bool CanPresent() const { return configured_ && !framePending_; }
  // Shows `buffer` (width x height buffer pixels), with `damage` the changed rectangles in
  // buffer pixels, and asks for the next frame callback.
  void Present(wl_buffer* buffer, int width, int height, const std::vector<RECT>& damage);

  // Buffer pixels per surface unit: an output's integer scale, or the compositor's
  // fractional preference where it offers one.
  double Scale() const;
  wl_surface* Surface() const { return surface_; }
  // The output the window is on (the first one it entered), or nullptr before it entered one.
  const WaylandOutput* Output() const;

 private:
  // Listener bodies.
  void Configured(uint32_t serial);
  void ToplevelConfigured(int width, int height);
  void Entered(wl_output* output);
  void Left(wl_output* output);
  void PreferredScale(uint32_t scale120);
  void FrameDone();
  int IntegerScale() const;
  // The surface size in surface units of a picture width x height, and back.
  int ToBuffer(int units) const;
  int ToSurface(int pixels) const;
  void ScaleChanged();

  friend struct WaylandWindowListeners;

  WaylandGlobals& globals_;
  wl_surface* surface_ = nullptr;
  xdg_surface* xdgSurface_ = nullptr;
  xdg_toplevel* toplevel_ = nullptr;
  zxdg_toplevel_decoration_v1* decoration_ = nullptr;
  wp_fractional_scale_v1* fractionalScale_ = nullptr;
  wp_viewport* viewport_ = nullptr;
  wl_callback* frame_ = nullptr;

  std::vector<wl_output*> entered_;
  uint32_t scale120_ = 0;  // the fractional preference; 0 until the compositor gives one
  int appliedScale_ = 1;   // the buffer scale last set on the surface
  int surfaceWidth_ = 0;   // surface units: the size the compositor configured, or ours
  int surfaceHeight_ = 0;
  int pendingWidth_ = 0;  // from the toplevel's configure, applied at the surface's
  int pendingHeight_ = 0;
  int viewportWidth_ = 0;  // the viewport's destination last set
  int viewportHeight_ = 0;
  bool configured_ = false;
  bool framePending_ = false;
  bool sizeWanted_ = false;
  bool closeRequested_ = false;
};

}  // namespace portable
