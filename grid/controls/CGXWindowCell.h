// The cells that are also the window they edit in: the window class and the cell class are both bases and the
// object is its own window part.
//
//   CGXWindowCellBase  the editing flag, the grid's key processing for the window's key messages, the text a
//                      replace-all leaves in the cell
//   CGXWindowCell      keeps its modified flag itself (the combo-box and list-box cells, the currency and
//                      date-time cells)
//   CGXTextWindowCell  its modified flag is the text window's own (the edit and rich edit cells), and key-downs
//                      in the window are routed between the window and the grid
//
// Entering editing (CGXControl::StartEditing) reads the bound cell's style afresh by default; a control
// without its window never edits.
//
// `Window` is a window class (CWnd or derived); `Cell` is CGXControl or a cell class derived from it whose
// constructor takes the grid.
#pragma once

#include <algorithm>

#include "grid/controls/CGXControl.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/gxkeys.h"
#include "grid/core/gxstrings.h"
#include "grid/core/gxtypes.h"
#include "platform/framework/CWnd.h"

// The messages of a spin cell's typed value outside its bounds: both, a minimum only, a maximum only.
constexpr UINT GX_IDS_SPIN_BETWEEN = 51060, GX_IDS_SPIN_AT_LEAST = 51061, GX_IDS_SPIN_AT_MOST = 51062;
// The message of a spin arrow on a number it cannot step by exactly one.
constexpr UINT GX_IDS_SPIN_PAST_STEP = 51069;
// The message of a spin arrow whose step the cell's number format would show as another number.
constexpr UINT GX_IDS_SPIN_NOT_SHOWN = 51070;

template <class Window, class Cell>
class CGXWindowCellBase : public Window, public Cell {
 public:
  explicit CGXWindowCellBase(CGXGridCore* grid) : Cell(grid) {}

  CWnd* GetWindowPart() override { return this; }
  void SetEditingState(BOOL on) override { this->SetWindowEditingState(m_bEditing, on, this->m_hWnd != nullptr); }
  BOOL GetEditingState() const override { return m_bEditing; }

 protected:
  BOOL IsEditedCell(ROWCOL row, ROWCOL col) const { return m_bEditing && this->IsBoundToCell(row, col); }

  // The grid's key processing for a key message of the window; TRUE when the grid took it.
  BOOL ToGrid(UINT message, UINT ch, UINT repeat, UINT flags) {
    return this->m_pGrid->ProcessKeyMessage(this, message, ch, repeat, flags);
  }

  // The text a replace-all request (a CGXFindReplaceState*) leaves in (row, col), in `text`; FALSE for an empty
  // request or when nothing matches. In the cell being edited (`edited`), `windowText(text, selectionStart)`
  // reads the window: the matches from the selection's start on are replaced and what lies before it is kept.
  // Any other cell's searched text (CGXControl::SearchedCellText: a formula cell's formula) is replaced whole.
  template <class WindowText>
  BOOL ReplacedCellText(DWORD_PTR requestArg, ROWCOL row, ROWCOL col, BOOL edited, WindowText windowText,
                        CString& text) const {
    const auto* request = reinterpret_cast<const CGXFindReplaceState*>(requestArg);
    if (!request || request->m_strFind.IsEmpty()) return FALSE;
    int start = 0;
    if (edited) {
      windowText(text, start);
      start = std::clamp(start, 0, text.GetLength());
    } else {
      text = this->SearchedCellText(row, col, nullptr);
    }
    return gx::ReplaceAllFrom(text, start, request->m_strFind, request->m_strReplace, request->m_bCase) > 0;
  }

  // Replace All in (row, col): the text ReplacedCellText leaves goes in as a replacement does
  // (CGXControl::StoreReplacedText), under the bound cell's style in the cell being edited.
  template <class WindowText>
  BOOL StoreReplacedCellText(DWORD_PTR request, ROWCOL row, ROWCOL col, WindowText windowText) {
    const BOOL edited = IsEditedCell(row, col) && this->m_hWnd;
    CString text;
    if (!ReplacedCellText(request, row, col, edited, windowText, text)) return FALSE;
    CGXStyle composed;
    const CGXStyle& style = edited ? this->GetCachedStyle() : this->StyleForStore(row, col, nullptr, composed);
    return this->StoreReplacedText(text, row, col, style, edited);
  }

  // Decision: a paste longer than the cell takes (its maximum length) is refused whole with a message rather
  // than cut to fit: the cell keeps its text and nothing is lost without a word. TRUE when the cell's text
  // with the paste in it (`length` characters) is longer than `limit` (0: no limit); the message is then the
  // grid's warning, shown by PasteShowingRefusal once the clipboard is closed.
  BOOL PasteTooLong(int length, UINT limit) {
    if (!CGXControl::WarnIfTooLong(this->m_pGrid, length, limit)) return FALSE;
    m_bPasteRefused = TRUE;
    return TRUE;
  }
  // Refuses a paste whose text is no value the cell takes, with `message` as the grid's warning, shown by
  // PasteShowingRefusal once the clipboard is closed. Answers FALSE, for CanPasteText.
  BOOL RefusePaste(const CString& message) {
    this->m_pGrid->SetWarningText(message);
    m_bPasteRefused = TRUE;
    return FALSE;
  }
  // Runs `paste()`; only its own refusal is shown (a warning the grid holds for later stays).
  template <class Paste>
  BOOL PasteShowingRefusal(Paste paste) {
    m_bPasteRefused = FALSE;
    const BOOL pasted = paste();
    if (m_bPasteRefused) {
      m_bPasteRefused = FALSE;
      this->m_pGrid->ShowWarningText();
    }
    return pasted;
  }

  BOOL m_bEditing = FALSE;

 private:
  BOOL m_bPasteRefused = FALSE;  // set by PasteTooLong or RefusePaste when it refused a paste
};

template <class Window, class Cell>
class CGXWindowCell : public CGXWindowCellBase<Window, Cell> {
 public:
  explicit CGXWindowCell(CGXGridCore* grid) : CGXWindowCellBase<Window, Cell>(grid) {}

  void SetModifiedState(BOOL modified) override { m_bModified = modified; }
  BOOL GetModifiedState() const override { return m_bModified; }

 protected:
  BOOL m_bModified = FALSE;
};

// `Window` is a text window class with a modify flag (SetModify, GetModify).
template <class Window, class Cell>
class CGXTextWindowCell : public CGXWindowCellBase<Window, Cell> {
 public:
  explicit CGXTextWindowCell(CGXGridCore* grid) : CGXWindowCellBase<Window, Cell>(grid) {}

  void SetModifiedState(BOOL modified) override {
    if (this->m_hWnd) this->SetModify(modified);
  }
  BOOL GetModifiedState() const override { return this->m_hWnd ? this->GetModify() : FALSE; }

  // A key-down on the cell while its window is not editing: with Ctrl not held, End, Home and Delete may start
  // editing (CGXControl::StartEditingFromKey), and the cell is then shown; other keys are `Cell`'s.
  BOOL OnKeyDownInCell(UINT ch, UINT repeat, UINT flags) override {
    if (!this->m_hWnd || gx::KeyHeld(VK_CONTROL)) return Cell::OnKeyDownInCell(ch, repeat, flags);
    switch (this->StartEditingFromKey(ch)) {
      case CGXControl::KeyStart::Other: return Cell::OnKeyDownInCell(ch, repeat, flags);
      case CGXControl::KeyStart::Refused: return TRUE;
      case CGXControl::KeyStart::Started: break;
    }
    ShowCellAfterKey();
    return TRUE;
  }

 protected:
  // After a key started editing: the cell in view, repainted when nothing scrolled.
  virtual void ShowCellAfterKey() {
    if (!this->m_pGrid->BringCellIntoView(this->m_nRow, this->m_nCol, GX_UPDATENOW)) this->HideAndInvalidate();
  }

  enum class KeyRoute { window, grid, done };

  // A key-down in the window: a cell not being edited hands it to the grid; Shift and Ctrl alone go to the
  // window; any other key brings the cell into view, then `route()` decides: the window's own processing, the
  // grid's, or neither (the cell handled the key itself).
  template <class Route>
  void RouteKeyDown(UINT ch, UINT repeat, UINT flags, Route route) {
    if (!this->m_bEditing) {
      this->ToGrid(WM_KEYDOWN, ch, repeat, flags);
      return;
    }
    KeyRoute to = KeyRoute::window;
    if (ch != VK_SHIFT && ch != VK_CONTROL) {
      this->m_pGrid->BringCellIntoView(this->m_nRow, this->m_nCol, GX_UPDATENOW);
      to = route();
    }
    if (to == KeyRoute::grid)
      this->ToGrid(WM_KEYDOWN, ch, repeat, flags);
    else if (to == KeyRoute::window)
      this->DefWindowProc(WM_KEYDOWN, ch, MAKELPARAM(repeat, flags));
  }
};
