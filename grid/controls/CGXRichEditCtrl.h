// The grid's rich-text cell: the value is an RTF document, edited in place in a rich edit window over the
// current cell and rendered into the grid's DC for every other cell. It shares the edit cell's activation,
// key routing and grid notifications, maps the cell style's font, colour and alignment to character and
// paragraph formats, grows its row as the text grows and exchanges "Rich Text Format" on the clipboard.
//
// Windows: the main window edits; four hidden windows (children of the main one, far off at (30000, 30000))
// serve the cells that are not being edited: one renders values, one turns values into plain text and
// searches them, one measures them, one reads their formats. Each keeps the value it holds last, so a value
// is streamed in again only when it changed.
//
// Call flow:
//   InitForCell -> window created once -> style formats as defaults -> value streamed in -> all selected
//   DrawCell (the active bound cell) -> own operation on -> window over the inner rectangle, colours, wrap,
//     event mask, options (ECO_WANTRETURN with AllowEnter), read-only, focus, limit, shown -> own operation off
//   DrawCell (any other cell) -> value into the drawing window -> EM_FORMATRANGE into the DC
//   EN_REQUESTRESIZE (reflected) -> OnRequestResize -> the row grows up to the visible height, or shrinks,
//     never below its height at binding
//   WM_KEYDOWN -> OnKeyDown: the key table decides between the window and the grid's key processing
//   WM_CHAR -> OnChar -> AcceptsText (refused: OnCellNotify, dropped) -> window, then the grid
//   StoreValue -> the window's RTF stored as the cell's value
//
// The own-operation flag (process-wide) marks rendering, pasting, measuring and a click into the window:
// resize requests of the main window wait while it is set. A click leaves it set until the next key.
#pragma once

#include <array>

#include "grid/controls/CGXControl.h"
#include "grid/controls/CGXWindowCell.h"
#include "platform/framework/CRichEditCtrl.h"

constexpr UINT GX_IDS_CTRL_RICHEDIT = 52534;

class CGXRichEditCtrl : public CGXTextWindowCell<CRichEditCtrl, CGXControl> {
  DECLARE_DYNAMIC(CGXRichEditCtrl)

 public:
  CGXRichEditCtrl(CGXGridCore* grid, UINT id);
  ~CGXRichEditCtrl() override;

  static const CGXControlClass gxClassCGXRichEditCtrl;
  const CGXControlClass* GetControlClass() const override { return &gxClassCGXRichEditCtrl; }
  CRuntimeClass* GetWindowRuntimeClass() override;

  // ---- Control part ----------------------------------------------------------------------------------
  void InitForCell(ROWCOL row, ROWCOL col) override;
  BOOL StoreValue() override;
  CRect ComputeInnerRect(const CRect& cell, const CGXStyle& style) const override;
  using CGXControl::ComputeInnerRect;
  CSize AddBordersToSize(CSize size, const CGXStyle& style) const override;
  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  void GetEditText(CString& out) const override;
  void SetEditText(const CString& text) override;
  BOOL GetEditedValue(CString& out) const override;
  void SetEditedValue(const CString& value) override;
  BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                      const CGXStyle& style) const override;
  BOOL StoreCellText(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags, const CGXStyle* style) override;
  BOOL ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  // The maximum length and the bounds judge a document by its plain text.
  CString JudgedValue(const CString& value, const CGXStyle& style) override;
  // The grid's store of a style into a cell: font, text colour and alignment go into the text (the window's
  // selection for the active current cell, else the whole value); the rest is stored as usual.
  BOOL StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type,
                  const CGXStyle* composed) override;
  void ApplyEditedValueToStyle(ROWCOL row, ROWCOL col, CGXStyle& style) override;
  void HideWindowPart() override;
  BOOL OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) override;
  BOOL OnLButtonDblClkInCell(UINT flags, int x, int y) override;
  BOOL OnKeyDownInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnCharInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnDbcsCharInCell(const CString& text, UINT repeat, UINT flags) override;
  BOOL CopyToClipboard() override;
  BOOL PasteFromClipboard() override;
  BOOL CutToClipboard() override;
  BOOL CanCopyToClipboard() const override { return m_bInit; }
  BOOL CanPasteFromClipboard() override;
  // A pasted text longer than the cell's maximum length takes is refused whole, with a message.
  BOOL CanPasteText(const CString& text) override;
  // Find and replace take the process-wide request (a CGXFindReplaceState*) as their first argument.
  BOOL FindInCell(DWORD_PTR request, DWORD_PTR row, DWORD_PTR col, DWORD_PTR atCurrent, DWORD_PTR select) override;
  void ReplaceSelectedText(LPCTSTR text) override;
  BOOL ReplaceInCell(DWORD_PTR request, DWORD_PTR row, DWORD_PTR col) override;
  void GetSelectionText(CString& out) override;
  BOOL HandleWindowCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL WantsReturnAndEscape() const override { return m_bEditing; }

  // ---- Rich text ---------------------------------------------------------------------------------------
  // The main window and the four hidden ones; FALSE unless all five were made.
  virtual BOOL CreateEditWindow(DWORD style, UINT id);
  // The style's alignment, font and text colour as paragraph and character formats (both zeroed, sized,
  // masks set for what the style includes) and back.
  static void StyleToFormats(PARAFORMAT& pf, CHARFORMAT& cf, const CGXStyle& style);
  static void FormatsToStyle(const PARAFORMAT& pf, const CHARFORMAT& cf, CGXStyle& style);
  // Plain text as RTF: "{\rtf1 text}" with a header, else "{text}"; \ { } escaped, bytes from 0x80 as \'hh,
  // line breaks (CR LF, CR, LF) as \par.
  static CString PlainTextToRtf(const CString& text, BOOL header);
  // A window's whole content in or out (SF_RTF or SF_TEXT).
  static void StreamIn(CRichEditCtrl& window, const CString& text, UINT format = SF_RTF);
  static CString StreamOut(const CRichEditCtrl& window, UINT format = SF_RTF);
  // Set while the control renders, pastes or measures, and after a click into its window until the next key.
  static BOOL& OwnOperation();
  // Row height the cell had when the control was bound (0 when the row may not shrink back).
  int BoundRowHeight() const { return m_nBoundRowHeight; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  void OnChar(UINT ch, UINT repeat, UINT flags);
  void OnRequestResize(const RECT& requested);
  // A value into a hidden window unless it holds it already.
  void LoadHidden(int which, const CString& value) const;
  // Activates (asking the grid first) with the caret at `caret` (-1: the end).
  BOOL ActivateWithCaret(int caret) override;
  void EditEmptyText() override;
  // Gives a click at (x, y) of the grid to the window shown over the cell.
  void ClickIntoWindow(int x, int y);
  // The window's limit is the cell's maximum length, none without one (the window's own default would cut
  // a longer text without a word).
  void LimitToCell(const CGXStyle& style);
  // The paste itself: the clipboard's rich text, else its plain text (CGXControl's).
  BOOL PasteRichOrPlain();
  // The window's plain text with its selection replaced by `text`.
  CString TextWithSelectionReplaced(const CString& text) const;
  // Selects the whole content of a hidden window and applies the formats there.
  static void ApplyFormatsToAll(CRichEditCtrl& window, PARAFORMAT& pf, CHARFORMAT& cf);

  enum Hidden { kDrawing = 0, kText = 1, kMeasuring = 2, kFormat = 3 };
  mutable std::array<CRichEditCtrl, 4> m_hidden;
  mutable std::array<CString, 4> m_hiddenText;
  UINT m_nID;
  DWORD m_dwEventMask = 0x2C0003;
  DWORD m_dwOptions = 0x81C1;
  BOOL m_bShrink = TRUE;
  int m_nBoundRowHeight = 0;
  BOOL m_bAutoSize = FALSE;
  BOOL m_bMeasuring = FALSE;
  CRect m_rectRequested;
  BOOL m_bLoading = FALSE;
  BOOL m_bDestroying = FALSE;
  BOOL m_bLosingFocus = FALSE;
  CHARFORMAT m_drawingDefaults{};  // the drawing window's default format
  BOOL m_bCharLeadPending = FALSE;
  BYTE m_cCharLead = 0;
};
