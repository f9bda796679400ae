// Hands the owner-draw messages a parent reflects to a list or combo object to its typed overrides.
#pragma once

#include "platform/controls/winctrl.h"
#include "platform/window/windowapi.h"

namespace plat {

// Calls DrawItem, MeasureItem, CompareItem or DeleteItem on `control` for the matching message; FALSE for any
// other message. WM_COMPAREITEM answers the comparison, the others TRUE.
template <class Control>
BOOL RouteOwnerDraw(Control& control, UINT message, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_DRAWITEM:
      control.DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      break;
    case WM_MEASUREITEM:
      control.MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      break;
    case WM_COMPAREITEM:
      *pResult = control.CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
      return TRUE;
    case WM_DELETEITEM:
      control.DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
      break;
    default:
      return FALSE;
  }
  *pResult = TRUE;
  return TRUE;
}

}  // namespace plat
