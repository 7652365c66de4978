// The print statement and the number texts with any items, counts, values and precision.
// Every call's text is worked out here on its own (std::to_chars for the reals) and must be
// what PrintItems assembled, what reached standard output or the window, and where the
// window's current position went; NumberToString must give the integer or fixed-point text
// within its 41-byte block. Nothing may be left on the heap or in GDI, nothing held.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "../../platform/portable/diagnostics.h"
#include "../../runtime/core/heap.h"
#include "../../runtime/graphics/draw.h"
#include "../../runtime/graphics/print.h"
#include "../../runtime/window/window_close.h"
#include "../../runtime/window/window_open.h"
#include "fuzz_host.h"
#include "fuzz_input.h"

namespace {

constexpr size_t POINTER_WORDS = sizeof(void*) / 4;

struct Setup {
  fuzz::FuzzHost host{SIZE{320, 200}};
  WindowRecord direct{}, backed{}, closed{};
  HDC measure = nullptr;  // a memory DC with the windows' font, to measure texts
  int stdoutCapture = -1;

  Setup() {
    host.recordTexts = true;
    RuntimeHeapCreate();
    WindowOpen(&direct, 0, 0, 200, 80, 0x70010, nullptr, "direct", nullptr);
    WindowOpen(&backed, 10, 10, 200, 80, 0x70000, nullptr, "backed", nullptr);
    WindowOpen(&closed, 20, 20, 200, 80, 0x70010, nullptr, "closed", nullptr);
    WindowClose(&closed);
    FUZZ_CHECK(direct.hwnd != nullptr && backed.hwnd != nullptr);
    LOGFONTA font{};
    FUZZ_CHECK(GetObjectA(direct.font, sizeof(font), &font) == sizeof(font));
    measure = CreateCompatibleDC(nullptr);
    SelectObject(measure, CreateFontIndirectA(&font));
    // Loads the font engine now: fontconfig keeps a few blocks of its start-up to itself
    // until the exit, which would look like a leak of the first input.
    SIZE extent;
    GetTextExtentPoint32A(measure, "x", 1, &extent);
    stdoutCapture = memfd_create("print-stdout", 0);
    FUZZ_CHECK(stdoutCapture >= 0);
  }
};

Setup& TheSetup() {
  static Setup* setup = new Setup;
  return *setup;
}

// Reals as "% .*f" prints them: a blank in place of a plus sign, and a negative precision
// taken as none given (6). Past 1,100 decimals every double's expansion is exact, so more
// only adds zeros: `cap` bounds the work.
std::string FixedText(double value, int32_t precision, int32_t cap, bool blank) {
  const int32_t p = std::min(precision < 0 ? 6 : precision, cap);
  std::string out(static_cast<size_t>(p) + 400, '\0');
  const auto r =
      std::to_chars(out.data(), out.data() + out.size(), value, std::chars_format::fixed, p);
  FUZZ_CHECK(r.ec == std::errc());
  out.resize(static_cast<size_t>(r.ptr - out.data()));
  if (blank && !std::signbit(value)) out.insert(out.begin(), ' ');
  return out;
}

double RealFrom(fuzz::Input& in) {
  static constexpr double kEdges[] = {0.0,
                                      -0.0,
                                      0.5,
                                      -0.5,
                                      1.5,
                                      0.005,
                                      0.015,
                                      0.125,
                                      2.675,
                                      1e-310,
                                      -1e-320,
                                      2147483647.0,
                                      2147483648.0,
                                      -2147483649.0,
                                      4503599627370495.5,
                                      9007199254740993.0,
                                      9223372036854775807.0,
                                      -9223372036854775808.0,
                                      1.8446744073709552e19,
                                      1e308,
                                      -1.7e308,
                                      INFINITY,
                                      -INFINITY,
                                      NAN,
                                      -NAN,
                                      123.456,
                                      -0.004999,
                                      99.995,
                                      7.0,
                                      7.5};
  if (in.Bit()) return kEdges[in.Below(sizeof(kEdges) / sizeof(kEdges[0]))];
  const uint64_t bits = in.U64();
  double value;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

int32_t PrecisionFrom(fuzz::Input& in) {
  switch (in.Below(4)) {
    case 0: return 2;
    case 1: return static_cast<int32_t>(in.Below(48)) - 4;
    case 2: return in.Edgy32();
    default: return in.S32();
  }
}

struct Call {
  std::vector<uint32_t> words;
  std::string expected;      // the text the items make, before the buffer cuts it
  bool namesWindow = false;  // a Window item in first place
  WindowRecord* named = nullptr;
};

void PutPointer(std::vector<uint32_t>& words, const void* p) {
  const auto v = reinterpret_cast<uintptr_t>(p);
  for (size_t i = 0; i < POINTER_WORDS; ++i)
    words.push_back(static_cast<uint32_t>(static_cast<uint64_t>(v) >> (32 * i)));
}

WindowRecord* RecordFrom(fuzz::Input& in) {
  Setup& s = TheSetup();
  switch (in.Below(4)) {
    case 0: return &s.direct;
    case 1: return &s.backed;
    case 2: return &s.closed;
    default: return nullptr;
  }
}

// One item: its words, and what it adds to the text when it is within the count.
void AddItem(fuzz::Input& in, std::vector<std::string>& strings, int32_t precision, bool first,
             Call& call, bool counted) {
  std::vector<uint32_t>& w = call.words;
  std::string text;
  switch (in.Below(11)) {
    case 0: {  // String: a few bytes from the input, or one byte many times over
      std::string s;
      if (in.Below(4) == 0) {
        const size_t length = static_cast<size_t>(in.U16()) * 2;
        s.assign(length, static_cast<char>(in.U8()));
      } else {
        s = std::string(in.Bytes(in.Below(64)));
      }
      strings.push_back(s);
      const char* p = in.Below(16) == 0 ? nullptr : strings.back().c_str();
      w.push_back(PRINT_STRING);
      PutPointer(w, p);
      if (p != nullptr) text = std::string(p, std::strlen(p));
      break;
    }
    case 1: {
      const uint32_t c = in.U32();
      w.insert(w.end(), {PRINT_CHAR, c});
      text = std::string(1, static_cast<char>(c));
      break;
    }
    case 2: {
      const int32_t v = in.Edgy32();
      w.insert(w.end(), {PRINT_INT, static_cast<uint32_t>(v)});
      text = std::to_string(v) + " ";
      break;
    }
    case 3: {
      const float f = static_cast<float>(RealFrom(in));
      uint32_t bits;
      std::memcpy(&bits, &f, sizeof(bits));
      if (in.Below(4) == 0) bits = in.U32();
      float value;
      std::memcpy(&value, &bits, sizeof(value));
      w.insert(w.end(), {PRINT_SINGLE, bits});
      text = FixedText(static_cast<double>(value), precision, 40000, true);
      break;
    }
    case 4: {
      WindowRecord* r = RecordFrom(in);
      w.push_back(PRINT_WINDOW);
      PutPointer(w, r);
      if (first && counted) {
        call.namesWindow = true;
        call.named = r;
      }
      break;
    }
    case 5: {
      const uint32_t v = static_cast<uint32_t>(in.Edgy32());
      w.insert(w.end(), {PRINT_WORD, v});
      text = std::to_string(v & 0xFFFF) + " ";
      break;
    }
    case 6: {
      const double v = RealFrom(in);
      uint64_t bits;
      std::memcpy(&bits, &v, sizeof(bits));
      w.insert(w.end(),
               {PRINT_DOUBLE, static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32)});
      text = FixedText(v, precision, 40000, true);
      break;
    }
    case 7:
    case 8: {
      const bool isSigned = in.Bit();
      uint64_t v = in.Bit() ? in.U64() : static_cast<uint64_t>(static_cast<int64_t>(in.Edgy32()));
      w.insert(w.end(), {isSigned ? PRINT_INT64 : PRINT_UINT64, static_cast<uint32_t>(v),
                         static_cast<uint32_t>(v >> 32)});
      text = (isSigned ? std::to_string(static_cast<int64_t>(v)) : std::to_string(v)) + " ";
      break;
    }
    case 9: {
      const uint32_t v = static_cast<uint32_t>(in.Edgy32());
      w.insert(w.end(), {PRINT_UINT, v});
      text = std::to_string(v) + " ";
      break;
    }
    default: {  // a code of no item: one word, stepped over
      uint32_t code = in.U32();
      static constexpr uint32_t kKnown[] = {0, 1, 2, 3, 9, 13, 14, 17, 18, 19};
      if (std::find(std::begin(kKnown), std::end(kKnown), code) != std::end(kKnown)) code += 100;
      w.insert(w.end(), {code, in.U32()});
      break;
    }
  }
  if (counted) call.expected += text;
}

// Stdout, for one call, goes to a memory file so that its bytes can be read back.
class StdoutCapture {
 public:
  explicit StdoutCapture(int capture) : capture_(capture) {
    std::fflush(stdout);
    FUZZ_CHECK(ftruncate(capture_, 0) == 0);
    FUZZ_CHECK(lseek(capture_, 0, SEEK_SET) == 0);
    saved_ = dup(1);
    FUZZ_CHECK(saved_ >= 0 && dup2(capture_, 1) == 1);
  }
  ~StdoutCapture() { Restore(); }
  std::string Restore() {
    if (saved_ < 0) return {};
    dup2(saved_, 1);
    close(saved_);
    saved_ = -1;
    const off_t size = lseek(capture_, 0, SEEK_END);
    std::string bytes(static_cast<size_t>(size), '\0');
    FUZZ_CHECK(pread(capture_, bytes.data(), bytes.size(), 0) == size);
    return bytes;
  }

 private:
  int capture_;
  int saved_ = -1;
};

void CheckQuiet(const portable::GdiUsage& gdi, size_t heapBlocks) {
  Setup& s = TheSetup();
  FUZZ_CHECK(portable::QueryHeapUsage(RuntimeHeap).blocks == heapBlocks);
  const portable::GdiUsage now = portable::QueryGdiUsage();
  FUZZ_CHECK(now.pens == gdi.pens && now.fonts == gdi.fonts && now.brushes == gdi.brushes &&
             now.bitmaps == gdi.bitmaps && now.dcs == gdi.dcs);
  FUZZ_CHECK(TempStringStack.count == 0);
  for (const WindowRecord* r : {&s.direct, &s.backed}) {
    FUZZ_CHECK(r->holdCount == 0 && r->heldContext == nullptr && r->pen != nullptr &&
               r->font != nullptr);
  }
}

void PrintOnce(fuzz::Input& in, int32_t precision, std::vector<std::string>& strings) {
  Setup& s = TheSetup();
  Call call;
  const int32_t items = static_cast<int32_t>(in.Below(24));
  int32_t count = items;
  const uint32_t how = in.Below(16);
  if (how == 0) count = static_cast<int32_t>(in.Below(static_cast<uint32_t>(items) + 1));
  if (how == 1) count = in.Bit() ? -1 : INT32_MIN;
  for (int32_t i = 0; i < items; ++i) AddItem(in, strings, precision, i == 0, call, i < count);
  call.words.push_back(0xDEADBEEF);  // never read: the count ends the list

  WindowRecord* destination = call.namesWindow ? call.named : PrintDestination;
  const std::string text = call.expected.substr(0, PRINT_BUFFER_SIZE);
  POINT before{};
  if (destination != nullptr) before = destination->penPos;
  s.host.texts.clear();
  std::string written;
  {
    StdoutCapture capture(s.stdoutCapture);
    PrintItems(count, call.words.data());
    written = capture.Restore();
  }
  FUZZ_CHECK(PrintDestination == destination);
  FUZZ_CHECK(std::memcmp(PrintBuffer, text.data(), text.size()) == 0);
  if (destination == nullptr) {
    FUZZ_CHECK(written == text);
    FUZZ_CHECK(s.host.texts.empty());
    return;
  }
  FUZZ_CHECK(written.empty());
  std::string drawn = text;
  if (!drawn.empty() && drawn.back() == '\n') {
    drawn.pop_back();
    if (!drawn.empty() && drawn.back() == '\r') drawn.pop_back();
  }
  const POINT after = destination->penPos;
  if (drawn.empty() || destination->hwnd == nullptr) {
    FUZZ_CHECK(s.host.texts.empty());
    FUZZ_CHECK(after.x == before.x && after.y == before.y);
    return;
  }
  // Drawn at the current position, which moves to the end of the text on the same line.
  SIZE extent{};
  FUZZ_CHECK(
      GetTextExtentPoint32A(s.measure, drawn.data(), static_cast<int>(drawn.size()), &extent));
  const int64_t end = std::clamp<int64_t>(int64_t{before.x} + extent.cx, INT_MIN, INT_MAX);
  FUZZ_CHECK(after.y == before.y && after.x == end);
  if (destination->hasBacking) {
    FUZZ_CHECK(s.host.texts.empty());  // drawn into the bitmap, then copied to the screen
  } else {
    FUZZ_CHECK(s.host.texts.size() == 1);
    FUZZ_CHECK(s.host.texts[0].hwnd == destination->hwnd && s.host.texts[0].text == drawn);
    FUZZ_CHECK(s.host.texts[0].x == before.x && s.host.texts[0].y == before.y);
  }
}

void NumberOnce(fuzz::Input& in, int32_t precision) {
  const double value = RealFrom(in);
  const size_t blocks = portable::QueryHeapUsage(RuntimeHeap).blocks;
  char* text = NumberToString(value);
  FUZZ_CHECK(text != nullptr);
  FUZZ_CHECK(HeapSize(RuntimeHeap, 0, text) == static_cast<SIZE_T>(NUMBER_TEXT_SIZE));
  FUZZ_CHECK(portable::QueryHeapUsage(RuntimeHeap).blocks == blocks + 1);
  const size_t length = strnlen(text, NUMBER_TEXT_SIZE);
  FUZZ_CHECK(length < static_cast<size_t>(NUMBER_TEXT_SIZE));
  const std::string got(text, length);
  // Appended to the leading space rather than joined with `" " + ...`, which GCC 12 at -O3
  // mistakes for an overlapping copy.
  std::string want = " ";
  if (std::isnan(value)) {
    want += "nan";
  } else if (std::isinf(value)) {
    want += value < 0 ? "-inf" : "inf";
  } else if (std::fabs(value) >= 9223372036854775808.0 && value != -9223372036854775808.0) {
    char digits[64];
    const auto r =
        std::to_chars(digits, digits + sizeof(digits), value, std::chars_format::scientific, 15);
    want.append(digits, r.ptr);
  } else if (value == std::trunc(value)) {
    want += std::to_string(static_cast<int64_t>(value));
  } else {
    want += FixedText(value, precision, 1200, false);
  }
  FUZZ_CHECK(got == want.substr(0, NUMBER_TEXT_SIZE - 1));
  FUZZ_CHECK(RuntimeHeapFree(text) != 0);
  FUZZ_CHECK(portable::QueryHeapUsage(RuntimeHeap).blocks == blocks);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  TheSetup();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setup& s = TheSetup();
  fuzz::Input in(data, size);
  PrintPrecision = PrecisionFrom(in);
  PrintDestination = RecordFrom(in);
  for (WindowRecord* r : {&s.direct, &s.backed}) {
    const int32_t x = in.Edgy32(), y = in.Edgy32();
    DrawMoveTo(r, x, y);
  }
  const portable::GdiUsage gdi = portable::QueryGdiUsage();
  const size_t heapBlocks = portable::QueryHeapUsage(RuntimeHeap).blocks;
  std::vector<std::string> strings;
  strings.reserve(256);  // the items point into these: they must not move
  for (int call = 0; call < 8 && !in.AtEnd(); ++call) {
    if (in.Below(3) == 0) {
      NumberOnce(in, PrintPrecision);
    } else {
      PrintOnce(in, PrintPrecision, strings);
    }
    CheckQuiet(gdi, heapBlocks);
    if (strings.size() > 200) break;
  }
  PrintPrecision = 2;
  return 0;
}
