// BUTTON: push, default push, check boxes (two and three states, manual and automatic), radio buttons
// (manual and automatic, grouped), group boxes, owner-draw and push-like buttons.
//
// Behaviour (ButtonBehaviour) is a small state machine fed by mouse, keyboard and BM_* messages; it decides
// the check and pushed states and what to tell the parent. Drawing (ButtonPainter) only reads that state.
//
// Call flow of a click (mouse, Space or BM_CLICK):
//   press   -> capture, focus, pushed (owner draw: WM_DRAWITEM ODA_SELECT)
//   release -> not pushed; inside: auto check boxes advance, auto radios check themselves and clear the
//              other auto radios of their group (WM_GETDLGCODE says which siblings are radios), then
//              WM_COMMAND BN_CLICKED to the parent.
#pragma once

#include "platform/controls/winctrl.h"

namespace plat::controls {

struct ButtonState {
  UINT check = BST_UNCHECKED;
  bool pushed = false;
  bool focused = false;
  bool captured = false;   // mouse press in progress
  bool spaceDown = false;  // keyboard press in progress
  HFONT font = nullptr;
  HANDLE image = nullptr;
};

void RegisterButtonClass();

// The state the next click leaves an auto check box in, or the same state for other kinds.
UINT NextCheckState(DWORD style, UINT check);

}  // namespace plat::controls

// Dialog helpers on buttons.
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
