// Menus as data: bars and popups with string items and submenus. Nothing draws them, and a
// window's menu bar takes no room from its client area.
#include "menus.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "window.h"
#include "window_registry.h"

namespace portable::user {

namespace {

struct MenuItem {
  UINT flags;
  UINT_PTR id;
  std::string text;
  HMENU submenu;
};

struct Menu {
  bool popup = false;
  std::vector<MenuItem> items;
};

struct MenuTable {
  std::unordered_map<HMENU, std::unique_ptr<Menu>> menus;
  uintptr_t next = 0x20040;
};

MenuTable& Menus() {
  static MenuTable table;
  return table;
}

Menu* Find(HMENU menu) {
  auto& m = Menus().menus;
  auto it = m.find(menu);
  if (it == m.end()) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return nullptr;
  }
  return it->second.get();
}

HMENU Make(bool popup) {
  MenuTable& t = Menus();
  HMENU handle = reinterpret_cast<HMENU>(t.next);
  t.next += 4;
  auto menu = std::make_unique<Menu>();
  menu->popup = popup;
  t.menus.emplace(handle, std::move(menu));
  return handle;
}

bool Contains(HMENU haystack, HMENU needle, int depth) {
  if (haystack == needle) return true;
  Menu* m = Find(haystack);
  if (m == nullptr || depth > 64) return false;
  for (const MenuItem& item : m->items) {
    if (item.submenu != nullptr && Contains(item.submenu, needle, depth + 1)) return true;
  }
  return false;
}

}  // namespace

bool MenuIsValid(HMENU menu) { return Menus().menus.count(menu) != 0; }

void DestroyMenuTree(HMENU menu) {
  auto& m = Menus().menus;
  auto it = m.find(menu);
  if (it == m.end()) return;
  std::unique_ptr<Menu> owned = std::move(it->second);
  m.erase(it);
  for (const MenuItem& item : owned->items) {
    if (item.submenu != nullptr) DestroyMenuTree(item.submenu);
  }
}

}  // namespace portable::user

using namespace portable::user;

HMENU WINAPI CreateMenu(void) { return Make(false); }

HMENU WINAPI CreatePopupMenu(void) { return Make(true); }

BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR newItem) {
  Menu* m = Find(menu);
  if (m == nullptr) return FALSE;
  MenuItem item{flags, idNewItem, {}, nullptr};
  if (flags & MF_POPUP) {
    HMENU sub = reinterpret_cast<HMENU>(idNewItem);
    // A menu cannot hold itself or one of its ancestors: the tree would never end.
    if (!MenuIsValid(sub) || Contains(sub, menu, 0)) {
      SetLastError(ERROR_INVALID_MENU_HANDLE);
      return FALSE;
    }
    item.submenu = sub;
  }
  if (!(flags & MF_SEPARATOR) && newItem != nullptr) item.text = newItem;
  m->items.push_back(std::move(item));
  return TRUE;
}

int WINAPI GetMenuItemCount(HMENU menu) {
  Menu* m = Find(menu);
  return m == nullptr ? -1 : static_cast<int>(m->items.size());
}

BOOL WINAPI SetMenu(HWND hwnd, HMENU menu) {
  Window* w = LookUp(hwnd);
  if (w == nullptr) return FALSE;
  if (w->style & WS_CHILD) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (menu != nullptr && !MenuIsValid(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  w->menu = menu;
  return TRUE;
}

HMENU WINAPI GetMenu(HWND hwnd) {
  Window* w = LookUp(hwnd);
  if (w == nullptr || (w->style & WS_CHILD)) return nullptr;
  return w->menu;
}

BOOL WINAPI DestroyMenu(HMENU menu) {
  if (Find(menu) == nullptr) return FALSE;
  DestroyMenuTree(menu);
  // A window whose menu went away no longer has one.
  for (auto& [handle, w] : State().windows) {
    if (w->menu == menu) w->menu = nullptr;
  }
  return TRUE;
}
