// The grid's date-time cell (control ids 52543 with the popup calendar, 52544 without): the current cell is
// edited field by field in a date-time window laid over it; other cells are drawn by laying out the gadgets
// of a hidden drawing window over them. A third hidden window (the display window) turns values into text.
// A cell's value is a text: the DATE number ("%.13g" by default) or a date-time text; both are read.
//
// Reading a value text (ReadValue):
//   1. unless "Force DateTime input as number" is set, a date in the user's locale;
//   2. else a text whose number is not 0 is that DATE number; a text that reads wholly as the number 0 is
//      the DATE 0 (30 December 1899 0:00);
//   3. else the value is empty: a cell then starts at 0:00 of 30 December 1899 for time formats, else at
//      0:00 today.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "grid/extras/CGXBDateTimeCtrl.h"
#include "grid/extras/CGXBWindowCell.h"
#include "platform/gdi/CFont.h"

class CGXStylesMap;

constexpr WORD GX_IDS_CTRL_DATETIME = 52543, GX_IDS_CTRL_DATETIMENOCAL = 52544;
// User attributes of the date-time cell.
constexpr WORD GX_IDS_UA_DATENOEDIT = 51034, GX_IDS_UA_DATEMIN = 51035, GX_IDS_UA_DATEMAX = 51036,
               GX_IDS_UA_DATEVALIDMODE = 51037, GX_IDS_UA_DATEFORMATTYPE = 51038, GX_IDS_UA_CUSTOMFORMAT = 51039,
               GX_IDS_UA_FASTINPUT = 51044, GX_IDS_UA_DATETIMEASNUMBER = 52571, GX_IDS_UA_DATETIMEPRECISION = 52572;

// A date-time window that is never shown: its gadgets are placed by the cell control.
class CGXCaptiveDateTimeCtrl : public CGXBDateTimeCtrl {
  DECLARE_DYNAMIC(CGXCaptiveDateTimeCtrl)

 public:
  void LayoutGadgets() override {}
};

class CGXDateTimeCtrl : public CGXBWindowCell<CGXBDateTimeCtrl> {
  DECLARE_DYNAMIC(CGXDateTimeCtrl)

 public:
  CGXDateTimeCtrl(CGXGridCore* grid, UINT controlId);
  ~CGXDateTimeCtrl() override;

  static void RegisterUserAttributes(CGXStylesMap* map);
  static const CGXControlClass controlClassCGXDateTimeCtrl;

  // The main window (control id) and the two captive windows (control id + 1, + 2) as children of the grid.
  BOOL CreateWindows(DWORD style, const RECT& rect);
  // A value text read as this control reads cell values; FALSE for an empty or unreadable text.
  static BOOL ReadValue(const CString& text, BOOL inputAsNumber, COleDateTime& out);
  // The value in the stored form: "%.<precision>g" of the DATE number, else the user locale's text.
  CString StoredForm(const COleDateTime& value) const;

  virtual void SetStoreAsNumber(BOOL on) { m_bStoreAsNumber = on; }
  virtual BOOL GetStoreAsNumber() const { return m_bStoreAsNumber; }
  virtual BOOL ActivateAt(UINT flags, int x, int y, BOOL force);
  virtual void DrawSpinGadget(CDC* dc, CGXBDTGadget* gadget, CPoint offset);
  virtual void DrawNumericGadget(CDC* dc, CGXBDTGadget* gadget, CPoint offset);
  virtual void DrawListGadget(CDC* dc, CGXBDTGadget* gadget, CPoint offset);
  virtual void DrawStaticGadget(CDC* dc, CGXBDTGadget* gadget, CPoint offset);
  virtual void DrawButtonGadget(CDC* dc, CGXBDTGadget* gadget, CPoint offset);
  // The style's format applied to a window; whether the format shows a date.
  virtual BOOL ApplyFormat(CGXBDateTimeCtrl* window, const CGXStyle& style);
  // A pasted field list cut into tokens at blanks, line breaks and the token separators.
  virtual BOOL SplitTokens(const CString& text, std::vector<CString>& tokens) const;

  int GetPrecision() const { return m_nPrecision; }
  BOOL GetInputAsNumber() const { return m_bInputAsNumber; }
  void SetAlwaysShowButtons(BOOL spin, BOOL button) { m_bAlwaysSpin = spin, m_bAlwaysButton = button; }
  void SetTabMovesBetweenFields(BOOL on) { m_bTabFields = on; }
  CGXCaptiveDateTimeCtrl& DisplayWindow() { return m_display; }
  CGXCaptiveDateTimeCtrl& DrawingWindow() { return m_drawing; }

  // CGXControl.
  const CGXControlClass* GetControlClass() const override { return &controlClassCGXDateTimeCtrl; }
  CRuntimeClass* GetWindowRuntimeClass() override;
  void InitForCell(ROWCOL row, ROWCOL col) override;
  BOOL ValidateValue() override;
  BOOL NotifyEditStart() override;
  CSize AddBordersToSize(CSize size, const CGXStyle& style) const override;
  CSize ComputeCellSize(CDC* dc, ROWCOL row, ROWCOL col, const CGXStyle& style, const CGXStyle* previous,
                        BOOL vertical) override;
  void DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                const CGXStyle* standard) override;
  void GetEditText(CString& out) const override;
  void SetEditText(const CString& text) override;
  BOOL GetEditedValue(CString& out) const override;
  void SetEditedValue(const CString& text) override;
  BOOL GetDisplayText(CString& out, ROWCOL row, ROWCOL col, const CString* value,
                      const CGXStyle& style) const override;
  BOOL ConvertTextForCell(CString& text, ROWCOL row, ROWCOL col, const CGXStyle& style) override;
  BOOL StoreStyle(ROWCOL row, ROWCOL col, const CGXStyle* style, int mode, int type,
                  const CGXStyle* composed) override;
  BOOL OnLButtonUpInCell(UINT flags, int x, int y, WORD hit) override;
  BOOL OnLButtonDblClkInCell(UINT flags, int x, int y) override;
  BOOL OnKeyDownInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnCharInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL OnDbcsCharInCell(const CString& text, UINT, UINT) override { return OnTextInput(text); }
  BOOL OnSysKeyDownInCell(UINT ch, UINT repeat, UINT flags) override;
  BOOL CopyToClipboard() override;
  BOOL PasteFromClipboard() override;
  BOOL CutToClipboard() override;
  BOOL CanPasteFromClipboard() override;
  void GetStyleValueText(CString& out, const CGXStyle& style) const override;
  BOOL FindInCell(DWORD_PTR state, DWORD_PTR row, DWORD_PTR col, DWORD_PTR fromCurrent, DWORD_PTR select) override;
  BOOL ReplaceInCell(DWORD_PTR state, DWORD_PTR row, DWORD_PTR col) override;
  void ReplaceSelectedText(LPCTSTR text) override;
  void GetSelectionText(CString& out) override;

  // Typed text on a current cell that is not edited yet: starts editing at the first field.
  BOOL OnTextInput(const CString& text);

  // CGXBDateTimeCtrl.
  BOOL OnChanging(const COleDateTime& value) override;
  void OnChanged() override;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnEditKeyDown(UINT key, UINT repeat, UINT flags);
  void OnEditChar(UINT ch, UINT repeat, UINT flags);
  // The hidden window keeps a size, far from the grid's cells.
  CRect ParkedRect() const override { return CRect(10000, 10000, 10010, 10010); }
  // The value of a cell (the empty value's default by the format the window shows).
  COleDateTime CellValue(const CString& text, BOOL inputAsNumber, BOOL showsDate, int formatType) const;
  // Makes the current gadget editable (else the first editable one) and the only active one.
  void ActivateCurrentOnly(BOOL activate);
  // The editable field of the current cell's drawn value at a point of the grid (the last one right of them all);
  // -1 when the cell shows no value.
  int FieldShownAt(CPoint point);
  // Lays the window's gadgets out in a rectangle of the DC (fixed gadgets only when shown): fields as wide as the
  // texts they show.
  void LayoutIn(CGXBDateTimeCtrl& window, CDC* dc, const CRect& inner, BOOL button, BOOL spin);
  // The gadgets' texts one after another.
  static CString JoinedText(const CGXBDateTimeCtrl& window);
  // Whether a field gadget matches a search text (upper-cased unless the case matters).
  static BOOL GadgetMatches(const CGXBDTGadget* gadget, const CString& find, BOOL matchCase);
  // The first gadget from `from` that matches; -1 when none.
  static int FindGadget(const CGXBDateTimeCtrl& window, int from, const CString& find, BOOL matchCase);
  void ForgetFindPosition();
  // Reads the cell's attributes that the display window needs and puts a value text into it.
  BOOL LoadDisplayWindow(const CGXStyle& style, const CString& value) const;

  BOOL m_bStoreAsNumber = TRUE;
  BOOL m_bInputAsNumber = FALSE;
  int m_nPrecision = 13;
  BOOL m_bAlwaysSpin = FALSE, m_bAlwaysButton = FALSE;
  BOOL m_bDateShown = TRUE;
  BOOL m_bTabFields = FALSE;
  UINT m_nControlId;
  ROWCOL m_nFindRow = 0x7FFFFFFF, m_nFindCol = 0x7FFFFFFF;
  CString m_strFind;
  int m_nFindNext = 0;
  BOOL m_bFound = FALSE;
  CString m_strTokenSeps = ",";
  mutable CGXCaptiveDateTimeCtrl m_display;
  CGXCaptiveDateTimeCtrl m_drawing;
  BOOL m_bDrawInputAsNumber = FALSE;
  CFont m_font;
  // The gadgets' measured sizes by font and format (see LayoutIn).
  std::map<std::string, std::vector<CSize>> m_measured;
};
