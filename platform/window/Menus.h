// Menus: popup and bar menus as handle-table objects, built by calls or loaded from a MENU resource, and
// TrackPopupMenu.
//
// On a real display with no automation provider, TrackPopupMenu shows the menu (PopupMenuWindow).
// Headless, TrackPopupMenu asks the automation provider which command to choose (the request lists the
// items as "text" lines, with their ids as buttons "id:text"; grayed or disabled items are marked) and
// records it; an answer naming no enabled command of the menu chooses nothing. The owner first hears
// WM_INITMENUPOPUP; the choice is sent to it as WM_COMMAND before the call returns, or returned with
// TPM_RETURNCMD.
#pragma once

#include <string>
#include <vector>

#include "platform/window/windowapi.h"

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_BITMAP = 0x0004;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_MENUBARBREAK = 0x0020;
constexpr UINT MF_MENUBREAK = 0x0040;
constexpr UINT MF_END = 0x0080;
constexpr UINT MF_OWNERDRAW = 0x0100;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;

constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
// The previous MF_GRAYED/MF_DISABLED state, or -1 when the item does not exist.
int EnableMenuItem(HMENU menu, UINT idOrPosition, UINT flags);
// The previous MF_CHECKED state, or -1 when the item does not exist.
DWORD CheckMenuItem(HMENU menu, UINT idOrPosition, UINT flags);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
UINT GetMenuState(HMENU menu, UINT idOrPosition, UINT flags);
int GetMenuString(HMENU menu, UINT idOrPosition, LPSTR buffer, int size, UINT flags);
// From a classic MENU template (RT_MENU): a header of two WORDs, then items (WORD flags, WORD id unless
// MF_POPUP, NUL-terminated UTF-16LE text; MF_END closes a level). Texts become 8-bit (code page 1252).
HMENU LoadMenu(HINSTANCE instance, LPCSTR name);
HMENU LoadMenuIndirect(const void* menuTemplate, std::size_t size);
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);
// The window's copy of the system menu, made on first use from its style: "&Restore", "Mi&nimize" and
// "Ma&ximize" when it has a minimise or maximise box, then "&Close". The default window procedure enables the
// items for the window's state each time it opens the menu. revert destroys the copy and returns null.
HMENU GetSystemMenu(HWND hwnd, BOOL revert);
