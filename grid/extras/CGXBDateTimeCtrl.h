// A child window that shows one date-time value as a row of fields laid out from a date or time format and
// lets the user change it field by field: keys, typed digits and names, the mouse, optional spin buttons and an
// optional drop-down button that opens the popup month calendar. It keeps the value inside an optional range
// and tells its parent of every change (WM_COMMAND with code 256).
#pragma once

#include "grid/extras/CGXBDTGadget.h"
#include "platform/base/CObArray.h"
#include "platform/base/COleDateTime.h"
#include "platform/framework/CWnd.h"

class CGXBPopupCalendar;

// Field ids (one bit each, so that masks name several).
enum : int {
  GXDT_HOUR12 = 1, GXDT_HOUR24 = 2, GXDT_MINUTE = 4, GXDT_SECOND = 8, GXDT_AMPM = 16, GXDT_DAY = 32,
  GXDT_WEEKDAY = 64, GXDT_MONTH = 128, GXDT_MONTHNAME = 256, GXDT_YEAR2 = 512, GXDT_YEAR4 = 1024,
  GXDT_DROPDOWN = 16384, GXDT_SPIN = 32768, GXDT_LITERAL = -1
};

// The drop-down arrow bitmap (7 x 4, a black triangle on light grey).
constexpr UINT GX_IDB_DROPDOWN_ARROW = 20028;
// The change notification's WM_COMMAND code.
constexpr UINT GXDT_CHANGED = 256;

class CGXBDateTimeCtrl : public CWnd {
  DECLARE_DYNAMIC(CGXBDateTimeCtrl)

 public:
  using CGXBDTGadgetArray = CObArray;
  // Window style bits of its own.
  static constexpr DWORD kDropDown = 1, kSpin = 2, kCenturyOfValue = 16;
  // State flags.
  static constexpr UINT kModified = 1, kTyping = 4;
  // No-edit mask bits.
  static constexpr UINT kNoYear = 1, kNoMonth = 2, kNoDay = 4, kNoHour = 8, kNoMinute = 16, kNoSecond = 32;
  enum FormatType { Time = 0, ShortDate = 1, LongDate = 2, Custom = 3, DateTime = 4 };

  CGXBDateTimeCtrl();
  ~CGXBDateTimeCtrl() override;

  using CWnd::Create;
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  BOOL SetDateTime(const COleDateTime& value);
  const COleDateTime& GetDateTime() const { return m_value; }
  BOOL SetValidationRange(const COleDateTime& minimum, const COleDateTime& maximum, UINT mode);
  void GetValidationRange(COleDateTime& minimum, COleDateTime& maximum, UINT& mode) const {
    minimum = m_min, maximum = m_max, mode = m_nValidationMode;
  }
  void SetFormatType(int type);
  int GetFormatType() const { return m_nFormatType; }
  void SetCustomFormat(const CString& format);
  const CString& GetCustomFormat() const { return m_strCustomFormat; }
  void SetNoEditFields(UINT mask);
  UINT GetNoEditFields() const { return m_nNoEdit; }
  void SetFastInput(BOOL on) { m_bFastInput = on; }
  BOOL IsModified() const { return (m_nState & kModified) != 0; }
  void SetModified(BOOL on) { on ? m_nState |= kModified : m_nState &= ~kModified; }
  BOOL IsTypingNumber() const { return (m_nState & kTyping) != 0; }
  BOOL HasDateFields() const { return m_bDateFormat; }
  BOOL IsInRange(const COleDateTime& value) const;

  virtual BOOL IsFastInput() { return m_bFastInput; }
  virtual BOOL Validate(COleDateTime& value, int level);
  virtual BOOL OnChanging(const COleDateTime& value);
  virtual void OnChanged();
  virtual int GetCentury(int twoDigitYear);
  virtual void LayoutGadgets();
  virtual void Draw(CDC& dc);
  virtual BOOL PopupCalendar(UINT flags, int x, int y);
  virtual CGXBPopupCalendar* CreatePopupCalendar();
  virtual BOOL OnGadgetNotify(UINT code, int fieldId, int value);

  // Gadgets.
  int GetGadgetCount() const { return static_cast<int>(m_gadgets.GetSize()); }
  CGXBDTGadget* GetGadget(int index) const { return static_cast<CGXBDTGadget*>(m_gadgets.GetAt(index)); }
  int GetFixedCount() const { return m_nFixed; }
  int GetCurrentGadget() const { return m_nCurrent; }
  CGXBDTGadget* CurrentGadget() const;
  // Makes another field current (deactivates the old one, activates the new one, scrolls it into view).
  void SetCurrentGadget(int index, BOOL activate = TRUE);
  int NextEditable(int from) const;
  int PrevEditable(int from) const;
  int FirstEditable() const { return NextEditable(m_nFixed - 1); }
  int LastEditable() const { return PrevEditable(GetGadgetCount()); }
  int GadgetAt(CPoint point) const;
  void MakeCurrentVisible();
  int GetScrollOffset() const { return m_nScroll; }
  void SetScrollOffset(int offset) { m_nScroll = offset; }
  int GetFixedWidth() const { return m_nFixedWidth; }
  CGXBPopupCalendar* GetPopupCalendar() const { return m_pPopup; }
  void DeletePopupCalendar();
  // Every field gadget whose id is in the mask takes its part of the value (0xFFFF: all).
  void UpdateGadgets(UINT mask);
  // The field gadgets built again from the format (only with a window).
  void Rebuild();
  // Builds the field gadgets (without a window too: the cell control's captive windows).
  void BuildGadgets();

  // Gadget services.
  void InvalidateGadget(CGXBDTGadget* gadget, BOOL now);
  void CaptureMouse(CGXBDTGadget* gadget);
  void ReleaseMouse(CGXBDTGadget* gadget);
  COLORREF GetBackColor() const { return m_crBack; }
  COLORREF GetRowTextColor() const { return m_crRowText; }
  COLORREF GetRowBackColor() const { return m_crRowBack; }
  void SetRowColors(COLORREF text, COLORREF back) { m_crRowText = text, m_crRowBack = back; }
  UINT GetSpinDelay() const { return m_nSpinDelay; }
  UINT GetSpinRepeat() const { return m_nSpinRepeat; }
  HFONT GetFont() const { return m_hFont; }
  void SetFontHandle(HFONT font) { m_hFont = font; }
  UINT GetArrowBitmapId() const { return m_nArrowBitmap; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ApplyDateTime(const COleDateTime& value);
  void DeleteFieldGadgets();
  CString FormatText() const;
  BOOL ChangeField(UINT code, int fieldId, int value);
  void OnKeyDownMessage(UINT key);
  void OnCharMessage(UINT ch);
  void OnSetFocusMessage();
  void OnLButtonDownMessage(UINT flags, CPoint point);
  void Paint();
  COleDateTime Reduced(const COleDateTime& value) const;

  UINT m_nState = 0;
  UINT m_nNoEdit = 0;
  BOOL m_bFastInput = TRUE;
  COleDateTime m_value;
  COleDateTime m_min{-657434.0};
  COleDateTime m_max{2958465.0};
  UINT m_nValidationMode = 0;
  int m_nFormatType = ShortDate;
  CString m_strCustomFormat;
  HFONT m_hFont = nullptr;
  int m_nCurrent = 0;
  int m_nScroll = 0;
  int m_nFixedWidth = 0;
  int m_nFixed = 0;
  CGXBDTGadget* m_pCapture = nullptr;
  CGXBPopupCalendar* m_pPopup = nullptr;
  BOOL m_bPM = FALSE;
  COLORREF m_crBack = 0;
  int m_nDisabledColor = COLOR_BTNFACE;
  UINT m_nArrowBitmap = GX_IDB_DROPDOWN_ARROW;
  BOOL m_bDateFormat = FALSE;
  CGXBDTGadgetArray m_gadgets;
  COLORREF m_crRowText = 0, m_crRowBack = 0;
  UINT m_nSpinDelay = 500, m_nSpinRepeat = 100;
};
