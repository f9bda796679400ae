// Dialog data exchange: DDX_ functions move values between members and controls, DDV_ functions validate.
//
// UpdateData(TRUE) reads the controls (m_bSaveAndValidate); UpdateData(FALSE) fills them. A value that
// does not parse or validate shows its prompt ("Please enter an integer.", "Please enter a number between
// %1 and %2." ...), puts the focus on the control (selecting an edit's text) and ends the exchange:
// UpdateData returns FALSE and the members keep what they had for the failed and later controls.
#pragma once

#include "platform/base/CString.h"
#include "platform/framework/CWnd.h"

#include <optional>

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  HWND m_hWndLastControl = nullptr;
  BOOL m_bEditLastControl = FALSE;
  UINT m_idLastControl = 0;

  // The control's window; a missing control is a programming error (CNotSupportedException).
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Focuses the last control (selecting an edit's text) and aborts the exchange with CUserException.
  [[noreturn]] void Fail();
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Slider(CDataExchange* pDX, int nIDC, int& value);
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);
void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal);
void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal);

namespace plat {
// The texts numbers take in controls: integers in decimal, doubles with 15 significant digits, floats 6.
CString FormatDdxDouble(double value);
CString FormatDdxFloat(float value);
// What DDX_Text reads from an edit holding `text` (the whole text one number, blanks at its ends allowed: a decimal
// number for a double, finite; a decimal integer for an int); none when it refuses the text with its prompt.
std::optional<double> ReadDdxDouble(const CString& text);
std::optional<int> ReadDdxInt(const CString& text);
// The number DDX_Text reads back from an edit that shows `value`: the value rounded to the digits FormatDdxDouble
// shows; none when that text is no number the exchange reads (a value that rounds beyond the largest double).
std::optional<double> ShownDdxDouble(double value);
// DDX_Text for a double kept as its edit shows it: the number read is rounded as ShownDdxDouble rounds it, so that
// what the dialog judges, stores and shows again is one value. A number whose shown text would read back as no
// number is refused with the prompt of text that is no number ("Please enter a number."); the member then keeps
// what it had.
void DDX_TextAsShown(CDataExchange* pDX, int nIDC, double& value);
}  // namespace plat
