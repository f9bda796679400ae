// The keyboard and mouse rules of the text controls (EDIT and "RichEdit20A"), written once over any text
// model.
//
// `Text` is a small adapter a control makes around its window and state for one message. It answers:
//   int Caret(), Anchor(), SelStart(), SelEnd(), Length(); bool HasSelection(), ReadOnly();
//   int WordLeft(pos), WordRight(pos), StepLeft(pos), StepRight(pos)  (a step passes a line break whole);
//   int LineStartOf(pos), LineEndOf(pos);
//   int LineMove(lines), PageMove(direction)  (-1 when the control does not move; both keep the column
//     the caret aims for, which ForgetColumn drops);
//   void Select(anchor, caret)        (shown: repaints the selection);
//   void SelectQuietly(anchor, caret) (for a change that follows at once and repaints anyway);
//   void MoveCaretTo(anchor, caret)   (after a caret key or click: selection, caret into view, notifications);
//   void Copy(), Cut(), Paste(), Clear(), Undo(), DeleteSelection(), Enter(), Tab(), Type(char);
//   int PosAt(lParam) (the character under a client point); void WordAt(pos, &from, &to);
//   void StartDragSelecting() (the mouse captured until the button goes up).
#pragma once

#include <cstdlib>

#include "platform/controls/winctrl.h"

namespace plat::controls {

// WM_KEYDOWN: the caret moves (Shift extends the selection, Ctrl moves by words and to the ends), Delete
// (Shift: cut), Shift+Insert (paste) and Ctrl+Insert (copy). Other keys do nothing.
template <class Text>
void TextKeyDown(Text& t, WPARAM vk, bool shift, bool ctrl) {
  const int caret = t.Caret();
  int target = -1;
  bool keepColumn = false;
  switch (vk) {
    case VK_LEFT:
      target = ctrl ? t.WordLeft(caret) : (t.HasSelection() && !shift) ? t.SelStart() : t.StepLeft(caret);
      break;
    case VK_RIGHT:
      target = ctrl ? t.WordRight(caret) : (t.HasSelection() && !shift) ? t.SelEnd() : t.StepRight(caret);
      break;
    case VK_UP:
    case VK_DOWN:
      target = t.LineMove(vk == VK_UP ? -1 : 1);
      keepColumn = true;
      break;
    case VK_PRIOR:
    case VK_NEXT:
      target = t.PageMove(vk == VK_PRIOR ? -1 : 1);
      keepColumn = true;
      break;
    case VK_HOME: target = ctrl ? 0 : t.LineStartOf(caret); break;
    case VK_END: target = ctrl ? t.Length() : t.LineEndOf(caret); break;
    case VK_DELETE:
      if (shift) {
        t.Cut();
      } else if (t.HasSelection()) {
        t.Clear();
      } else if (caret < t.Length()) {
        t.Select(caret, t.StepRight(caret));
        t.Clear();
      }
      return;
    case VK_INSERT:
      if (shift)
        t.Paste();
      else if (ctrl)
        t.Copy();
      return;
    default: return;
  }
  if (target < 0) return;
  if (!keepColumn) t.ForgetColumn();
  t.MoveCaretTo(shift ? t.Anchor() : target, target);
}

// WM_CHAR: Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Z, Backspace, Enter, Tab and printable characters; Esc and the
// other control characters never edit.
template <class Text>
void TextChar(Text& t, unsigned char c) {
  switch (c) {
    case 0x03: t.Copy(); return;
    case 0x16: t.Paste(); return;
    case 0x18: t.Cut(); return;
    case 0x1A: t.Undo(); return;
    case 0x1B: return;
    case 0x08:
      if (!t.HasSelection()) {
        const int caret = t.Caret();
        if (caret == 0) return;
        if (t.ReadOnly()) {
          MessageBeep(MB_OK);
          return;
        }
        t.SelectQuietly(caret, t.StepLeft(caret));
      }
      t.DeleteSelection();
      return;
    case 0x0D:
    case 0x0A: t.Enter(); return;
    case 0x09: t.Tab(); return;
    default: break;
  }
  if (c < 0x20 || c == 0x7F) return;
  t.Type(static_cast<char>(c));
}

// WM_LBUTTONDOWN: the focus comes here first; the caret goes to the character under the mouse (Shift
// extends the selection) and a drag selection starts.
template <class Text>
void TextButtonDown(Text& t, HWND hwnd, LPARAM lParam) {
  if (GetFocus() != hwnd) SetFocus(hwnd);
  if (!IsWindow(hwnd)) return;
  const int pos = t.PosAt(lParam);
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  t.ForgetColumn();
  t.StartDragSelecting();
  t.MoveCaretTo(shift ? t.Anchor() : pos, pos);
}

// WM_LBUTTONDBLCLK: the word under the mouse is selected.
template <class Text>
void TextDoubleClick(Text& t, LPARAM lParam) {
  int from = 0, to = 0;
  t.WordAt(t.PosAt(lParam), &from, &to);
  t.MoveCaretTo(from, to);
}

}  // namespace plat::controls
