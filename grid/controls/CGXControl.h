// The base of every cell control: the object the grid asks to draw a cell, to take the current cell's
// mouse and key input, to hold the value being edited, to store it back and to validate it. A grid keeps
// one control per control id; the same object serves every cell whose style names that id and is bound
// to one cell at a time (InitForCell). Windowless buttons inside the cell (CGXChild) live in the control's
// child list and get the mouse and keys first.
//
// The engine (grid_core) calls these operations through the table of virtual operations only, so the
// engine's library needs no definition from this one; the controls' library defines them.
//
// Names kept from the engine's side: the current cell's frame is DrawCurrentCellFrame (the engine calls it
// for the current cell when its own frame is off); DrawBackground is the cell background that the grid's
// static-cell drawing asks for (it is DrawCellBackground); Refresh is HideAndInvalidate.
#pragma once

#include <memory>
#include <vector>

#include "grid/controls/CGXChild.h"
#include "grid/controls/GXChoiceLines.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/gxtypes.h"
#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/window/windowapi.h"

class CDC;
class CFont;
class CWnd;
class CGXGridCore;
class CGXStylesMap;
struct CRuntimeClass;

// The chain of control class names that IsKindOfControl walks.
struct CGXControlClass {
  LPCSTR name;
  const CGXControlClass* base;
};

// User attributes that every grid knows through the control base.
constexpr WORD GX_IDS_UA_VALID_MIN = 51011, GX_IDS_UA_VALID_MAX = 51012, GX_IDS_UA_VALID_MSG = 51013,
               GX_IDS_UA_RTLREADING = 52570;
// The user property that chooses the current cell's frame.
constexpr WORD GX_IDS_UP_CURRENTCELL = 51005;

constexpr UINT GX_IDS_PASTE_TOO_LONG = 51058;  // the message of a paste longer than the cell takes
constexpr UINT GX_IDS_PASTE_NO_VALUE = 20210;  // the message of a pasted text that is no value its cell takes
constexpr UINT GX_IDS_REPLACE_KEPT = 51063;     // the message of a replacement that would empty a kept cell
constexpr UINT GX_IDS_REPLACE_REFUSED = 51059;  // the message of a replacement a cell does not take
constexpr UINT GX_IDS_PASTE_CONTROL_CHAR = 51064;  // the message of a paste that would put a control character in
                                                   // a one-line cell
// The grid's messages of a value outside a cell's validation bounds when the cell has no message of its own: both
// bounds, a minimum only, a maximum only.
constexpr UINT GX_IDS_BOUNDS_BETWEEN = 51065, GX_IDS_BOUNDS_AT_LEAST = 51066, GX_IDS_BOUNDS_AT_MOST = 51067;
constexpr UINT GX_IDS_TYPED_TOO_LONG = 51068;  // the message of a typed text stored longer than the cell takes

class CGXControl {
 public:
  // Whether a pasted text of `length` characters is longer than `limit` (0: no limit); the grid's warning is
  // then the message of a paste that does not fit (or `message`, of the same two numbers).
  static BOOL WarnIfTooLong(CGXGridCore* grid, int length, UINT limit, UINT message = GX_IDS_PASTE_TOO_LONG);
  // Whether (row, col), given `own` as its stored style (null: none) by a copy, a move or a fill of cells, would
  // hold a value past the maximum length or the bounds of the style it then composes (its column's, its row's and
  // the grid's base styles under `own`), judged as the control of that style judges its value. The grid's
  // warning then says why: the bounds' message, or (with `sayLength`) the paste's message of a text too long.
  // `work` is a style to compose in.
  static BOOL StoredCellBreaksLimits(CGXGridCore* grid, ROWCOL row, ROWCOL col, const CGXStyle* own, CGXStyle& work,
                                     BOOL sayLength);
  // What a one-line cell (one whose composed `style` does not wrap) takes of a pasted `text`, as a one-line edit
  // takes a paste: the text up to its first line break; a cell that wraps takes it all. FALSE, with the grid's
  // warning set, when what is left holds another control character (a tab ...), which such a cell neither shows
  // nor lets the user type: the paste is refused rather than bring it in.
  static BOOL TakeOneLineOfPaste(CGXGridCore* grid, const CGXStyle& style, CString& text);
  explicit CGXControl(CGXGridCore* grid);
  virtual ~CGXControl();
  CGXControl(const CGXControl&) = delete;
  CGXControl& operator=(const CGXControl&) = delete;

  static const CGXControlClass classCGXControl;
  virtual const CGXControlClass* GetControlClass() const { return &classCGXControl; }
  BOOL IsKindOfControl(const CGXControlClass* cls) const;
  virtual CRuntimeClass* GetWindowRuntimeClass() { return nullptr; }
  virtual CWnd* GetWindowPart() { return nullptr; }
  BOOL IsWindowKindOf(const CRuntimeClass* cls);
  // Whether the cell takes typed text: a control that edits in a window of its own does; one that only shows
  // its value (a static text, a header, a check box, a button, a bitmap) takes none, and every clear (Delete,
  // a cut, a fill, a paste of an empty text) leaves such a cell as it is.
  virtual BOOL TakesTypedText() { return GetWindowPart() != nullptr; }

  // Editing and modified states (controls without an editor keep both off).
  virtual void SetEditingState(BOOL) {}
  virtual BOOL GetEditingState() const { return FALSE; }
  virtual BOOL GetExtraState() const { return FALSE; }
  virtual void SetModifiedState(BOOL) {}
  virtual BOOL GetModifiedState() const { return FALSE; }

  // Binding to a cell.
  virtual void InitForCell(ROWCOL row, ROWCOL col);
  // Unbinds: when modified or editing the floating cells are recalculated; the window part hides, the
  // states clear and the cached style goes (row and column keep their last values).
  virtual void RedrawIfChanged();
  BOOL IsInitialized() const { return m_bInit; }
  BOOL IsBoundToCell(ROWCOL row, ROWCOL col) const { return m_bInit && row == m_nRow && col == m_nCol; }
  ROWCOL GetRow() const { return m_nRow; }
  ROWCOL GetCol() const { return m_nCol; }

  // Storing, validating and the grid's hooks.
  virtual BOOL StoreValue() { return FALSE; }
  virtual BOOL ValidateValue();
  virtual BOOL NotifyEditStart();
  virtual BOOL NotifyModified();
  virtual BOOL NotifyEditEnd();
  virtual void NotifyEditCancel();
  // A value of the bound cell was stored; the grid's answer (FALSE refuses to leave the cell).
  virtual BOOL NotifyStored();
  virtual BOOL NotifyLeaveCell(ROWCOL newRow, ROWCOL newCol);
  // The Delete key would empty the bound cell in an edit of its own; the grid's answer (its clears ask
  // CGXGridCore::CanClearCell, which asks the same hook).
  virtual BOOL NotifyDelete();
  // The grid's two hooks for the bound cell (see CGXGridCore::OnControlFirstHook); their answers.
  virtual BOOL AskGridFirstHook();
  virtual BOOL AskGridSecondHook();

  // Geometry.
  // The cell rectangle less the style's borders, with the one-pixel corrections at the last frozen row and
  // column. The (rect, style) form is the engine's; the full form looks up what is not given.
  virtual CRect ComputeInnerRect(const CRect& cell, const CGXStyle& style) const;
  CRect ComputeInnerRect(ROWCOL row, ROWCOL col, const CRect* cell = nullptr, const CGXStyle* style = nullptr);
  virtual CSize AddBordersToSize(CSize size, const CGXStyle& style) const;
  // The size the cell's content needs (with `vertical` its height); the base needs none.
  virtual CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                                BOOL vertical);
  virtual BOOL CanFloatText(ROWCOL row, ROWCOL col, const CGXStyle& style, BOOL flag);
  virtual BOOL HasValueText(ROWCOL row, ROWCOL col, const CGXStyle& style, BOOL flag);

  // Drawing.
  virtual void DrawBackground(CDC* dc, const CRect& rect, const CGXStyle& style, BOOL eraseAlways = FALSE) {
    DrawCellBackground(dc, rect, style, eraseAlways);
  }
  virtual void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                        const CGXStyle* standard);
  // The current cell's frame in the given rectangle, as the "Current Cell." user property asks.
  virtual void DrawCurrentCellFrame(CDC* dc, const CRect& inner);
  // The interior (only when forced or the grid needs the control to fill it), then the 3-D frame.
  virtual void DrawCellBackground(CDC* dc, const CRect& rect, const CGXStyle& style, BOOL force);
  virtual void Draw3dFrame(CDC* dc, const CRect& rect, const CGXStyle& style);

  // Values.
  virtual void GetEditText(CString& out) const;
  virtual void SetEditText(const CString& text);
  // The selection of a control that edits a text in a window, from its anchor to its caret (the anchor after
  // the caret for a selection made right to left; equal for a bare caret): a refused store gives it back with
  // the text (a text set anew puts the caret at its start). FALSE for a control without one, which keeps
  // nothing.
  virtual BOOL GetEditSelection(int& anchor, int& caret) const { return (void)anchor, (void)caret, FALSE; }
  virtual void SetEditSelection(int anchor, int caret) { (void)anchor, (void)caret; }
  virtual BOOL GetEditedValue(CString& out) const;
  virtual void SetEditedValue(const CString& text);
  virtual BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                              const CGXStyle& style) const;
  virtual BOOL StoreCellText(ROWCOL row, ROWCOL col, LPCTSTR text, UINT flags, const CGXStyle* style);
  // The rule the ways into a cell ask (a paste onto the cell, Replace, Replace All, a fill; an editor asks
  // AcceptsText of what it holds, which a list cell answers by the same choices): whether the cell of composed
  // `style` takes `text` as its value, with `text` made the value it stores (a list cell's choice in its own
  // spelling, or the choice's index or key). FALSE refuses it and the cell keeps its value. The base takes any
  // text as it is.
  virtual BOOL ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) {
    return (void)text, (void)row, (void)col, (void)style, TRUE;
  }
  // The store-style hook of ApplyStyleToRange: stores through the grid's WriteStoredStyle.
  virtual BOOL StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type,
                          const CGXStyle* composed);
  virtual BOOL ApplyStyleToCell(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, UINT flags,
                                const CGXStyle* current);
  virtual void ApplyEditedValueToStyle(ROWCOL row, ROWCOL col, CGXStyle& style);
  virtual BOOL GetChoiceListItem(CString& out, const CString& choices, int n) const;
  // The same of the choice list of `style` (none without one).
  BOOL GetChoiceListItem(CString& out, const CGXStyle& style, int n) const;
  // The lines of a choice list, separated by CR, LF or CR LF (an empty last line is no line).
  static std::vector<CString> SplitChoiceList(const CString& choices);
  // The same lines, viewed in the list's text and looked up through the index a list keeps with its shared text
  // for as long as it lives once it is long enough and has been asked for often enough (GXChoiceLines); a text that is no style's list is kept with the few looked up
  // last (see FindChoiceListItem).
  GXChoiceLines SplitChoiceListKept(const CString& choices) const;
  GXChoiceLines SplitChoiceListKept(const CGXStyle& style) const;
  // The position of the line `text` names, with the line in `out` (empty and -1 when none): the first line
  // equal to it without regard to case, else (unless `exact`) the first line beginning with it; an empty text
  // names none. A list looked up often is indexed once, so that each text costs a search in the index, not a
  // walk of the list: a style's list keeps its index with its shared text (the overload taking the style), any other text is
  // kept with the few looked up last.
  virtual int FindChoiceListItem(CString& out, const CString& text, const CString& choices, BOOL exact) const;
  int FindChoiceListItem(CString& out, const CString& text, const CGXStyle& style, BOOL exact) const;
  // The rule of a cell whose value is one of the choices of its `style`: a `text` that names a line
  // (FindChoiceListItem, not exact) becomes that line in its own spelling, or with `indexBase` >= 0 the line's
  // position plus `indexBase`; a text that names none is refused, and an empty text (which empties the cell)
  // is taken.
  BOOL TakeChoice(CString& text, const CGXStyle& style, int indexBase) const;
  virtual BOOL IsCellReadOnly() const;
  virtual void GetStyleValueText(CString& out, const CGXStyle& style) const;

  // Window part and refreshing.
  virtual void HideWindowPart() {}
  // TRUE keeps the window part shown while the grid scrolls the cell out of the scrolled area.
  virtual BOOL KeepWindowOnScroll() { return FALSE; }
  virtual void HideAndInvalidate();
  virtual void Refresh() { HideAndInvalidate(); }

  // Mouse and keys inside the current cell: FALSE lets the grid do its own processing. The hit flags
  // carry 64 when the button went down in this same cell.
  virtual BOOL OnMouseMoveInCell(UINT flags, int x, int y, WORD hit);
  virtual BOOL OnMouseMoveOverCell(ROWCOL row, ROWCOL col, UINT flags, int x, int y);
  virtual BOOL OnLButtonDownInCell(UINT flags, int x, int y, WORD hit);
  virtual BOOL OnLButtonUpInCell(UINT flags, int x, int y, WORD hit);
  virtual BOOL OnLButtonDblClkInCell(UINT flags, int x, int y);
  virtual BOOL OnMButtonDownInCell(UINT flags, int x, int y, WORD hit);
  virtual BOOL OnMButtonUpInCell(UINT flags, int x, int y, WORD hit);
  virtual BOOL OnMButtonDblClkInCell(UINT flags, int x, int y);
  virtual BOOL OnRButtonDownInCell(UINT flags, int x, int y, WORD hit);
  virtual BOOL OnRButtonUpInCell(UINT flags, int x, int y, WORD hit);
  virtual BOOL OnRButtonDblClkInCell(UINT flags, int x, int y);
  virtual BOOL QueryCellHit(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) { return FALSE; }
  virtual BOOL QueryCellFlag(DWORD_PTR) { return FALSE; }
  virtual BOOL OnKeyMessage(UINT message, UINT ch, UINT repeat, UINT flags);
  // The double-byte state of typed characters: a lead byte held until its trail byte comes.
  BOOL IsLeadBytePending() const { return m_bLeadBytePending; }
  BYTE PendingLeadByte() const { return m_cLeadByte; }
  virtual BOOL OnKeyDownInCell(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL OnKeyUpInCell(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL OnCharInCell(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL OnDbcsCharInCell(const CString&, UINT, UINT) { return FALSE; }
  virtual BOOL OnDeadCharInCell(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL OnSysKeyDownInCell(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL OnSysKeyUpInCell(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL OnSysCharInCell(UINT, UINT, UINT) { return FALSE; }
  virtual BOOL OnSysDeadCharInCell(UINT, UINT, UINT) { return FALSE; }
  // Whether the control wants Enter and Escape while it edits (a dialog then leaves them to the grid).
  virtual BOOL WantsReturnAndEscape() const { return FALSE; }

  // Clipboard, find and replace. Pasting answers TRUE only when text was inserted.
  virtual BOOL CopyToClipboard();
  virtual BOOL PasteFromClipboard();
  virtual BOOL CutToClipboard();
  virtual BOOL CanCopyToClipboard() const { return m_bInit; }
  virtual BOOL CanCutToClipboard();
  virtual BOOL CanPasteFromClipboard();
  // The grid's own styles are on the clipboard and the parameter object lets them be pasted: the grid
  // pastes them whole, the control none of its text.
  BOOL GridStylesTakePrecedence() const;
  // (request, row, col, include the current cell, make a match current): the base asks the grid's find
  // feature (FALSE without it); the edit cells search their own text.
  virtual BOOL FindInCell(DWORD_PTR request, DWORD_PTR row, DWORD_PTR col, DWORD_PTR atCurrent, DWORD_PTR select);
  // The selection replaced by `text` (Replace, and a paste into the cell being edited): the base, which selects
  // its whole text, stores the text as a replacement goes in (StoreReplacedText), in the current cell only.
  virtual void ReplaceSelectedText(LPCTSTR text);
  // (request, row, col): every occurrence replaced; the base asks the grid's find feature.
  virtual BOOL ReplaceInCell(DWORD_PTR request, DWORD_PTR row, DWORD_PTR col);
  // A replacement that leaves the cell empty clears it: a cell the grid keeps under every clear
  // (CGXGridCore::CanClearCell) keeps its value, and the grid's warning (unless one is set) says so. TRUE when
  // the cell is kept.
  BOOL KeepsCellFromEmptyReplacement(const CString& text, ROWCOL row, ROWCOL col);
  // A replaced text goes into (row, col) only as the cell takes it: not emptying a kept cell, within its
  // maximum length, as its rule takes it (ConvertTextForCell: a list cell's choice, a mask's data), within its
  // bounds, and as its store takes it (a formula sheet refuses a formula that no longer parses). A refused one
  // leaves the cell as it was and the grid a warning: the bounds' message, else the message of a refused
  // replacement. `style` is the cell's composed style; with `storeUnder` the store goes by it too, else the
  // store composes the cell's own. TRUE when stored.
  BOOL StoreReplacedText(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style, BOOL storeUnder);
  // Whether a value the cell's rule took (ConvertTextForCell) lies within the maximum length and the bounds of the
  // cell of composed `style`, as a fill of values and a replacement ask before they store it; both judge the value
  // as the cell holds it (JudgedValue). The bounds' message then becomes the grid's warning.
  BOOL WithinLimits(const CString& value, const CGXStyle& style);
  // The length a `text` given to the cell of composed `style` is stored with, as its maximum length judges it:
  // of JudgedValue after ConvertTextForCell ("1,234" in a grouped number cell is stored as 1234); a text the
  // cell's rule refuses counts as it is.
  int StoredLength(const CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style);
  // The store of a value the cell's rule took (ConvertTextForCell), as a fill of values stores it: the grid's
  // store of the value; an edit cell stores a number as typing and a paste store it.
  virtual BOOL StoreTakenValue(ROWCOL row, ROWCOL col, const CString& value, const CGXStyle& style, UINT flags);
  // What the maximum length and the bounds judge of a `value` the cell would store: the value itself; an edit
  // cell's number as its number format reads it ("1,234" is 1234), a rich edit cell's plain text.
  virtual CString JudgedValue(const CString& value, const CGXStyle& style) { return (void)style, value; }
  // The store of a replaced text the cell takes (the last step of StoreReplacedText): the grid's store of a
  // control's value, by `style` when `storeUnder`. An edit cell stores a number as typing stores it.
  virtual BOOL StoreReplacedValue(ROWCOL row, ROWCOL col, const CString& text, const CGXStyle& style,
                                  BOOL storeUnder);
  // A replacement refused: the message of a refused replacement becomes the grid's warning unless one is set.
  void RefuseReplacement();
  // The text find and replace search in (row, col) when it is not being edited: in a cell holding a formula
  // (a grid storing expressions), the formula as its editor shows it, since its display text is a computed
  // value that neither a match's position nor a replaced text may come from; in any other cell the display
  // text under `style` (the cell's composed style when null).
  CString SearchedCellText(ROWCOL row, ROWCOL col, const CGXStyle* style) const;
  // The selected text; the base control has no text selection and hands out its whole current text.
  virtual void GetSelectionText(CString& out) { GetEditText(out); }
  virtual BOOL AcceptsText(const CString&) { return TRUE; }
  // A typed character that the control refuses (a masked cell's wrong character class); the base ignores it.
  virtual void OnInvalidChar(const CString&) {}
  // Asked before a pasted text replaces the selection.
  virtual BOOL CanPasteText(const CString&) { return TRUE; }

  // Window messages and notifications.
  virtual void OnChildClicked(CGXChild* child);
  virtual BOOL HandleWindowCommand(WPARAM, LPARAM) { return FALSE; }
  // WM_VSCROLL and WM_HSCROLL before the grid scrolls: an editing control whose covered cell straddles the
  // frozen rows or columns stores and stops editing.
  virtual BOOL OnGridWindowMessage(const MSG* msg);
  // The grid's WM_CTLCOLOR notifications for the current cell's control (DC, window, colour kind 0..6):
  // TRUE when the control set the colours itself ("handled"); the grid then leaves the DC alone.
  virtual BOOL OnGridMessageExtra(CDC* dc, CWnd* wnd, UINT kind) {
    (void)dc, (void)wnd, (void)kind;
    return FALSE;
  }
  // WM_MOUSEACTIVATE while the control is on the current cell: TRUE with *result set when it decides.
  virtual BOOL OnMouseActivate(CWnd* topLevel, UINT hitCode, UINT message, LRESULT* result) {
    (void)topLevel, (void)hitCode, (void)message, (void)result;
    return FALSE;
  }
  virtual BOOL PreTranslate(MSG*) { return FALSE; }
  virtual void OnSettingsChanged(UINT) {}
  virtual void BroadcastToChildren(DWORD_PTR value);
  virtual void RefreshSysColors();
  virtual void ReleaseChildButtons();
  virtual BOOL QueryControlFlag() { return FALSE; }
  virtual void OnCellNotify(DWORD_PTR) {}
  virtual BOOL MarkEditHeader(ROWCOL row, ROWCOL col, DWORD_PTR flag);

  // Cell tips.
  virtual BOOL NeedsCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style);
  virtual int GetCellTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style);
  virtual void ShowCellTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CWnd* tipWnd);
  void InstallCellTipStatic(CGXCellTipBase* tip) { m_pCellTip.reset(tip); }
  CGXCellTipBase* GetCellTip() const { return m_pCellTip.get(); }

  // Children (owned; the list is created on the first append).
  virtual void AppendChild(CGXChild* child);
  virtual void DetachChild(CGXChild* child);
  virtual CGXChild* GetChildAt(int index) const;  // a missing index gets the invalid-argument error
  virtual int GetChildCount() const { return m_pChildren ? static_cast<int>(m_pChildren->size()) : 0; }
  virtual CGXChild* GetActiveChild() const { return m_pActiveChild; }
  virtual void SetActiveChild(CGXChild* child) { m_pActiveChild = child; }
  virtual void LayOutChildren(ROWCOL row, ROWCOL col, const CRect& inner) { (void)row, (void)col, (void)inner; }

  // The cell's effective style, composed on first demand and dropped on every re-binding.
  const CGXStyle& GetCachedStyle();
  CGXGridCore* Grid() const { return m_pGrid; }
  CGXGridCore* GetGrid() const { return m_pGrid; }
  CWnd* GetGridWnd() const;
  // A window-based control's window received the focus: the grid hears WM_KILLFOCUS with that window's
  // handle (not when the window is the grid itself); the grid ignores it while it guards its focus.
  void ForwardKillFocusToGrid(CWnd* focus);
  // Selects the style's font into the DC through the grid: the font selected before, or null when the
  // previous style has the same font and nothing was selected.
  CFont* SelectCellFont(CDC* dc, const CGXStyle& style, const CGXStyle* previous = nullptr);
  // The control's window lies over this rectangle of the grid: the grid's paint leaves it alone.
  void RecordWindowRect(const CRect& rect);
  // Registers the user attributes that every grid knows through the base.
  static void RegisterUserAttributes(CGXStylesMap* map);
  // The display text under the style's number format (unchanged without the number-formatting feature).
  static CString FormatDisplayText(const CString& value, const CGXStyle& style);
  // The text margin of the cells: max(2, SM_CXFRAME / 2).
  static int TextMargin();

 protected:
  // Offers a button event to the children in list order: the first hit becomes the active child.
  BOOL OfferToChildren(CPoint pt, BOOL (CGXChild::*op)(UINT, CPoint), UINT flags, BOOL untilHandled);
  BOOL ButtonUp(UINT flags, int x, int y, BOOL (CGXChild::*op)(UINT, CPoint), int button);
  BOOL ButtonDblClk(UINT flags, int x, int y, BOOL (CGXChild::*op)(UINT, CPoint), int button);
  void PrepareChildren();
  // Lays out the children in the cell's inner rectangle and lets each draw itself, in list order.
  void DrawChildren(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style);
  void DropCachedStyle() { m_pCachedStyle.reset(); }
  // The bound cell's value as an inactive cell shows it: through the cached style while there is one, else
  // through a freshly composed style; empty when the control is bound to no cell.
  void GetBoundDisplayText(CString& out) const;
  // The bound cell's cached style; another cell's style composed into `composed` when `otherCells`, else null.
  const CGXStyle* CellStyleIf(ROWCOL row, ROWCOL col, BOOL otherCells, CGXStyle& composed);
  // Any cell's value as it shows when it is not being edited: its display text under its composed style.
  CString ComposedDisplayText(ROWCOL row, ROWCOL col) const;
  // The editing state of a cell that edits in a window, kept in `editing`: entering it reads the bound cell's
  // style afresh; a cell without its window is not editing.
  void SetWindowEditingState(BOOL& editing, BOOL on, BOOL hasWindow);
  // Cells whose window edits inside the cell keep the text margin at the left and half of it at the right.
  static CRect InsetByTextMargin(CRect inner);
  static CSize AddTextMargin(CSize size);
  // The background of the control's window over the cell: white, then the bound cell's interior.
  void EraseWindowBackground(CWnd& window, CDC* dc);
  // The style a store into a cell goes by: the one given, else the cell's, composed into `composed`.
  const CGXStyle& StyleForStore(ROWCOL row, ROWCOL col, const CGXStyle* style, CGXStyle& composed) const;
  // Whether the grid refuses stores into a cell of this style: read-only enforced, and the grid locked or
  // the style read-only.
  BOOL StoreRefused(const CGXStyle& style) const;
  // The validation bounds of a composed style (GX_IDS_UA_VALID_MIN and MAX), read as numbers: a bound set as a
  // number costs no text, and a style without user attributes costs nothing.
  struct CellBounds {
    bool hasMin = false, hasMax = false;
    double min = 0, max = 0;
    bool Any() const { return hasMin || hasMax; }
    static CellBounds Of(const CGXStyle& style);
  };
  // Whether a non-empty `value`, as the cell would store it (after ConvertTextForCell; JudgedValue of it is
  // read), breaks the minimum or maximum of the style (or is no number while one is set); the style's message,
  // else the grid's text naming the bounds, then becomes the grid's warning. Every door into a cell asks it: the
  // validation of a typed text (of the value the edit stores), a paste's store (StoreCellText), a replacement's
  // and a fill. A control with bounds of its own (the spin cell's) adds them.
  virtual BOOL BreaksBounds(const CString& value, const CGXStyle& style);
  // Delete on a cell that is not being edited may empty it: no style pasting, a writable cell, Shift not
  // held, and the grid's delete hook (NotifyDelete), second hook and edit start agree (asked in that order).
  BOOL MayEmptyOnDelete();
  // End, Home and Delete on a cell that edits in a window and is not being edited: End and Home start
  // editing with the caret at the end or the start, Delete (when it may) starts editing an empty text.
  enum class KeyStart { Other, Refused, Started };
  // Starts editing the bound cell when the grid agrees (NotifyEditStart): a control bound to no cell binds
  // to its current one first, then its editing state goes on. FALSE when the grid refuses.
  BOOL StartEditing();
  KeyStart StartEditingFromKey(UINT ch);
  // What StartEditingFromKey does for a cell: editing started with the caret at `caret` (-1: the end),
  // asking the grid first (FALSE when refused); editing started with an empty, modified text.
  virtual BOOL ActivateWithCaret(int caret) { return (void)caret, FALSE; }
  virtual void EditEmptyText() {}

  CGXGridCore* m_pGrid;

 public:
  // Zero after construction and left alone by the base; a control that sets it makes the grid refresh a
  // newly entered cell through the control instead of painting it at once.
  WORD m_wFirstData = 0;

 protected:
  ROWCOL m_nRow = GX_INVALID, m_nCol = GX_INVALID;
  std::unique_ptr<CGXStyle> m_pCachedStyle;
  BOOL m_bInit = FALSE;
  std::unique_ptr<std::vector<std::unique_ptr<CGXChild>>> m_pChildren;
  CGXChild* m_pActiveChild = nullptr;
  BOOL m_bLeadBytePending = FALSE;
  BYTE m_cLeadByte = 0;
  std::unique_ptr<CGXCellTipBase> m_pCellTip;

 private:
  // The texts of the lists looked up last through SplitChoiceListKept(CString), the one used last first.
  mutable std::vector<std::shared_ptr<const CGXChoiceListText>> m_keptChoiceLists;
};
