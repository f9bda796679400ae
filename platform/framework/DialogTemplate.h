// Dialog templates as C++ data, registered in the resource table under RT_DIALOG.
//
//   static const DialogItemTemplate kItems[] = {
//     {"STATIC", "&Name:", IDC_STATIC, SS_LEFT, 0, 7, 9, 40, 8},
//     {"EDIT", "", IDC_NAME, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 50, 7, 100, 12},
//     {"BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 50, 30, 50, 14},
//   };
//   static const DialogTemplate kDialog{DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
//                                       0, 0, 200, 60, "Name", "MS Shell Dlg", 8, kItems};
//   RegisterDialogTemplate(module, IDD_NAME, kDialog);
//
// Coordinates are dialog units. Controls are created in template order, which is also the tab order and
// the order in which radio buttons are counted. A control's class is a registered class name, so a custom
// class (a grid window) is named like any standard one.
#pragma once

#include <span>

#include "platform/base/geometry.h"
#include "platform/framework/ControlCodes.h"

struct DialogItemTemplate {
  LPCSTR className;
  LPCSTR text;
  int id;
  DWORD style;  // WS_CHILD is implied; WS_VISIBLE is not (hidden placeholders are common)
  DWORD exStyle;
  short x, y, cx, cy;
};

struct DialogTemplate {
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;
  LPCSTR caption;
  LPCSTR fontFace;  // used with DS_SETFONT; the dialog font otherwise
  WORD pointSize;
  std::span<const DialogItemTemplate> items;
  LPCSTR className = nullptr;  // null: the dialog class
  DWORD signature = 0x444C4754;  // tells a framework template from foreign bytes under the same type
};

namespace plat {

constexpr DWORD kDialogSignature = 0x444C4754;

// Registers the template under (RT_DIALOG, id) for `module`. The template must outlive the registration.
void RegisterDialogTemplate(HINSTANCE module, UINT id, const DialogTemplate& dialog);
// The template under (RT_DIALOG, name) in the resource module, then the instance module; null when missing.
const DialogTemplate* FindDialogTemplate(LPCSTR name);

// Dialog base units of a template's font: fixed, not measured, so that every machine lays dialogs out alike.
// The 8-point dialog fonts give 6 x 13; other sizes scale from that.
SIZE DialogBaseUnits(WORD pointSize);
// Dialog units to pixels: x * baseX / 4, y * baseY / 8, rounded like MulDiv.
CRect DialogUnitsToPixels(const CRect& units, SIZE base);

}  // namespace plat
