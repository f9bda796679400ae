// A four-function calculator drawn by itself in one window: a display line and a keypad of twenty keys,
// run by mouse and keyboard. The popup form opens beside an edit window, takes the focus, closes when it
// loses it or on Escape, and on Enter, Alt+Down or its Enter key sends the shown number to its owner
// (message 2019 with the display text).
#pragma once

#include "platform/base/CString.h"
#include "platform/base/CObArray.h"
#include "platform/framework/CWnd.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CFont.h"

constexpr UINT GX_WM_CALCULATOR_RESULT = 2019;

// One key of the keypad.
class CGXBCalcBtn : public CObject {
 public:
  static constexpr UINT kPressed = 1, kNewRow = 2, kHot = 4;
  CGXBCalcBtn() = default;
  virtual void Draw(CDC* dc);
  void Initialize(HFONT font, HBITMAP* bitmap, COLORREF color, UINT command, LPCSTR text, LPCSTR keys, int width,
                  BOOL newRow);
  void Initialize(HFONT font, HBITMAP* bitmap, COLORREF color, UINT command, LPCSTR text, char key, int width,
                  BOOL newRow);
  void SetRect(const CRect& r) { m_rect = r; }
  const CRect& GetRect() const { return m_rect; }
  BOOL MatchesKey(LPCSTR key) const { return key && *key && m_strKeys.Find(key) >= 0; }
  HBITMAP GetBitmap() const { return m_pBitmap ? *m_pBitmap : nullptr; }

  HFONT m_hFont = nullptr;
  HBITMAP* m_pBitmap = nullptr;
  COLORREF m_crText = 0;
  CString m_strText;
  CString m_strKeys;
  UINT m_nVirtualKey = 0;
  int m_nWidth = 1;
  UINT m_nFlags = 0;
  UINT m_nCommand = 0;

 private:
  CRect m_rect;
};

class CGXBCalculator : public CWnd {
  DECLARE_DYNAMIC(CGXBCalculator)

 public:
  using CGXBCalcBtnArray = CObArray;
  // Commands.
  enum : UINT { kMultiply = 1, kAdd, kSubtract, kDivide, kPercent, kEquals, kClear, kClearEntry, kDigit0,
                kDigit9 = 18, kSeparator, kBackspace };
  // The low style bits.
  static constexpr DWORD kStyleBorder = 0x0001, kStyleEtched = 0x0002, kStylePopup = 0x0010;
  // State flags.
  static constexpr UINT kCapture = 1, kLeadPending = 2, kValueSet = 4, kError = 8;

  CGXBCalculator();
  ~CGXBCalculator() override;

  BOOL Create(DWORD exStyle, DWORD style, int x, int y, CWnd* parent, UINT idOrMenu, LPVOID param = nullptr);
  void SetValue(double value);
  double GetValue() const { return m_dValue; }
  void Reset();
  void InvalidateDisplay(BOOL erase = FALSE);
  void InvalidateButton(int index, BOOL erase = FALSE);
  int HitTestButton(int x, int y) const;
  void PressButton(int index);
  static CSize DialogUnitsToPixels(int cx, int cy, CFont* font);

  const CString& GetDisplayText() const { return m_strDisplay; }
  BOOL IsError() const { return (m_nState & kError) != 0; }
  int GetButtonCount() const { return static_cast<int>(m_buttons.GetSize()); }
  CGXBCalcBtn* GetButton(int index) const { return static_cast<CGXBCalcBtn*>(m_buttons.GetAt(index)); }
  int GetDisplayCapacity() const { return m_nCapacity; }
  int GetPrecision() const { return m_nPrecision; }
  const CRect& GetDisplayRect() const { return m_rcDisplay; }

  virtual BOOL CreateButtons(CWnd* wnd);
  virtual BOOL CreateDisplayFont(CWnd* wnd);
  virtual BOOL HandleCommand(UINT command);
  virtual CString GetDecimalSeparator();
  virtual UINT GetClassStyle() { return 0; }
  virtual void Draw(CDC* dc);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The keypad and display placed for the style; the client size they need.
  CSize LayOut(DWORD style);
  // Steps 1-4 of creation without the reset: the window size for the style (frame included).
  CSize PrepareWindow(DWORD& exStyle, DWORD& style, CWnd* parent);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void UpdateDisplayText();
  void DrawDisplay(CDC* dc);
  BOOL OnDigit(UINT command);
  BOOL OnSeparator();
  BOOL OnBackspace();
  BOOL OnOperator(UINT command);
  void Beep() { MessageBeep(0xFFFFFFFF); }
  HFONT WindowFont(CWnd* wnd) const;

  char m_cLeadByte = 0;
  UINT m_nState = 0;
  double m_dValue = 0.0;
  UINT m_nPendingOp = 0;
  BOOL m_bNewEntry = TRUE;
  int m_nPrecision = 15;
  int m_nCapacity = 0;
  CRect m_rcDisplay;
  CString m_strDisplay;
  CString m_strSeparator;
  CFont m_fontButton;
  CFont m_fontDisplay;
  HBITMAP m_hEnterBitmap = nullptr;
  CBitmap m_bmpEnter;
  int m_cxUnit = 0, m_cyUnit = 0;
  int m_nTopMargin = 1, m_nLeftMargin = 4, m_nRowGap = 1, m_nColGap = 0;
  int m_nTracked = -1;
  CGXBCalcBtnArray m_buttons;
};

class CGXBPopupCalculator : public CGXBCalculator {
  DECLARE_DYNAMIC(CGXBPopupCalculator)

 public:
  // rect: the screen rectangle of the edit that opens the popup.
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  BOOL HandleCommand(UINT command) override;
  UINT GetClassStyle() override { return CS_SAVEBITS; }
  virtual void NotifyOwner();
  BOOL m_bAutoDelete = FALSE;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PostNcDestroy() override;
};
