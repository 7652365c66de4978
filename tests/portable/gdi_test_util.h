// The GDI tests draw on the kit's canvas with the kit's colours.
#pragma once

#include <gtest/gtest.h>

#include "tests/kit/canvas.h"
#include "tests/kit/colours.h"

namespace gdi_test {

using kit::Canvas;
using kit::kBlack;
using kit::kBlue;
using kit::kRed;
using kit::kWhite;
using kit::Rows;

}  // namespace gdi_test
