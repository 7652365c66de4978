// Every input is a short user session played against the real application.
#include <cstddef>
#include <cstdint>

#include "input_program.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  reliability::PlayProgram(data, size);
  return 0;
}
