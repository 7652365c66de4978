// Window classes: registration, lookup by name or atom, and the system classes.
#include "window_classes.h"

#include <cstring>
#include <map>
#include <strings.h>

#include "window.h"
#include "window_registry.h"

namespace portable::user {

LRESULT CALLBACK MdiClientProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

// Class names compare without case, as on Windows.
struct CaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};

struct ClassTable {
  std::map<std::string, std::shared_ptr<WindowClass>, CaseLess> byName;
  std::map<std::string, ATOM, CaseLess>
      atoms;  // a name keeps its atom once given, like an atom table
  ATOM nextAtom = 0xC000;
  bool systemRegistered = false;
};

ClassTable& Table() {
  static ClassTable table;
  return table;
}

ATOM AtomFor(const std::string& name) {
  ClassTable& t = Table();
  auto it = t.atoms.find(name);
  if (it != t.atoms.end()) return it->second;
  ATOM atom = t.nextAtom++;
  t.atoms.emplace(name, atom);
  return atom;
}

void RegisterSystemClasses() {
  ClassTable& t = Table();
  if (t.systemRegistered) return;
  t.systemRegistered = true;
  auto mdi = std::make_shared<WindowClass>();
  mdi->name = "MDIClient";
  mdi->atom = AtomFor(mdi->name);
  mdi->proc = MdiClientProc;
  mdi->wndExtra = 0;
  mdi->background = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_APPWORKSPACE + 1));
  mdi->system = true;
  t.byName.emplace(mdi->name, mdi);
}

std::shared_ptr<WindowClass> FindByAtom(ATOM atom) {
  for (auto& [name, cls] : Table().byName) {
    if (cls->atom == atom) return cls;
  }
  return nullptr;
}

}  // namespace

std::shared_ptr<WindowClass> FindClass(LPCSTR nameOrAtom) {
  RegisterSystemClasses();
  if (nameOrAtom == nullptr) return nullptr;
  if (IS_INTRESOURCE(nameOrAtom))
    return FindByAtom(static_cast<ATOM>(reinterpret_cast<uintptr_t>(nameOrAtom)));
  auto& byName = Table().byName;
  auto it = byName.find(nameOrAtom);
  return it == byName.end() ? nullptr : it->second;
}

}  // namespace portable::user

using namespace portable::user;

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
  if (wc == nullptr || wc->cbSize != sizeof(WNDCLASSEXA) || wc->lpszClassName == nullptr ||
      IS_INTRESOURCE(wc->lpszClassName) || wc->lpszClassName[0] == '\0' ||
      wc->lpfnWndProc == nullptr || wc->cbClsExtra < 0 || wc->cbWndExtra < 0 ||
      wc->cbClsExtra > 0x10000 || wc->cbWndExtra > 0x10000) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (FindClass(wc->lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto cls = std::make_shared<WindowClass>();
  cls->name = wc->lpszClassName;
  cls->atom = AtomFor(cls->name);
  cls->style = wc->style;
  cls->proc = wc->lpfnWndProc;
  cls->wndExtra = wc->cbWndExtra;
  cls->classExtra.assign(static_cast<size_t>(wc->cbClsExtra), 0);
  cls->instance = wc->hInstance;
  cls->icon = wc->hIcon;
  cls->iconSmall = wc->hIconSm;
  cls->cursor = wc->hCursor;
  cls->background = wc->hbrBackground;
  Table().byName.emplace(cls->name, cls);
  return cls->atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
  std::shared_ptr<WindowClass> cls = FindClass(className);
  if (!cls || cls->system) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (cls->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  Table().byName.erase(cls->name);
  return TRUE;
}

WORD WINAPI GetClassWord(HWND hwnd, int index) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return 0;
  if (index == GCW_ATOM) return w->cls->atom;
  if (index >= 0 && static_cast<size_t>(index) + sizeof(WORD) <= w->cls->classExtra.size()) {
    WORD value;
    std::memcpy(&value, w->cls->classExtra.data() + index, sizeof(value));
    return value;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

int WINAPI GetClassNameA(HWND hwnd, LPSTR buffer, int bufferSize) {
  Window* w = LookUp(hwnd);
  if (w == nullptr || buffer == nullptr || bufferSize <= 0) return 0;
  size_t n = std::min(w->cls->name.size(), static_cast<size_t>(bufferSize - 1));
  std::memcpy(buffer, w->cls->name.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}
