#include "platform/window/Menus.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/base/ResourceTable.h"
#include "platform/base/SystemError.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/HandleTable.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/ModalLoop.h"
#include "platform/window/PopupMenuWindow.h"
#include "platform/window/WindowManager.h"

namespace plat {
namespace {

struct MenuItem {
  UINT flags = 0;
  UINT_PTR id = 0;
  std::string text;
  HMENU popup = nullptr;
};

struct Menu {
  bool popup = false;
  std::vector<MenuItem> items;
};

// Menu handles live in their own table; a tag in the top bits keeps them apart from window handles.
constexpr std::uintptr_t kMenuTag = std::uintptr_t{1} << 56;

HandleTable<Menu>& Table() {
  static HandleTable<Menu> table;
  return table;
}

Menu* Get(HMENU h) {
  auto v = reinterpret_cast<std::uintptr_t>(h);
  Menu* m = (v & kMenuTag) ? Table().Get(v & ~kMenuTag) : nullptr;
  if (!m) SetLastError(ERROR_INVALID_MENU_HANDLE);
  return m;
}

HMENU Make(bool popup) {
  auto m = std::make_shared<Menu>();
  m->popup = popup;
  return reinterpret_cast<HMENU>(Table().Insert(m) | kMenuTag);
}

// Finds an item by command (searching submenus) or by position.
MenuItem* FindItem(HMENU menu, UINT idOrPos, UINT flags, HMENU* owner = nullptr, std::size_t* index = nullptr) {
  Menu* m = Get(menu);
  if (!m) return nullptr;
  if (flags & MF_BYPOSITION) {
    if (idOrPos >= m->items.size()) return nullptr;
    if (owner) *owner = menu;
    if (index) *index = idOrPos;
    return &m->items[idOrPos];
  }
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    MenuItem& it = m->items[i];
    if (!(it.flags & MF_POPUP) && !(it.flags & MF_SEPARATOR) && it.id == idOrPos) {
      if (owner) *owner = menu;
      if (index) *index = i;
      return &it;
    }
    if (it.flags & MF_POPUP)
      if (MenuItem* inner = FindItem(it.popup, idOrPos, flags, owner, index)) return inner;
  }
  return nullptr;
}

MenuItem MakeItem(UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  MenuItem it;
  it.flags = flags & ~(MF_BYPOSITION | MF_END);
  if (flags & MF_POPUP)
    it.popup = reinterpret_cast<HMENU>(idOrPopup);
  else
    it.id = idOrPopup;
  if (text && !(flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW))) it.text = text;
  return it;
}

void Destroy(HMENU h) {
  Menu* m = Get(h);
  if (!m) return;
  std::vector<MenuItem> items = m->items;
  Table().Remove(reinterpret_cast<std::uintptr_t>(h) & ~kMenuTag);
  for (const MenuItem& it : items)
    if (it.flags & MF_POPUP) Destroy(it.popup);
}

// Reads one level of a MENU template; returns false on a malformed or truncated template.
bool ReadLevel(const BYTE*& p, const BYTE* end, HMENU into, int depth) {
  if (depth > 16) return false;
  for (;;) {
    if (end - p < 2) return false;
    WORD flags = static_cast<WORD>(p[0] | (p[1] << 8));
    p += 2;
    WORD id = 0;
    if (!(flags & MF_POPUP)) {
      if (end - p < 2) return false;
      id = static_cast<WORD>(p[0] | (p[1] << 8));
      p += 2;
    }
    std::string text;
    for (;;) {
      if (end - p < 2) return false;
      WORD ch = static_cast<WORD>(p[0] | (p[1] << 8));
      p += 2;
      if (!ch) break;
      text += ch < 0x100 ? static_cast<char>(ch) : '?';
    }
    if (flags & MF_POPUP) {
      HMENU sub = Make(true);
      if (!ReadLevel(p, end, sub, depth + 1)) {
        Destroy(sub);
        return false;
      }
      AppendMenu(into, (flags & ~MF_END) | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
    } else {
      // An empty text with no flags is the template's separator.
      UINT f = (flags & ~MF_END);
      if (text.empty() && id == 0 && !(f & ~MF_END)) f |= MF_SEPARATOR;
      AppendMenu(into, f, id, text.c_str());
    }
    if (flags & MF_END) return true;
  }
}

}  // namespace

// The items of a menu and its submenus, for the on-screen menu window.
std::vector<PopupItem> PopupItemsOf(HMENU menu, int depth = 0) {
  std::vector<PopupItem> out;
  Menu* m = Get(menu);
  if (!m || depth > 8) return out;
  for (const MenuItem& it : m->items) {
    PopupItem p{static_cast<UINT>(it.id), it.text, it.flags, {}};
    if (it.flags & MF_POPUP) p.submenu = PopupItemsOf(it.popup, depth + 1);
    out.push_back(std::move(p));
  }
  return out;
}

}  // namespace plat

using plat::MenuItem;

HMENU CreateMenu() { return plat::Make(false); }
HMENU CreatePopupMenu() { return plat::Make(true); }

BOOL DestroyMenu(HMENU menu) {
  if (!plat::Get(menu)) return FALSE;
  plat::Destroy(menu);
  return TRUE;
}

BOOL IsMenu(HMENU menu) { return plat::Get(menu) != nullptr; }

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  plat::Menu* m = plat::Get(menu);
  if (!m || ((flags & MF_POPUP) && !plat::Get(reinterpret_cast<HMENU>(idOrPopup)))) return FALSE;
  m->items.push_back(plat::MakeItem(flags, idOrPopup, text));
  return TRUE;
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  plat::Menu* m = plat::Get(menu);
  if (!m || ((flags & MF_POPUP) && !plat::Get(reinterpret_cast<HMENU>(idOrPopup)))) return FALSE;
  HMENU owner = menu;
  std::size_t index = m->items.size();
  if (!plat::FindItem(menu, position, flags & MF_BYPOSITION, &owner, &index)) {
    // A position past the end appends; an unknown command fails.
    if (!(flags & MF_BYPOSITION)) return FALSE;
    index = m->items.size();
  }
  plat::Menu* target = plat::Get(owner);
  target->items.insert(target->items.begin() + static_cast<long>(index), plat::MakeItem(flags, idOrPopup, text));
  return TRUE;
}

BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  MenuItem* it = plat::FindItem(menu, position, flags & MF_BYPOSITION);
  if (!it) return FALSE;
  *it = plat::MakeItem(flags, idOrPopup, text);
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  HMENU owner = nullptr;
  std::size_t index = 0;
  if (!plat::FindItem(menu, position, flags & MF_BYPOSITION, &owner, &index)) return FALSE;
  plat::Menu* m = plat::Get(owner);
  m->items.erase(m->items.begin() + static_cast<long>(index));
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  MenuItem* it = plat::FindItem(menu, position, flags & MF_BYPOSITION);
  if (!it) return FALSE;
  HMENU popup = (it->flags & MF_POPUP) ? it->popup : nullptr;
  if (!RemoveMenu(menu, position, flags)) return FALSE;
  if (popup) plat::Destroy(popup);  // unlike RemoveMenu, the submenu goes too
  return TRUE;
}

int EnableMenuItem(HMENU menu, UINT idOrPos, UINT flags) {
  MenuItem* it = plat::FindItem(menu, idOrPos, flags & MF_BYPOSITION);
  if (!it) return -1;
  int old = static_cast<int>(it->flags & (MF_GRAYED | MF_DISABLED));
  it->flags = (it->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  return old;
}

DWORD CheckMenuItem(HMENU menu, UINT idOrPos, UINT flags) {
  MenuItem* it = plat::FindItem(menu, idOrPos, flags & MF_BYPOSITION);
  if (!it) return static_cast<DWORD>(-1);
  DWORD old = it->flags & MF_CHECKED;
  it->flags = (it->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  return old;
}

int GetMenuItemCount(HMENU menu) {
  plat::Menu* m = plat::Get(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  plat::Menu* m = plat::Get(menu);
  if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) return static_cast<UINT>(-1);
  const MenuItem& it = m->items[static_cast<std::size_t>(position)];
  return (it.flags & MF_POPUP) ? static_cast<UINT>(-1) : static_cast<UINT>(it.id);
}

HMENU GetSubMenu(HMENU menu, int position) {
  plat::Menu* m = plat::Get(menu);
  if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) return nullptr;
  const MenuItem& it = m->items[static_cast<std::size_t>(position)];
  return (it.flags & MF_POPUP) ? it.popup : nullptr;
}

UINT GetMenuState(HMENU menu, UINT idOrPos, UINT flags) {
  MenuItem* it = plat::FindItem(menu, idOrPos, flags & MF_BYPOSITION);
  if (!it) return static_cast<UINT>(-1);
  if (it->flags & MF_POPUP) {
    // Popups answer their item count in the high byte, as the classic call does.
    return (static_cast<UINT>(GetMenuItemCount(it->popup)) << 8) | (it->flags & 0xFF);
  }
  return it->flags;
}

int GetMenuString(HMENU menu, UINT idOrPos, LPSTR buffer, int size, UINT flags) {
  MenuItem* it = plat::FindItem(menu, idOrPos, flags & MF_BYPOSITION);
  if (!it) return 0;
  if (!buffer || size <= 0) return static_cast<int>(it->text.size());
  int n = std::min(static_cast<int>(it->text.size()), size - 1);
  std::memcpy(buffer, it->text.data(), static_cast<std::size_t>(n));
  buffer[n] = '\0';
  return n;
}

HMENU LoadMenuIndirect(const void* menuTemplate, std::size_t size) {
  const BYTE* p = static_cast<const BYTE*>(menuTemplate);
  if (!p || size < 4) return nullptr;
  WORD headerSize = static_cast<WORD>(p[2] | (p[3] << 8));
  if (4u + headerSize > size) return nullptr;
  const BYTE* cur = p + 4 + headerSize;
  HMENU menu = plat::Make(false);
  if (!plat::ReadLevel(cur, p + size, menu, 0)) {
    plat::Destroy(menu);
    return nullptr;
  }
  return menu;
}

HMENU LoadMenu(HINSTANCE instance, LPCSTR name) {
  HRSRC res = FindResource(instance, name, RT_MENU);
  if (!res) return nullptr;
  HGLOBAL loaded = LoadResource(instance, res);
  const void* bytes = LockResource(loaded);
  return LoadMenuIndirect(bytes, SizeofResource(instance, res));
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  using plat::ModalLoop;
  plat::Menu* m = plat::Get(menu);
  plat::WindowManager& wm = plat::WindowManager::Instance();
  if (!m || !wm.Get(owner)) return FALSE;
  ModalLoop::SendCancelMode();
  if (!wm.Get(owner) || !plat::Get(menu)) return FALSE;
  if (!(flags & TPM_NONOTIFY)) wm.Send(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  m = plat::Get(menu);
  if (!m) return FALSE;
  plat::SystemRequest request;
  request.kind = plat::SystemUiKind::PopupMenu;
  request.owner = owner;
  request.flags = flags;
  request.caption = "popup menu at " + std::to_string(x) + "," + std::to_string(y);
  for (const MenuItem& it : m->items) {
    if (it.flags & MF_SEPARATOR) continue;
    std::string line = it.text;
    if (it.flags & (MF_GRAYED | MF_DISABLED)) line += " (disabled)";
    if (it.flags & MF_CHECKED) line += " (checked)";
    request.text += line + "\n";
    request.buttons.push_back(std::to_string(it.id) + ":" + it.text);
  }
  int code = 0;
  if (plat::ShowsSystemUiOnScreen()) {
    // A real display and nobody scripting: show the menu and let the user choose.
    code = static_cast<int>(plat::PopupMenuWindow::Run(owner, plat::PopupItemsOf(menu), POINT{x, y}));
  } else {
    code = plat::RequestSystemAnswer(request).code;
  }
  // Only an enabled command of this menu (or its submenus) can be chosen.
  UINT chosen = 0;
  if (MenuItem* it = plat::FindItem(menu, static_cast<UINT>(code), MF_BYCOMMAND))
    if (code > 0 && !(it->flags & (MF_GRAYED | MF_DISABLED))) chosen = static_cast<UINT>(code);
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  if (chosen && wm.Get(owner)) wm.Send(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
  return chosen ? TRUE : FALSE;
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
  plat::Window* w = plat::WindowManager::Instance().Get(hwnd);
  if (!w) return nullptr;
  if (revert) {
    if (w->sysMenu) DestroyMenu(w->sysMenu);
    w->sysMenu = nullptr;
    return nullptr;
  }
  if (w->sysMenu && IsMenu(w->sysMenu)) return w->sysMenu;
  HMENU menu = CreatePopupMenu();
  if (w->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) {
    AppendMenu(menu, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenu(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenu(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
  }
  AppendMenu(menu, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
  w->sysMenu = menu;
  return menu;
}
