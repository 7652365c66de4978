// Measures how window timers behave (meant for Wine): for a few periods, the WM_TIMER messages
// per second and the spread of the intervals between them, and how long Sleep(1) really sleeps.
// Prints one line per measurement. Built twice, as the programs are: timer_probe on the system's
// USER32 (its SetTimer), timer_probe_layer on our layer inside a Windows program (our timers,
// waiting on the system's message queue through host_win32).
// Usage: timer_probe [seconds per period]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32.h"
#if !defined(SPIRALS_SYSTEM_WIN32)
#include "platform/portable/host_win32/host_win32.h"
#endif

namespace {

double NowMs() {
  static const auto start = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void MeasureTimer(HWND hwnd, UINT periodMs, double seconds) {
  std::vector<double> stamps;
  SetTimer(hwnd, 1, periodMs, nullptr);
  const double start = NowMs();
  MSG msg;
  while (NowMs() - start < seconds * 1000.0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == hwnd) stamps.push_back(NowMs());
    DispatchMessageA(&msg);
  }
  KillTimer(hwnd, 1);
  const double elapsed = NowMs() - start;
  std::vector<double> gaps;
  for (size_t i = 1; i < stamps.size(); ++i) gaps.push_back(stamps[i] - stamps[i - 1]);
  std::sort(gaps.begin(), gaps.end());
  double mean = 0;
  for (double g : gaps) mean += g;
  if (!gaps.empty()) mean /= static_cast<double>(gaps.size());
  auto at = [&](double q) {
    return gaps.empty() ? 0.0 : gaps[static_cast<size_t>(q * (gaps.size() - 1))];
  };
  std::printf(
      "SetTimer %3u ms: %6.1f ticks/s over %.1f s; interval mean %.2f ms, min %.2f, median %.2f, "
      "p95 %.2f, max %.2f\n",
      periodMs, static_cast<double>(stamps.size()) * 1000.0 / elapsed, elapsed / 1000.0, mean,
      at(0.0), at(0.5), at(0.95), at(1.0));
}

void MeasureSleep() {
  const int rounds = 200;
  const double start = NowMs();
  for (int i = 0; i < rounds; ++i) Sleep(1);
  std::printf("Sleep(1): %.2f ms on average over %d calls\n", (NowMs() - start) / rounds, rounds);
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
#if !defined(SPIRALS_SYSTEM_WIN32)
  std::string problem;
  if (!portable::InstallWin32Host(0, &problem)) {
    std::fprintf(stderr, "timer_probe: %s\n", problem.c_str());
    return 1;
  }
#endif
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TimerProbe";
  if (RegisterClassExA(&wc) == 0) return 1;
  HWND hwnd = CreateWindowExA(0, "TimerProbe", "timer probe", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, wc.hInstance, nullptr);
  if (hwnd == nullptr) return 1;
  for (UINT period : {1u, 10u, 11u, 16u, 50u}) MeasureTimer(hwnd, period, seconds);
  MeasureSleep();
  DestroyWindow(hwnd);
  return 0;
}
