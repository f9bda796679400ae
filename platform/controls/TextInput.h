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
// For the messages both controls answer alike (TextMessage) it also answers:
//   const std::string& Text(); HFONT Font(); bool Multiline(); int LineCount(), LineFromChar(pos);
//   bool Selecting(); void DragTo(lParam) (a drag selection follows the mouse);
//   void StopSelecting() (the drag over, the capture not touched);
//   void SetFocused(bool); int CaretHeight(); void PlaceCaret(); bool SelectionAlwaysShown();
//   bool CanUndo(); void EmptyUndo(); bool Modified(); void SetModified(bool); UINT Limit();
//   void Paint(HDC).
//
// TextState holds the adapter members that only touch the state fields both controls name alike; each
// control's adapter derives from it and is made as `Adapter{{hwnd, state}}`.
//
// Call flow: a control's Dispatch asks TextMessage first; it answers the shared messages through the
// adapter (the keys through TextKeyDown and TextChar, the mouse through TextButtonDown and TextDoubleClick,
// focus through TextFocus) and leaves every other message to the control's own switch.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/winctrl.h"

namespace plat::controls {

template <class State>
struct TextState {
  HWND hwnd;
  State& s;
  HFONT Font() const { return s.font; }
  bool ReadOnly() const { return (StyleOf(hwnd) & ES_READONLY) != 0; }
  void ForgetColumn() { s.desiredX = -1; }
  bool Selecting() const { return s.selecting; }
  void StartDragSelecting() {
    s.selecting = true;
    SetCapture(hwnd);
  }
  void SetFocused(bool on) { s.focused = on; }
  bool Modified() const { return s.modify; }
  void SetModified(bool on) { s.modify = on; }
  UINT Limit() const { return s.limit; }
};

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

// WM_SETFOCUS and WM_KILLFOCUS: the caret comes and goes with the focus, a drag selection ends with it, a
// selection that hides without the focus is repainted and the parent hears EN_SETFOCUS or EN_KILLFOCUS.
template <class Text>
void TextFocus(Text& t, HWND hwnd, bool gained) {
  t.SetFocused(gained);
  if (gained) {
    CreateCaret(hwnd, nullptr, 1, t.CaretHeight());
    t.PlaceCaret();
    ShowCaret(hwnd);
  } else {
    if (t.Selecting() && GetCapture() == hwnd) ReleaseCapture();
    t.StopSelecting();
    DestroyCaret();
  }
  if (t.HasSelection() && !t.SelectionAlwaysShown()) InvalidateRect(hwnd, nullptr, TRUE);
  NotifyParent(hwnd, gained ? EN_SETFOCUS : EN_KILLFOCUS);
}

// The messages the edit and the rich edit control answer alike; nothing for the ones the control answers
// itself. A multi-line control gives the dialog's keys (Tab, Esc, Enter) to its dialog before the key rules.
template <class Text>
std::optional<LRESULT> TextMessage(Text& t, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto painted = PaintMessage(hwnd, t, msg, wParam, [](HWND, HDC dc, Text& text) { text.Paint(dc); }))
    return painted;
  switch (msg) {
    case WM_GETFONT: return reinterpret_cast<LRESULT>(t.Font());
    case WM_GETTEXT: {
      if (!lParam || wParam == 0) return 0;
      const std::string& text = t.Text();
      const size_t n = std::min<size_t>(text.size(), wParam - 1);
      std::memcpy(reinterpret_cast<char*>(lParam), text.data(), n);
      reinterpret_cast<char*>(lParam)[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return t.Length();
    case WM_GETDLGCODE:
      return t.Multiline() ? (DLGC_WANTALLKEYS | DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS)
                           : (DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: TextFocus(t, hwnd, msg == WM_SETFOCUS); return 0;
    case WM_KEYDOWN: {
      const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
      if (t.Multiline() && MultilineDialogKeyDown(hwnd, wParam, shift, ctrl)) return 0;
      TextKeyDown(t, wParam, shift, ctrl);
      return 0;
    }
    case WM_CHAR: {
      const auto c = static_cast<unsigned char>(wParam);
      if (t.Multiline() && IsMultilineDialogChar(hwnd, c)) return 0;
      TextChar(t, c);
      return 0;
    }
    case WM_LBUTTONDOWN: TextButtonDown(t, hwnd, lParam); return 0;
    case WM_LBUTTONDBLCLK: TextDoubleClick(t, lParam); return 0;
    case WM_MOUSEMOVE:
      if (t.Selecting()) t.DragTo(lParam);
      return 0;
    case WM_LBUTTONUP:
      if (!t.Selecting()) return 0;
      t.StopSelecting();
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd) t.StopSelecting();
      return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_CUT: t.Cut(); return 0;
    case WM_COPY: t.Copy(); return 0;
    case WM_PASTE: t.Paste(); return 0;
    case WM_CLEAR: t.Clear(); return 0;
    case WM_UNDO:
    case EM_UNDO: {
      const bool could = t.CanUndo();
      t.Undo();
      return could;
    }
    case EM_CANUNDO: return t.CanUndo();
    case EM_EMPTYUNDOBUFFER: t.EmptyUndo(); return 0;
    case EM_GETSEL: {
      const int a = t.SelStart(), b = t.SelEnd();
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(a);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(b);
      return static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(std::min(a, 0xFFFF), std::min(b, 0xFFFF))));
    }
    case EM_GETMODIFY: return t.Modified();
    case EM_SETMODIFY: t.SetModified(wParam != 0); return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(t.Limit());
    case EM_GETLINECOUNT: return t.LineCount();
    case EM_LINEFROMCHAR: return t.LineFromChar(static_cast<int>(wParam) < 0 ? t.SelStart() : static_cast<int>(wParam));
    default: return std::nullopt;
  }
}

}  // namespace plat::controls
