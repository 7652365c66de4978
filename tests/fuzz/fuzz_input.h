// Pieces shared by the fuzz targets: an input read as a stream of small values (past its end
// every read gives zero, so a short input is still a whole program), and the stop with a
// message when an invariant breaks.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool AtEnd() const { return pos_ >= size_; }
  size_t Left() const { return AtEnd() ? 0 : size_ - pos_; }

  uint8_t U8() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint16_t U16() {
    const uint16_t low = U8();
    return static_cast<uint16_t>(low | (U8() << 8));
  }
  uint32_t U32() {
    const uint32_t low = U16();
    return low | (static_cast<uint32_t>(U16()) << 16);
  }
  uint64_t U64() {
    const uint64_t low = U32();
    return low | (static_cast<uint64_t>(U32()) << 32);
  }
  int S16() { return static_cast<int16_t>(U16()); }
  int32_t S32() { return static_cast<int32_t>(U32()); }
  bool Bit() { return (U8() & 1) != 0; }
  // 0 to n - 1, for n from 1 to 256.
  uint32_t Below(uint32_t n) { return U8() % n; }

  // Up to `n` bytes straight from the input (fewer at its end).
  std::string_view Bytes(size_t n) {
    const size_t take = n < Left() ? n : Left();
    std::string_view bytes(reinterpret_cast<const char*>(data_ + pos_), take);
    pos_ += take;
    return bytes;
  }

  // A 32-bit value where the edges are as likely as the middle: small numbers, the limits of
  // 16 and 32 bits and their neighbours, or any value.
  int32_t Edgy32() {
    static constexpr int32_t kEdges[] = {
        0,          1,           -1,      2,          -2,
        255,        256,         32767,   -32768,     32768,
        65535,      65536,       1 << 24, 0x7FFFFFFF, -0x7FFFFFFF - 1,
        0x7FFFFFFE, -0x7FFFFFFF, 1 << 30, -(1 << 30), 1 << 20};
    const uint8_t how = U8();
    if (how < 128) return static_cast<int32_t>(how) - 32;
    if (how < 192) return kEdges[how % (sizeof(kEdges) / sizeof(kEdges[0]))];
    if (how < 224) return S16();
    return S32();
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Prints what broke and stops the run so the fuzzer keeps the input.
[[noreturn]] __attribute__((format(printf, 1, 2))) inline void Fail(const char* format, ...) {
  std::fputs("invariant broken: ", stderr);
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
  std::fflush(stderr);
  __builtin_trap();
}

}  // namespace fuzz

#define FUZZ_CHECK(condition)                                                    \
  do {                                                                           \
    if (!(condition)) ::fuzz::Fail("%s:%d: %s", __FILE__, __LINE__, #condition); \
  } while (0)
