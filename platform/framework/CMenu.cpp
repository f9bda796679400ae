#include "platform/framework/CMenu.h"

#include <memory>
#include <string>
#include <unordered_map>

#include "platform/base/ResourceTable.h"
#include "platform/framework/CWnd.h"

namespace {
std::unordered_map<HMENU, std::unique_ptr<CMenu>>& Temporaries() {
  static std::unordered_map<HMENU, std::unique_ptr<CMenu>> map;
  return map;
}
}  // namespace

CMenu::~CMenu() {
  if (!m_temporary) DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
  if (!hMenu || !::IsMenu(hMenu)) return nullptr;
  auto& slot = Temporaries()[hMenu];
  if (!slot) {
    slot = std::make_unique<CMenu>();
    slot->m_hMenu = hMenu;
    slot->m_temporary = true;
  }
  return slot.get();
}

void CMenu::DeleteTempMap() { Temporaries().clear(); }

BOOL CMenu::Attach(HMENU hMenu) {
  if (m_hMenu || !hMenu) return FALSE;
  m_hMenu = hMenu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU menu = m_hMenu;
  m_hMenu = nullptr;
  return menu;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
BOOL CMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCE(nIDResource)); }
BOOL CMenu::LoadMenu(LPCSTR lpszResourceName) {
  return Attach(::LoadMenu(AfxFindResourceHandle(lpszResourceName, RT_MENU), lpszResourceName));
}

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  HMENU menu = Detach();
  Temporaries().erase(menu);
  return ::DestroyMenu(menu);
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
  return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
  return ::InsertMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
  return ::ModifyMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
  return static_cast<UINT>(::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable));
}
UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) { return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck); }
int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  int length = ::GetMenuString(m_hMenu, nIDItem, nullptr, 0, nFlags);
  std::string buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  int got = ::GetMenuString(m_hMenu, nIDItem, buffer.data(), static_cast<int>(buffer.size()), nFlags);
  rString = CString(buffer.data(), got > 0 ? got : 0);
  return got;
}

CMenu* CMenu::GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, HwndOf(pWnd), lpRect);
}
