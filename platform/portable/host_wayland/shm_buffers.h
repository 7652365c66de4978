// The pictures handed to the compositor: wl_shm buffers of the window's size, each brought up
// to date from the framebuffer in the tiles that changed since it was last shown. A buffer the
// compositor still holds is never drawn into.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "../../win32.h"
#include "../host_common/dirty_tiles.h"
#include "../user/window_surface.h"

namespace portable {

class ShmBuffers {
 public:
  // At most this many buffers: one shown, one being drawn, one the compositor is slow to let go.
  static constexpr size_t kMaxBuffers = 3;

  explicit ShmBuffers(wl_shm* shm) : shm_(shm) {}
  ShmBuffers(const ShmBuffers&) = delete;
  ShmBuffers& operator=(const ShmBuffers&) = delete;
  ~ShmBuffers();

  // From now on buffers are width x height; the older ones go as the compositor lets them go.
  void Resize(int width, int height);
  // The framebuffer changed inside `rect`: every buffer is out of date there.
  void Changed(const RECT& rect);
  // A buffer the compositor does not hold, brought up to date from `frame` (which must be of
  // the size given to Resize) and counted as held from now on; nullptr when every buffer is
  // held or no memory could be had.
  wl_buffer* Prepare(const PixelBuffer& frame);
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Buffers in existence, the retired ones the compositor still holds included.
  size_t Count() const { return buffers_.size() + retired_.size(); }

 private:
  struct Buffer {
    ShmBuffers* owner = nullptr;
    wl_buffer* buffer = nullptr;
    uint32_t* pixels = nullptr;
    size_t bytes = 0;
    bool held = false;     // attached and not yet released by the compositor
    bool retired = false;  // of an old size: destroyed on release
    DirtyTiles stale;      // what changed since this buffer was last brought up to date
  };

  static void Released(void* data, wl_buffer* buffer);
  std::unique_ptr<Buffer> Allocate();
  static void Destroy(Buffer& buffer);

  wl_shm* shm_;
  int width_ = 0;
  int height_ = 0;
  std::vector<std::unique_ptr<Buffer>> buffers_;
  std::vector<std::unique_ptr<Buffer>> retired_;
  std::vector<RECT> rects_;  // scratch, kept for its storage
  bool allocationReported_ = false;
};

}  // namespace portable
