// USER in any order on up to a few windows: creation (top-level and child, any styles),
// destruction, showing, moving and sizing, invalidating and validating, posting and sending,
// window and thread timers, focus and activation, and message pumps with any filters, nested
// inside the window procedure at any message it receives. Checked all along:
//   - a window gets messages only between its WM_NCCREATE and its WM_NCDESTROY, its children
//     are gone before its WM_NCDESTROY, and IsWindow agrees;
//   - a sent message arrives before SendMessage returns; posted messages of one window and
//     number arrive in the order of posting, and never after their window is gone;
//   - WM_PAINT comes only with something to paint, WM_TIMER only for a running timer;
//   - rectangles are consistent, focus and activation name live windows;
//   - the live windows and timers are exactly those counted here, GDI holds what it held;
// and an unfiltered pump always empties the queue. When the input ends every window is
// destroyed and nothing is left behind.
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../../platform/portable/diagnostics.h"
#include "fuzz_host.h"
#include "fuzz_input.h"

namespace {

constexpr size_t kMaxLive = 5;
constexpr int kMaxCreated = 16;
constexpr int kMaxOps = 160;
constexpr int kMaxDepth = 3;
constexpr LPARAM kPosted = 0x504F5354;
constexpr LPARAM kSent = 0x53454E44;
constexpr size_t kDrainLimit = 100000;
// Windows values our headers leave out: the fuzzer may pass them all the same.
constexpr DWORD kExNoParentNotify = 0x00000004;
constexpr UINT kSetRedraw = 0x000B;
constexpr UINT kCancelMode = 0x001F;

LRESULT CALLBACK FuzzProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void CALLBACK FuzzTimerProc(HWND hwnd, UINT msg, UINT_PTR id, DWORD time);

struct Setup {
  fuzz::FuzzHost host{SIZE{160, 120}};
  HINSTANCE instance = GetModuleHandleA(nullptr);
  Setup() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FuzzProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "FuzzUserWindow";
    FUZZ_CHECK(RegisterClassExA(&wc) != 0);
  }
};

Setup& TheSetup() {
  static Setup* setup = new Setup;
  return *setup;
}

struct Model {
  std::set<HWND> live;
  std::vector<HWND> everMade;     // in order of their WM_NCCREATE
  std::map<HWND, HWND> parentOf;  // child windows only
  std::set<std::pair<HWND, UINT_PTR>> timers;
  std::map<std::pair<HWND, UINT>, uint64_t> lastPosted, lastSeen;
  uint64_t nextPost = 1;
  std::set<WPARAM> sentArrived;  // tokens of the sent messages that reached a procedure
  int created = 0;
  int ops = 0;
  int depth = 0;
  fuzz::Input* in = nullptr;
  size_t baseWindows = 0, baseTimers = 0;
  portable::GdiUsage baseGdi;
};

Model* model = nullptr;

void RunOps(fuzz::Input& in, int count);

bool Live(HWND hwnd) { return model->live.count(hwnd) != 0; }

HWND PickWindow(fuzz::Input& in) {
  const std::vector<HWND>& made = model->everMade;
  switch (in.Below(8)) {
    case 0: return nullptr;
    case 1: return reinterpret_cast<HWND>(static_cast<uintptr_t>(in.U16()) * 4);  // forged
    default:
      if (made.empty()) return nullptr;
      return made[in.U8() % made.size()];  // live or destroyed
  }
}

int32_t Coordinate(fuzz::Input& in, bool wide) {
  if (wide && in.Below(4) == 0) return in.Edgy32();
  return static_cast<int32_t>(in.Below(200)) - 40;
}

void ForgetTimersOf(HWND hwnd) {
  std::erase_if(model->timers, [hwnd](const auto& t) { return t.first == hwnd; });
}

// Maybe runs a few more operations from inside the window procedure.
void MaybeNest() {
  Model& m = *model;
  if (m.in == nullptr || m.depth >= kMaxDepth || m.in->AtEnd() || m.in->Below(6) != 0) return;
  ++m.depth;
  RunOps(*m.in, 1 + static_cast<int>(m.in->Below(3)));
  --m.depth;
}

LRESULT CALLBACK FuzzProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Model& m = *model;
  FUZZ_CHECK(hwnd != nullptr);
  // A window's life begins with WM_NCCREATE, or just before it with WM_GETMINMAXINFO for
  // a window with a sizing frame, as on Windows. Handles are never given out twice.
  if (!Live(hwnd) && std::find(m.everMade.begin(), m.everMade.end(), hwnd) == m.everMade.end()) {
    FUZZ_CHECK(msg == WM_NCCREATE || msg == WM_GETMINMAXINFO);
    m.live.insert(hwnd);
    m.everMade.push_back(hwnd);
    if (HWND parent = GetParent(hwnd);
        parent != nullptr && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) {
      FUZZ_CHECK(Live(parent));
      m.parentOf[hwnd] = parent;
    }
  }
  FUZZ_CHECK(Live(hwnd));
  switch (msg) {
    case WM_NCDESTROY: {
      for (const auto& [child, parent] : m.parentOf) FUZZ_CHECK(parent != hwnd || !Live(child));
      m.live.erase(hwnd);
      ForgetTimersOf(hwnd);
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    case WM_PAINT: {
      RECT update;
      FUZZ_CHECK(GetUpdateRect(hwnd, &update, FALSE));
      FUZZ_CHECK(update.left < update.right && update.top < update.bottom);
      MaybeNest();
      if (!Live(hwnd)) return 0;
      if (m.in != nullptr && m.in->Bit()) return DefWindowProcA(hwnd, msg, wParam, lParam);
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc != nullptr) PatBlt(dc, ps.rcPaint.left, ps.rcPaint.top, 7, 5, BLACKNESS);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_TIMER:
      FUZZ_CHECK(m.timers.count({hwnd, wParam}) != 0);
      MaybeNest();
      return 0;
    case WM_CREATE:
    case WM_SIZE:
    case WM_MOVE:
    case WM_ACTIVATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_DESTROY:
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGED:
      MaybeNest();
      if (!Live(hwnd)) return 0;
      break;
    default: break;
  }
  if (msg >= WM_USER && msg < WM_USER + 8) {
    if (lParam == kSent) {
      m.sentArrived.insert(wParam);
    } else if (lParam == kPosted) {
      // Retrieval with filters may skip messages, but never reorders those of one window
      // and number.
      uint64_t& seen = m.lastSeen[{hwnd, msg}];
      FUZZ_CHECK(wParam > seen);
      seen = wParam;
    }
    if (msg == WM_USER + 3) MaybeNest();
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void CALLBACK FuzzTimerProc(HWND hwnd, UINT msg, UINT_PTR id, DWORD) {
  FUZZ_CHECK(msg == WM_TIMER);
  FUZZ_CHECK(hwnd == nullptr || Live(hwnd));
  FUZZ_CHECK(model->timers.count({hwnd, id}) != 0);
  MaybeNest();
}

void Create(fuzz::Input& in) {
  Model& m = *model;
  if (m.live.size() >= kMaxLive || m.created >= kMaxCreated) return;
  static constexpr DWORD kStyles[] = {
      WS_POPUP,    WS_CHILD,    WS_VISIBLE,      WS_CAPTION,      WS_SYSMENU,  WS_THICKFRAME,
      WS_MINIMIZE, WS_MAXIMIZE, WS_CLIPCHILDREN, WS_CLIPSIBLINGS, WS_DISABLED, WS_MINIMIZEBOX};
  static constexpr DWORD kExStyles[] = {0, WS_EX_TOPMOST, WS_EX_TOOLWINDOW, WS_EX_CONTROLPARENT,
                                        kExNoParentNotify};
  const uint16_t bits = in.U16();
  DWORD style = 0;
  for (size_t i = 0; i < sizeof(kStyles) / sizeof(kStyles[0]); ++i) {
    if (bits & (1u << i)) style |= kStyles[i];
  }
  const DWORD exStyle = kExStyles[in.Below(sizeof(kExStyles) / sizeof(kExStyles[0]))];
  const HWND parent = PickWindow(in);
  const bool child = (style & (WS_CHILD | WS_POPUP)) == WS_CHILD;
  const int x = in.Below(8) == 0 ? static_cast<int>(CW_USEDEFAULT) : Coordinate(in, child);
  const int y = Coordinate(in, child);
  const int w = in.Below(8) == 0 ? static_cast<int>(CW_USEDEFAULT) : Coordinate(in, child);
  const int h = Coordinate(in, child);
  ++m.created;
  const size_t before = m.everMade.size();
  HWND hwnd = CreateWindowExA(exStyle, "FuzzUserWindow", "fuzz", style, x, y, w, h, parent, nullptr,
                              TheSetup().instance, nullptr);
  if (hwnd != nullptr) {
    FUZZ_CHECK(Live(hwnd) && m.everMade.size() > before);
    FUZZ_CHECK(!child || GetParent(hwnd) == parent);
  }
  if (child && !Live(parent)) FUZZ_CHECK(hwnd == nullptr);
}

void PostOrSend(fuzz::Input& in) {
  Model& m = *model;
  const HWND hwnd = PickWindow(in);
  const UINT msg = WM_USER + in.Below(8);
  switch (in.Below(4)) {
    case 0: {
      const WPARAM token = static_cast<WPARAM>(m.nextPost++);
      const bool live = Live(hwnd);
      SendMessageA(hwnd, msg, token, kSent);
      FUZZ_CHECK(m.sentArrived.count(token) == (live ? 1u : 0u));
      break;
    }
    case 1: {  // messages a program might send that carry no pointers
      static constexpr UINT kMessages[] = {WM_NULL,     WM_CLOSE,  kSetRedraw,
                                           kCancelMode, WM_ENABLE, WM_SYSCOMMAND};
      const UINT other = kMessages[in.Below(sizeof(kMessages) / sizeof(kMessages[0]))];
      const WPARAM w = other == WM_SYSCOMMAND ? SC_CLOSE : in.U8();
      if (in.Bit()) {
        SendMessageA(hwnd, other, w, 0);
      } else {
        PostMessageA(hwnd, other, w, 0);
      }
      break;
    }
    default: {
      const uint64_t seq = m.nextPost++;
      const BOOL ok = PostMessageA(hwnd, msg, static_cast<WPARAM>(seq), kPosted);
      FUZZ_CHECK(ok == ((hwnd == nullptr || Live(hwnd)) ? TRUE : FALSE));
    }
  }
}

void Timers(fuzz::Input& in) {
  Model& m = *model;
  const HWND hwnd = PickWindow(in);
  const UINT_PTR id = in.Bit() ? in.Below(6) : in.U32();
  if (in.Below(3) != 0) {
    const UINT period = in.Bit() ? in.Below(120) : in.U32();
    const TIMERPROC proc = in.Below(4) == 0 ? FuzzTimerProc : nullptr;
    const UINT_PTR got = SetTimer(hwnd, id, period, proc);
    if (hwnd != nullptr && !Live(hwnd)) {
      FUZZ_CHECK(got == 0);
    } else if (hwnd != nullptr) {
      FUZZ_CHECK(got == (id == 0 ? 1 : id));
      m.timers.insert({hwnd, id});
    } else {
      FUZZ_CHECK(got != 0);
      FUZZ_CHECK(m.timers.count({nullptr, id}) == 0 || got == id);
      m.timers.insert({nullptr, got});
    }
    return;
  }
  const BOOL killed = KillTimer(hwnd, id);
  FUZZ_CHECK(killed ==
             (m.timers.count({hwnd, id}) != 0 && (hwnd == nullptr || Live(hwnd)) ? TRUE : FALSE));
  m.timers.erase({hwnd, id});
}

// Retrieves and dispatches; an unfiltered pump must empty the queue.
void Pump(fuzz::Input& in) {
  HWND filter = nullptr;
  UINT first = 0, last = 0;
  const bool filtered = in.Below(3) == 0;
  if (filtered) {
    filter = in.Bit() ? PickWindow(in) : reinterpret_cast<HWND>(-1);
    if (in.Bit()) {
      first = in.Bit() ? WM_USER : WM_PAINT;
      last = first + in.Below(8);
    }
  }
  if (in.Below(8) == 0) {
    MSG peeked;
    PeekMessageA(&peeked, filter, first, last, PM_NOREMOVE);
    return;
  }
  MSG msg;
  size_t n = 0;
  while (PeekMessageA(&msg, filter, first, last, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    FUZZ_CHECK(++n < kDrainLimit);
  }
  if (!filtered) FUZZ_CHECK(!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

void Geometry(fuzz::Input& in) {
  const HWND hwnd = PickWindow(in);
  const bool child = model->parentOf.count(hwnd) != 0;
  switch (in.Below(4)) {
    case 0:
      ShowWindow(hwnd, in.Below(8) == 0 ? in.Edgy32() : static_cast<int>(in.Below(12)));
      break;
    case 1: {
      const RECT r{Coordinate(in, child), Coordinate(in, child), Coordinate(in, child),
                   Coordinate(in, child)};
      MoveWindow(hwnd, r.left, r.top, r.right, r.bottom, in.Bit());
      break;
    }
    case 2: {
      static const HWND kAfter[] = {HWND_TOP, HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST};
      const HWND after = in.Bit() ? kAfter[in.Below(4)] : PickWindow(in);
      const RECT r{Coordinate(in, child), Coordinate(in, child), Coordinate(in, child),
                   Coordinate(in, child)};
      SetWindowPos(hwnd, after, r.left, r.top, r.right, r.bottom, in.U16());
      break;
    }
    default: {
      std::string title(in.Bytes(in.Below(40)));
      SetWindowTextA(hwnd, title.c_str());
      char back[64];
      const int got = GetWindowTextA(hwnd, back, static_cast<int>(in.Below(sizeof(back)) + 1));
      FUZZ_CHECK(got >= 0 && got < static_cast<int>(sizeof(back)));
    }
  }
}

void Painting(fuzz::Input& in) {
  const HWND hwnd = PickWindow(in);
  RECT r{Coordinate(in, true), Coordinate(in, true), Coordinate(in, true), Coordinate(in, true)};
  const bool whole = in.Bit();
  switch (in.Below(3)) {
    case 0: InvalidateRect(hwnd, whole ? nullptr : &r, in.Bit()); break;
    case 1: ValidateRect(hwnd, whole ? nullptr : &r); break;
    default: UpdateWindow(hwnd); break;
  }
}

void Focus(fuzz::Input& in) {
  const HWND hwnd = PickWindow(in);
  switch (in.Below(3)) {
    case 0: SetFocus(hwnd); break;
    case 1: SetActiveWindow(hwnd); break;
    default: DestroyWindow(hwnd); break;
  }
}

void CheckState() {
  Model& m = *model;
  for (HWND hwnd : m.everMade) {
    const bool live = Live(hwnd);
    FUZZ_CHECK((IsWindow(hwnd) != FALSE) == live);
    if (!live) continue;
    RECT client, window;
    FUZZ_CHECK(GetClientRect(hwnd, &client) && GetWindowRect(hwnd, &window));
    FUZZ_CHECK(client.left == 0 && client.top == 0 && client.right >= 0 && client.bottom >= 0);
    FUZZ_CHECK(client.right <= window.right - window.left &&
               client.bottom <= window.bottom - window.top);
    if (auto p = m.parentOf.find(hwnd); p != m.parentOf.end())
      FUZZ_CHECK(GetParent(hwnd) == p->second);
  }
  const HWND focus = GetFocus();
  const HWND active = GetActiveWindow();
  FUZZ_CHECK(focus == nullptr || Live(focus));
  FUZZ_CHECK(active == nullptr || (Live(active) && m.parentOf.count(active) == 0));
  FUZZ_CHECK(portable::LiveWindows() == m.baseWindows + m.live.size());
  FUZZ_CHECK(portable::LiveTimers() == m.baseTimers + m.timers.size());
  const portable::GdiUsage gdi = portable::QueryGdiUsage();
  FUZZ_CHECK(gdi.dcs == m.baseGdi.dcs && gdi.pens == m.baseGdi.pens &&
             gdi.brushes == m.baseGdi.brushes && gdi.fonts == m.baseGdi.fonts &&
             gdi.bitmaps == m.baseGdi.bitmaps);
}

void RunOps(fuzz::Input& in, int count) {
  Model& m = *model;
  for (int i = 0; i < count && !in.AtEnd() && m.ops < kMaxOps; ++i) {
    ++m.ops;
    switch (in.Below(12)) {
      case 0:
      case 1: Create(in); break;
      case 2: DestroyWindow(PickWindow(in)); break;
      case 3:
      case 4: Geometry(in); break;
      case 5: Painting(in); break;
      case 6:
      case 7: PostOrSend(in); break;
      case 8: Timers(in); break;
      case 9: Pump(in); break;
      case 10: {  // time passes, as in a wait for the next message
        TheSetup().host.Advance(in.Below(4) == 0 ? in.U16() : in.Below(60));
        WaitMessage();
        Pump(in);
        break;
      }
      default: Focus(in); break;
    }
    if (m.depth == 0) CheckState();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  TheSetup();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TheSetup();
  fuzz::Input in(data, size);
  Model m;
  model = &m;
  m.baseWindows = portable::LiveWindows();
  m.baseTimers = portable::LiveTimers();
  m.baseGdi = portable::QueryGdiUsage();
  m.in = &in;
  RunOps(in, kMaxOps);
  // The end: no more nesting; every window and timer goes, the queue empties.
  m.in = nullptr;
  for (const auto& [hwnd, id] : std::set<std::pair<HWND, UINT_PTR>>(m.timers)) {
    if (hwnd == nullptr) {
      FUZZ_CHECK(KillTimer(nullptr, id));
      m.timers.erase({hwnd, id});
    }
  }
  for (HWND hwnd : std::vector<HWND>(m.everMade)) {
    if (Live(hwnd) && m.parentOf.count(hwnd) == 0) FUZZ_CHECK(DestroyWindow(hwnd));
  }
  for (HWND hwnd : std::vector<HWND>(m.everMade)) {
    if (Live(hwnd)) DestroyWindow(hwnd);
  }
  MSG msg;
  size_t n = 0;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessageA(&msg);
    FUZZ_CHECK(++n < kDrainLimit);
  }
  FUZZ_CHECK(m.live.empty() && m.timers.empty());
  CheckState();
  FUZZ_CHECK(GetFocus() == nullptr && GetActiveWindow() == nullptr);
  model = nullptr;
  return 0;
}
