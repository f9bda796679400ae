// A single-line window that edits one monetary amount digit by digit. It holds a value (a magnitude and a
// separate negative flag), shows it in the text its Format produces, and never lets the user edit free
// text: every edit builds a candidate text, sets it (which parses it back and formats it again) and puts the
// caret back by the digit the user was working on. It paints its own text, selection, caret and decimal
// line, keeps a one-step undo record, has a context menu of edit commands and answers the edit-control
// messages. Its drop-down button opens the popup calculator.
#pragma once

#include "grid/extras/CGXBDropEdit.h"
#include "platform/base/CString.h"

class CMenu;

class CGXBCurrencyEdit : public CGXBDropEdit {
  DECLARE_DYNAMIC(CGXBCurrencyEdit)

 public:
  // The number format: how an amount is shown and read back. Amounts are a magnitude and a negative flag.
  class Format {
   public:
    explicit Format(BOOL fromLocale = TRUE);
    virtual ~Format() = default;
    Format(const Format&) = default;

    // Reads the user locale's monetary settings (a missing or empty entry keeps the built-in default).
    void ReadLocale();
    // Text back to an amount: FALSE for unbalanced parentheses, no digit, or a non-digit in the number.
    virtual BOOL ParseValue(const CString& text, double& value, BOOL& negative) const;
    virtual void FormatValue(double value, CString& text, BOOL negative) const;
    // Index of the first c (NUL: the decimal separator) in the text; -1 when absent.
    virtual int FindDecimalSeparator(const char* text, char c = '\0') const;
    // The digit run of a formatted text (start and end index of its last digit); FALSE without a digit.
    virtual BOOL FindNumber(const char* text, int& start, int& end) const;
    virtual Format& operator=(const Format& other);
    virtual bool operator==(const Format& other) const;
    virtual bool operator!=(const Format& other) const { return !(*this == other); }

    void InsertGroupSeparators(CString& text, int groupSize) const;
    // A digit other than '0' is refused.
    BOOL SetPaddingChar(char c);
    char GetPaddingChar() const { return m_cPadding; }

    void SetBackgroundColor(COLORREF c) { m_crBackground = c, m_nColorFlags |= 1; }
    void SetNegativeColor(COLORREF c) { m_crNegative = c, m_nColorFlags |= 2; }
    void SetPositiveColor(COLORREF c) { m_crPositive = c, m_nColorFlags |= 4; }
    BOOL GetBackgroundColor(COLORREF& c) const { return GetColor(1, m_crBackground, c); }
    BOOL GetNegativeColor(COLORREF& c) const { return GetColor(2, m_crNegative, c); }
    BOOL GetPositiveColor(COLORREF& c) const { return GetColor(4, m_crPositive, c); }

    int m_bLeadingZero = 1;
    int m_bDecimalLine = 0;
    int m_bKeepValue = 0;
    int m_bPadBeforeGrouping = 0;
    CString m_strSymbol = "$";
    CString m_strGrouping = "3;0";
    char m_cThousandSep = ',';
    char m_cDecimalSep = '.';
    char m_cPadding = ' ';
    COLORREF m_crBackground = 0, m_crNegative = 0, m_crPositive = 0;
    COLORREF m_crDecimalLine = 0;
    int m_nColorFlags = 0;
    int m_nPositiveFormat = 0;
    int m_nNegativeFormat = 0;
    // Fixed width of the integer part; -1 is unlimited.
    int m_nIntegerDigits = -1;
    int m_nFractionDigits = 2;

   private:
    BOOL GetColor(int flag, COLORREF stored, COLORREF& out) const {
      if (!(m_nColorFlags & flag)) return FALSE;
      out = stored;
      return TRUE;
    }
  };

  CGXBCurrencyEdit();
  ~CGXBCurrencyEdit() override;

  // Value and format.
  void SetValue(double value, BOOL redraw = TRUE);
  void SetAbsValue(double magnitude, BOOL negative, BOOL redraw = TRUE);
  void GetValue(double& value) const { value = m_bNegative ? -m_dValue : m_dValue; }
  double GetAbsValue() const { return m_dValue; }
  BOOL IsNegative() const { return m_bNegative; }
  void SetFormat(const Format& format);
  void GetFormat(Format& format) const { format = *m_pFormat; }
  const Format& GetFormatRef() const { return *m_pFormat; }
  // Sets the text as it is (not parsed).
  void SetWindowTextUnformatted(const char* text);
  void InvalidateEdit(BOOL erase = FALSE);

  // Selection, caret, alignment.
  BOOL SetSel(int start, int end);
  void GetSelRange(int& start, int& end) const { start = m_nSelStart, end = m_nSelEnd; }
  BOOL HasSelection() const { return m_nSelStart != -1 && m_nSelEnd != m_nSelStart; }
  int GetCaret() const { return m_nCaret; }
  void SetTextAlignment(int index);
  int GetTextAlignment() const;
  BOOL IsReadOnly() const { return (GetStyle() & ES_READONLY) != 0; }
  void SetReadOnly(BOOL readOnly);
  void BuildReplacedText(const char* insert, CString& result) const;
  void GetSelectedText(CString& result) const;
  void SetCaretPosition(int pos, BOOL select);
  int CharFromPoint(CPoint pt);
  BOOL IsNumberSelected(BOOL* more = nullptr) const;
  void GetTextRect(CRect& r);
  BOOL GetOverwrite() const { return m_bOverwrite; }
  BOOL GetAppendMode() const { return m_bAppendMode; }
  void SetAppendMode(BOOL on) { m_bAppendMode = on; }
  BOOL GetPadBeforeGrouping() const { return m_bPadBeforeGrouping; }
  void SetPadBeforeGrouping(BOOL on) { m_bPadBeforeGrouping = on; }
  int GetLeftMargin() const { return m_nLeftMarginPx; }
  int GetRightMargin() const { return m_nRightMarginPx; }
  BOOL CanUndo() const { return m_bCanUndo; }

  // Colours.
  COLORREF GetEditBackgroundColor() const;
  COLORREF GetEditTextColor() const;

  // Clipboard.
  static BOOL GetClipboardText(CString& text);
  static BOOL SetClipboardText(const char* text);

  // Digit functions on a text.
  static int CountDigits(const char* text);
  static int FindNthDigit(const char* text, int n);
  static int CountDigitsBefore(const char* text, int pos);
  static int LastDigitOrdinalBefore(const char* text, int pos);
  static BOOL IsAllDigits(const char* text);
  static int StripNonDigits(CString& text);
  // The digits of a text from its first one other than 0; an amount of more than kExactDigits of them is
  // not held exactly by a double (12345678901234567 reads back as ...568), so no amount may have more.
  static int SignificantDigits(const CString& text);
  static constexpr int kExactDigits = 15;

  // The overridable steps.
  virtual BOOL ShowCalculator();
  virtual BOOL PreparePasteText(CString& text);
  virtual CMenu* CreateContextMenu();
  virtual void DestroyContextMenu(CMenu* menu);
  virtual void DoBackspace();
  virtual void DoDelete();
  virtual void DoInsert(const char* text);
  virtual void DrawBackground(CDC* dc);
  virtual void SaveUndoState(const char* text, int caret);
  virtual void CreateEditCaret(int pos);
  virtual void ReleaseEditCaret();
  virtual void DrawDecimalLine(CDC* dc, int x);
  virtual void ToggleSign();
  virtual void ToggleInsertMode() { m_bOverwrite = !m_bOverwrite; }

  // The edit commands (also the context menu's).
  void OnEditUndo();
  void OnEditCut();
  void OnEditCopy();
  void OnEditPaste();
  void OnEditClear();
  void OnEditSelectAll() { SetSel(0, -1); }

  // The text-setting step: with parsing, TRUE when the text parsed.
  LRESULT OnSetText(LPCSTR text);
  void OnChar(UINT ch);
  void OnKeyDown(UINT key);
  void DrawContents(CDC* dc);
  void NotifyParent(UINT code);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  LPCSTR WindowClassName() const override;
  void OnButtonClicked() override { ShowCalculator(); }
  void OnPaint();
  void MoveCaretIntoNumber();
  // Sets a candidate text with redraw off; the window parses and formats it.
  void SetCandidate(const CString& text);
  void AfterEdit(const CString& oldText, int oldCaret, BOOL hadSelection);
  CString WindowText() const;
  void OnRButtonUp(CPoint pt);
  HFONT CurrentFont() const;

  BOOL m_bAppendMode = FALSE;
  BOOL m_bPadBeforeGrouping = FALSE;
  BOOL m_bNegative = FALSE;
  BOOL m_bCanUndo = FALSE;
  BOOL m_bParseOnSet = TRUE;
  BOOL m_bRedraw = TRUE;
  BOOL m_bMouseSelecting = FALSE;
  BOOL m_bOverwrite = FALSE;
  CString m_strUndoText;
  int m_nUndoCaret = -1, m_nUndoSelStart = -1, m_nUndoSelEnd = 0;
  double m_dValue = 0.0;
  Format* m_pFormat;
  HFONT m_hFont = nullptr;
  int m_nCaret = 0;
  int m_nSelStart = -1, m_nSelEnd = 0;
  int m_nRightMarginPx = 0, m_nLeftMarginPx = 0;
};

// The window class "CGXBCurrencyEdit": the default window procedure, which neither edits nor draws text.
// Registered once per module instance; FALSE when registration failed.
BOOL GXRegisterCurrencyEditClass(HINSTANCE instance);
