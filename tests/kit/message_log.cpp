#include "tests/kit/message_log.h"

#include <algorithm>
#include <cstdio>

namespace kit {

namespace {

std::vector<Entry> log;
int defProcDepth = 0;

// The queued messages being dispatched, innermost last; `claimed` once the procedure got it.
struct Dispatching {
  MSG msg;
  bool claimed;
};
std::vector<Dispatching> dispatching;

struct Name {
  UINT message;
  const char* name;
};
constexpr Name kNames[] = {
    {WM_CREATE, "WM_CREATE"},
    {WM_DESTROY, "WM_DESTROY"},
    {WM_MOVE, "WM_MOVE"},
    {WM_SIZE, "WM_SIZE"},
    {WM_ACTIVATE, "WM_ACTIVATE"},
    {WM_SETFOCUS, "WM_SETFOCUS"},
    {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_PAINT, "WM_PAINT"},
    {WM_CLOSE, "WM_CLOSE"},
    {WM_ERASEBKGND, "WM_ERASEBKGND"},
    {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
    {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
    {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
    {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
    {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
    {WM_NCCREATE, "WM_NCCREATE"},
    {WM_NCDESTROY, "WM_NCDESTROY"},
    {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
    {WM_NCPAINT, "WM_NCPAINT"},
    {WM_NCACTIVATE, "WM_NCACTIVATE"},
    {WM_KEYDOWN, "WM_KEYDOWN"},
    {WM_KEYUP, "WM_KEYUP"},
    {WM_CHAR, "WM_CHAR"},
    {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
    {WM_TIMER, "WM_TIMER"},
    {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
    {WM_USER, "WM_USER"},
    {WM_USER + 1, "WM_USER+1"},
    {WM_USER + 2, "WM_USER+2"},
    {WM_USER + 5, "WM_USER+5"},
};

}  // namespace

std::vector<Entry>& Log() { return log; }

void Clear() { log.clear(); }

void Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  unsigned flags = kSent;
  if (!dispatching.empty()) {
    Dispatching& d = dispatching.back();
    if (!d.claimed && d.msg.hwnd == hwnd && d.msg.message == message && d.msg.wParam == wParam &&
        d.msg.lParam == lParam) {
      d.claimed = true;
      flags = kPosted;
    }
  }
  if (defProcDepth > 0) flags |= kDefWinProc;
  log.push_back(Entry{hwnd, message, wParam, lParam, flags});
}

LRESULT DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ++defProcDepth;
  const LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
  --defProcDepth;
  return result;
}

LRESULT Dispatch(const MSG& msg) {
  // A message dispatched from inside a default procedure is not the default procedure's doing.
  const int outerDepth = defProcDepth;
  defProcDepth = 0;
  dispatching.push_back(Dispatching{msg, false});
  const LRESULT result = DispatchMessageA(&msg);
  dispatching.pop_back();
  defProcDepth = outerDepth;
  return result;
}

bool IsIgnored(UINT message) {
  switch (message) {
    case 0x000D:  // WM_GETTEXT (caption drawing)
    case 0x000E:  // WM_GETTEXTLENGTH
    case 0x001F:  // WM_CANCELMODE
    case 0x003D:  // WM_GETOBJECT (accessibility)
    case WM_GETICON:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case 0x0088:  // WM_SYNCPAINT
    case 0x0127:  // WM_CHANGEUISTATE
    case 0x0128:  // WM_UPDATEUISTATE
    case 0x0129:  // WM_QUERYUISTATE
    case 0x02A1:  // WM_MOUSEHOVER
    case 0x02A3:  // WM_MOUSELEAVE
    case 0x030F:  // WM_QUERYNEWPALETTE
    case 0x0311:  // WM_PALETTECHANGED
    case 0x031A:  // WM_THEMECHANGED
    case 0x031F:  // WM_DWMNCRENDERINGCHANGED
    case 0x0320:  // WM_DWMCOLORIZATIONCOLORCHANGED
      return true;
    default: break;
  }
  if (message >= 0x0090 && message <= 0x0095) return true;  // theme-drawing internals
  if (message >= 0x00AE && message <= 0x00AF) return true;  // themed caption/frame drawing
  if (message >= 0x010D && message <= 0x010F) return true;  // IME composition
  if (message >= 0x0280 && message <= 0x0291) return true;  // IME context and notifications
  if (message >= 0xC000 && message <= 0xFFFF) return true;  // registered (shell) messages
  return false;
}

std::vector<Entry> Filtered(HWND hwnd) {
  std::vector<Entry> out;
  for (const Entry& r : log) {
    if (IsIgnored(r.message)) continue;
    if (hwnd != nullptr && r.hwnd != hwnd) continue;
    out.push_back(r);
  }
  return out;
}

std::vector<UINT> Messages(HWND hwnd, const std::vector<UINT>& keep) {
  std::vector<UINT> out;
  for (const Entry& s : log) {
    if (hwnd != nullptr && s.hwnd != hwnd) continue;
    if (!keep.empty() && std::find(keep.begin(), keep.end(), s.message) == keep.end()) continue;
    out.push_back(s.message);
  }
  return out;
}

const char* MessageName(UINT message) {
  for (const Name& n : kNames) {
    if (n.message == message) return n.name;
  }
  return nullptr;
}

static std::string DescribeOne(UINT message, WPARAM wParam, LPARAM lParam, unsigned flags = 0) {
  char buf[128];
  const char* name = MessageName(message);
  if (name != nullptr) {
    std::snprintf(buf, sizeof buf, "%s(w=%llu, l=0x%llx)", name,
                  static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
  } else {
    std::snprintf(buf, sizeof buf, "0x%04x(w=%llu, l=0x%llx)", message,
                  static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
  }
  std::string out = buf;
  if (flags & kSent) out += " sent";
  if (flags & kPosted) out += " posted";
  if (flags & kDefWinProc) out += " defwinproc";
  return out;
}

std::string Describe(const std::vector<Entry>& actual) {
  std::string out;
  for (const Entry& r : actual) {
    out += "  " + DescribeOne(r.message, r.wParam, r.lParam, r.flags) + "\n";
  }
  return out;
}

static bool EntryMatches(const Expected& e, const Entry& r) {
  if (e.message != r.message) return false;
  // A way of arrival in the table must be the one recorded.
  if ((e.flags & kSent) != 0 && (r.flags & kSent) == 0) return false;
  if ((e.flags & kPosted) != 0 && (r.flags & kPosted) == 0) return false;
  if ((e.flags & kDefWinProc) != 0 && (r.flags & kDefWinProc) == 0) return false;
  if ((e.flags & kWParam) != 0 && e.wParam != r.wParam) return false;
  if ((e.flags & kLParam) != 0 && e.lParam != r.lParam) return false;
  return true;
}

std::string MatchSequence(const std::vector<Entry>& actual, const std::vector<Expected>& expected) {
  size_t e = 0;
  size_t a = 0;
  std::string problem;
  while (a < actual.size()) {
    while (e < expected.size() && !EntryMatches(expected[e], actual[a]) &&
           (expected[e].flags & kOptional) != 0) {
      ++e;
    }
    if (e >= expected.size()) {
      problem =
          "unexpected " +
          DescribeOne(actual[a].message, actual[a].wParam, actual[a].lParam, actual[a].flags) +
          " after the end of the expected sequence";
      break;
    }
    if (!EntryMatches(expected[e], actual[a])) {
      problem =
          "got " +
          DescribeOne(actual[a].message, actual[a].wParam, actual[a].lParam, actual[a].flags) +
          " where " +
          DescribeOne(expected[e].message, expected[e].wParam, expected[e].lParam,
                      expected[e].flags) +
          " was expected";
      break;
    }
    ++e;
    ++a;
  }
  if (problem.empty()) {
    for (; e < expected.size(); ++e) {
      if ((expected[e].flags & kOptional) == 0) {
        problem = "missing " + DescribeOne(expected[e].message, expected[e].wParam,
                                           expected[e].lParam, expected[e].flags);
        break;
      }
    }
  }
  if (problem.empty()) return problem;
  std::string out = problem + "\nactual sequence:\n" + Describe(actual) + "expected:\n";
  for (const Expected& x : expected) {
    out += std::string((x.flags & kOptional) != 0 ? "  (optional) " : "  ") +
           DescribeOne(x.message, x.wParam, x.lParam, x.flags) + "\n";
  }
  return out;
}

int CountMessage(const std::vector<Entry>& actual, UINT message) {
  int n = 0;
  for (const Entry& r : actual) {
    if (r.message == message) ++n;
  }
  return n;
}

}  // namespace kit
