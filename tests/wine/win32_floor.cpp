// The plainest Win32 program that shows what spirals.exe shows at ten curves, for
// bench/measure_windows.sh to measure the Windows programs against: a full-screen popup window,
// a 16 ms timer, 700 new dots a tick along ten curves drawn into a framebuffer of its own,
// and SetDIBitsToDevice of the 32-pixel tiles the dots touched, each tile row's runs in one call.
// ESC ends it. The title is "Win32 floor".
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kTile = 32;
constexpr int kCurves = 10;
constexpr int kDotsPerTick = 700;
constexpr UINT kPeriodMs = 16;

struct Floor {
  int width = 0, height = 0, columns = 0, rows = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top-down
  std::vector<uint8_t> dirty;    // rows x columns
  BITMAPINFO info{};
  double angle[kCurves] = {};
  uint64_t pictures = 0, pixelsShown = 0, rectsShown = 0;
};

Floor floor_;

void Resize(int width, int height) {
  floor_.width = width;
  floor_.height = height;
  floor_.columns = (width + kTile - 1) / kTile;
  floor_.rows = (height + kTile - 1) / kTile;
  floor_.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  floor_.dirty.assign(static_cast<size_t>(floor_.columns) * static_cast<size_t>(floor_.rows), 1);
  floor_.info.bmiHeader.biSize = sizeof floor_.info.bmiHeader;
  floor_.info.bmiHeader.biPlanes = 1;
  floor_.info.bmiHeader.biBitCount = 32;
  floor_.info.bmiHeader.biCompression = BI_RGB;
}

// One curve's next dots, spread as the program's are: an epicycloid about the middle of the
// window with radii in the program's range for this width, the angle moving 0.04 a dot (the
// program's step at speed 3.5), so that a tick's dots fall all over the curve.
void DrawDots(int curve, int count) {
  const double cx = floor_.width / 2.0, cy = floor_.height / 2.0;
  const double f = floor_.width / 400 + 0.2;
  const double sum = (30.0 + 3.0 * curve) * f + (9.0 + 3.0 * curve) * f;
  const double small = (9.0 + 3.0 * curve) * f, pen = (8.0 + 2.5 * curve) * f;
  const double k = sum / small;
  const uint32_t colour = 0x00FFFFFFu & (0x4080C0u * static_cast<uint32_t>(curve + 1) | 0x202020u);
  for (int i = 0; i < count; ++i) {
    const double t = floor_.angle[curve];
    floor_.angle[curve] = t + 0.04;
    const int x = static_cast<int>(std::lround(cx + sum * std::cos(t) + pen * std::cos(k * t)));
    const int y = static_cast<int>(std::lround(cy + sum * std::sin(t) - pen * std::sin(k * t)));
    if (x < 0 || y < 0 || x >= floor_.width || y >= floor_.height) continue;
    floor_.pixels[static_cast<size_t>(y) * static_cast<size_t>(floor_.width) +
                  static_cast<size_t>(x)] = colour;
    floor_.dirty[static_cast<size_t>(y / kTile) * static_cast<size_t>(floor_.columns) +
                 static_cast<size_t>(x / kTile)] = 1;
  }
}

// The touched tiles, each run along a tile row in one call.
void Show(HDC dc) {
  ++floor_.pictures;
  for (int row = 0; row < floor_.rows; ++row) {
    const int top = row * kTile;
    const int bottom = std::min(floor_.height, top + kTile);
    uint8_t* line = &floor_.dirty[static_cast<size_t>(row) * static_cast<size_t>(floor_.columns)];
    for (int column = 0; column < floor_.columns;) {
      if (!line[column]) {
        ++column;
        continue;
      }
      int end = column;
      while (end < floor_.columns && line[end]) line[end++] = 0;
      const int left = column * kTile;
      const int right = std::min(floor_.width, end * kTile);
      floor_.info.bmiHeader.biWidth = floor_.width;
      floor_.info.bmiHeader.biHeight = -(bottom - top);
      SetDIBitsToDevice(
          dc, left, top, static_cast<DWORD>(right - left), static_cast<DWORD>(bottom - top), left,
          0, 0, static_cast<UINT>(bottom - top),
          &floor_.pixels[static_cast<size_t>(top) * static_cast<size_t>(floor_.width)],
          &floor_.info, DIB_RGB_COLORS);
      floor_.pixelsShown +=
          static_cast<uint64_t>(right - left) * static_cast<uint64_t>(bottom - top);
      ++floor_.rectsShown;
      column = end;
    }
  }
}

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: {
      for (int curve = 0; curve < kCurves; ++curve) DrawDots(curve, kDotsPerTick / kCurves);
      HDC dc = GetDC(hwnd);
      Show(dc);
      ReleaseDC(hwnd, dc);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(hwnd, &paint);
      std::fill(floor_.dirty.begin(), floor_.dirty.end(), 1);
      Show(paint.hdc);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = "Win32Floor";
  if (RegisterClassA(&wc) == 0) return 1;
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  Resize(width, height);
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Win32 floor", WS_POPUP | WS_VISIBLE, 0, 0,
                              width, height, nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr) return 1;
  SetTimer(hwnd, 1, kPeriodMs, nullptr);
  const DWORD start = GetTickCount();
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  // The figures spirals.exe gives with SPIRALS_HOST_STATS, to compare the pictures.
  if (std::getenv("SPIRALS_HOST_STATS") != nullptr) {
    const double seconds = (GetTickCount() - start) / 1000.0;
    const double pictures = static_cast<double>(floor_.pictures > 0 ? floor_.pictures : 1);
    std::fprintf(stderr,
                 "win32_floor: %llu pictures in %.1f s (%.1f per second), %.0f pixels in %.1f "
                 "rectangles a picture\n",
                 static_cast<unsigned long long>(floor_.pictures), seconds,
                 seconds > 0 ? static_cast<double>(floor_.pictures) / seconds : 0.0,
                 static_cast<double>(floor_.pixelsShown) / pictures,
                 static_cast<double>(floor_.rectsShown) / pictures);
  }
  return 0;
}
