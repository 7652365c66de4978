// Writing and reading RGBA PNG files of icon images.
#pragma once

#include <string>

#include "ico_image.h"

namespace icon {

// 8 bits a channel with alpha; nothing that changes from run to run (no time stamp).
bool WritePng(const RgbaImage& image, const std::string& path, std::string* problem);
// Any PNG libpng reads, expanded to 8-bit RGBA.
bool ReadPng(const std::string& path, RgbaImage* image, std::string* problem);

}  // namespace icon
