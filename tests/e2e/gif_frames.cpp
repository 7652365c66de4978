#include "gif_frames.h"

#include <gif_lib.h>

#include <cstring>

namespace e2e {

GifAnimation ReadGif(const std::string& path) {
  GifAnimation a;
  int code = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &code);
  if (gif == nullptr) {
    a.error = "cannot open: " + std::string(GifErrorString(code) ? GifErrorString(code) : "?");
    return a;
  }
  if (DGifSlurp(gif) != GIF_OK) {
    a.error = "cannot decode: " +
              std::string(GifErrorString(gif->Error) ? GifErrorString(gif->Error) : "?");
    DGifCloseFile(gif, nullptr);
    return a;
  }
  a.width = gif->SWidth;
  a.height = gif->SHeight;
  a.globalPalette = gif->SColorMap != nullptr;
  std::vector<uint32_t> canvas(static_cast<size_t>(a.width) * a.height, 0);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    for (int e = 0; e < image.ExtensionBlockCount; ++e) {
      const ExtensionBlock& block = image.ExtensionBlocks[e];
      if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
          std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && e + 1 < image.ExtensionBlockCount) {
        const ExtensionBlock& data = image.ExtensionBlocks[e + 1];
        a.loopsForever =
            data.ByteCount == 3 && data.Bytes[0] == 1 && data.Bytes[1] == 0 && data.Bytes[2] == 0;
      }
    }
    GifFrame f;
    f.left = image.ImageDesc.Left;
    f.top = image.ImageDesc.Top;
    f.width = image.ImageDesc.Width;
    f.height = image.ImageDesc.Height;
    GraphicsControlBlock control{};
    if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
      f.delayCs = control.DelayTime;
      f.disposal = control.DisposalMode;
      f.transparent = control.TransparentColor;
    }
    const ColorMapObject* map =
        image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    if (map == nullptr) {
      a.error = "frame " + std::to_string(i) + " has no colours";
      DGifCloseFile(gif, nullptr);
      return a;
    }
    f.paletteSize = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap->ColorCount : 0;
    for (int y = 0; y < f.height; ++y) {
      for (int x = 0; x < f.width; ++x) {
        const int index = image.RasterBits[static_cast<size_t>(y) * f.width + x];
        if (index == f.transparent) continue;
        const int cx = f.left + x, cy = f.top + y;
        if (index >= map->ColorCount || cx >= a.width || cy >= a.height) {
          a.error = "frame " + std::to_string(i) + " has a pixel outside its colours or canvas";
          DGifCloseFile(gif, nullptr);
          return a;
        }
        const GifColorType& c = map->Colors[index];
        canvas[static_cast<size_t>(cy) * a.width + cx] =
            (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
      }
    }
    f.composed = canvas;
    a.frames.push_back(std::move(f));
  }
  DGifCloseFile(gif, nullptr);
  a.ok = true;
  return a;
}

}  // namespace e2e
