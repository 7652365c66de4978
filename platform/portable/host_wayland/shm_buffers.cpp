#include "shm_buffers.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace portable {

ShmBuffers::~ShmBuffers() {
  for (auto& buffer : buffers_) Destroy(*buffer);
  for (auto& buffer : retired_) Destroy(*buffer);
}

void ShmBuffers::Destroy(Buffer& buffer) {
  if (buffer.buffer) wl_buffer_destroy(buffer.buffer);
  if (buffer.pixels) munmap(buffer.pixels, buffer.bytes);
  buffer.buffer = nullptr;
  buffer.pixels = nullptr;
}

void ShmBuffers::Released(void* data, wl_buffer*) {
  auto* buffer = static_cast<Buffer*>(data);
  buffer->held = false;
  if (!buffer->retired) return;
  ShmBuffers* owner = buffer->owner;
  Destroy(*buffer);
  std::erase_if(owner->retired_,
                [buffer](const std::unique_ptr<Buffer>& b) { return b.get() == buffer; });
}

void ShmBuffers::Resize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  for (auto& buffer : buffers_) {
    if (buffer->held) {
      buffer->retired = true;
      retired_.push_back(std::move(buffer));
    } else {
      Destroy(*buffer);
    }
  }
  buffers_.clear();
}

void ShmBuffers::Changed(const RECT& rect) {
  for (auto& buffer : buffers_) buffer->stale.Add(rect);
}

std::unique_ptr<ShmBuffers::Buffer> ShmBuffers::Allocate() {
  auto buffer = std::make_unique<Buffer>();
  buffer->owner = this;
  const int stride = width_ * 4;
  buffer->bytes = static_cast<size_t>(stride) * static_cast<size_t>(height_);
  const int fd = memfd_create("spirals-picture", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(buffer->bytes)) != 0) {
    if (!allocationReported_)
      std::fprintf(stderr, "spirals: no shared memory for a %dx%d picture: %s\n", width_, height_,
                   std::strerror(errno));
    allocationReported_ = true;
    if (fd >= 0) close(fd);
    return nullptr;
  }
  void* pixels = mmap(nullptr, buffer->bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (pixels == MAP_FAILED) {
    if (!allocationReported_)
      std::fprintf(stderr, "spirals: cannot map a %dx%d picture: %s\n", width_, height_,
                   std::strerror(errno));
    allocationReported_ = true;
    close(fd);
    return nullptr;
  }
  buffer->pixels = static_cast<uint32_t*>(pixels);
  wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<int32_t>(buffer->bytes));
  // 0x00RRGGBB in memory order on a little-endian machine is what XRGB8888 means.
  buffer->buffer =
      wl_shm_pool_create_buffer(pool, 0, width_, height_, stride, WL_SHM_FORMAT_XRGB8888);
  wl_shm_pool_destroy(pool);
  close(fd);
  static const wl_buffer_listener listener = {Released};
  wl_buffer_add_listener(buffer->buffer, &listener, buffer.get());
  buffer->stale.Resize(width_, height_);
  buffer->stale.AddAll();
  return buffer;
}

wl_buffer* ShmBuffers::Prepare(const PixelBuffer& frame) {
  if (width_ <= 0 || height_ <= 0 || frame.pixels == nullptr) return nullptr;
  if (frame.width != width_ || frame.height != height_) return nullptr;
  Buffer* free = nullptr;
  for (auto& buffer : buffers_) {
    if (!buffer->held) {
      free = buffer.get();
      break;
    }
  }
  if (free == nullptr) {
    if (Count() >= kMaxBuffers) return nullptr;
    std::unique_ptr<Buffer> fresh = Allocate();
    if (!fresh) return nullptr;
    free = fresh.get();
    buffers_.push_back(std::move(fresh));
  }
  free->stale.TakeRects(&rects_);
  for (const RECT& rect : rects_) {
    const size_t bytes = static_cast<size_t>(rect.right - rect.left) * 4;
    for (int y = rect.top; y < rect.bottom; ++y) {
      std::memcpy(free->pixels + static_cast<size_t>(y) * width_ + rect.left,
                  frame.pixels + static_cast<size_t>(y) * frame.stride + rect.left, bytes);
    }
  }
  free->held = true;
  return free->buffer;
}

}  // namespace portable
