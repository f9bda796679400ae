#include "platform/framework/CDataExchange.h"

#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <type_traits>
#include <algorithm>

#include "platform/base/CException.h"
#include "platform/framework/MessageBox.h"
#include "platform/window/WindowClassRegistry.h"

namespace {

// The prompts of failed exchanges.
constexpr const char* kParseInt = "Please enter an integer.";
constexpr const char* kParseUInt = "Please enter a positive integer.";
constexpr const char* kParseReal = "Please enter a number.";
constexpr const char* kParseByte = "Please enter an integer between 0 and 255.";
constexpr const char* kIntRange = "Please enter an integer between %1 and %2.";
constexpr const char* kRealRange = "Please enter a number between %1 and %2.";
constexpr const char* kStringSize = "Enter no more than %1 characters.";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whole-text parses: leading and trailing blanks allowed, anything else after the number refuses it
// ("12abc" is not a number here, unlike atoi).
bool ParseSigned(const CString& text, long long lo, long long hi, long long& out) {
  const char* p = text;
  while (IsBlank(*p)) ++p;
  if (!*p) return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(p, &end, 10);
  if (end == p || errno == ERANGE) return false;
  while (IsBlank(*end)) ++end;
  if (*end || v < lo || v > hi) return false;
  out = v;
  return true;
}

bool ParseUnsigned(const CString& text, unsigned long long hi, unsigned long long& out) {
  const char* p = text;
  while (IsBlank(*p)) ++p;
  if (!*p || *p == '-') return false;  // strtoull would wrap a negative number round
  errno = 0;
  char* end = nullptr;
  unsigned long long v = std::strtoull(p, &end, 10);
  if (end == p || errno == ERANGE) return false;
  while (IsBlank(*end)) ++end;
  if (*end || v > hi) return false;
  out = v;
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Where a decimal number starting at `p` ends (`p` when none starts there): a sign, digits with at most one '.'
// among or around them, and an exponent of 'e' or 'E', a sign and digits. The C library's other forms
// (hexadecimal "0x10" and "0x1p4", "inf", "nan") are no numbers a user types into a field.
const char* DecimalEnd(const char* p) {
  const char* q = p;
  if (*q == '+' || *q == '-') ++q;
  const char* digits = q;
  while (IsDigit(*q)) ++q;
  bool any = q != digits;
  if (*q == '.') {
    const char* fraction = ++q;
    while (IsDigit(*q)) ++q;
    any = any || q != fraction;
  }
  if (!any) return p;
  if (*q == 'e' || *q == 'E') {
    const char* e = q + 1;
    if (*e == '+' || *e == '-') ++e;
    if (IsDigit(*e)) {
      while (IsDigit(*e)) ++e;
      q = e;
    }
  }
  return q;
}

// The classic exchange reads numbers in the C locale: '.' is the decimal point whatever locale the process
// has set, so a value the dialog wrote itself always reads back.
bool ParseReal(const CString& text, double& out) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  const char* p = text;
  while (IsBlank(*p)) ++p;
  const char* decimal = DecimalEnd(p);
  if (decimal == p) return false;
  errno = 0;
  char* end = nullptr;
  double v = strtod_l(p, &end, cLocale);
  if (end != decimal || !std::isfinite(v) || (errno == ERANGE && std::fabs(v) > 1.0)) return false;
  while (IsBlank(*end)) ++end;
  if (*end) return false;
  out = v;
  return true;
}

[[noreturn]] void Refuse(CDataExchange* pDX, const char* prompt) {
  AfxMessageBox(prompt, MB_ICONEXCLAMATION);
  pDX->Fail();
}

[[noreturn]] void RefuseRange(CDataExchange* pDX, const char* format, const CString& lo, const CString& hi) {
  CString prompt;
  const char* texts[] = {lo, hi};
  AfxFormatStrings(prompt, format, texts, 2);
  Refuse(pDX, prompt);
}

CString WindowText(HWND hwnd) {
  CString text;
  CWnd::FromHandle(hwnd)->GetWindowText(text);
  return text;
}

// Sets the text only when it differs, so that an unchanged control does not flicker or lose its caret.
void SetTextIfChanged(HWND hwnd, const CString& text) {
  if (WindowText(hwnd) != text) ::SetWindowText(hwnd, text);
}

template <class T>
void ExchangeSigned(CDataExchange* pDX, int nIDC, T& value, const char* prompt) {
  HWND hwnd = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    long long parsed = 0;
    if (!ParseSigned(WindowText(hwnd), std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), parsed))
      Refuse(pDX, prompt);
    value = static_cast<T>(parsed);
  } else {
    CString text;
    text.Format("%lld", static_cast<long long>(value));
    SetTextIfChanged(hwnd, text);
  }
}

template <class T>
void ExchangeUnsigned(CDataExchange* pDX, int nIDC, T& value, const char* prompt) {
  HWND hwnd = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    unsigned long long parsed = 0;
    if (!ParseUnsigned(WindowText(hwnd), std::numeric_limits<T>::max(), parsed)) Refuse(pDX, prompt);
    value = static_cast<T>(parsed);
  } else {
    CString text;
    text.Format("%llu", static_cast<unsigned long long>(value));
    SetTextIfChanged(hwnd, text);
  }
}

template <class T>
void CheckRange(CDataExchange* pDX, T value, T lo, T hi, const char* format) {
  if (!pDX->m_bSaveAndValidate || (value >= lo && value <= hi)) return;
  CString a, b;
  if constexpr (std::is_floating_point_v<T>) {
    a = sizeof(T) == sizeof(float) ? plat::FormatDdxFloat(static_cast<float>(lo)) : plat::FormatDdxDouble(lo);
    b = sizeof(T) == sizeof(float) ? plat::FormatDdxFloat(static_cast<float>(hi)) : plat::FormatDdxDouble(hi);
  } else if constexpr (std::is_signed_v<T>) {
    a.Format("%lld", static_cast<long long>(lo));
    b.Format("%lld", static_cast<long long>(hi));
  } else {
    a.Format("%llu", static_cast<unsigned long long>(lo));
    b.Format("%llu", static_cast<unsigned long long>(hi));
  }
  RefuseRange(pDX, format, a, b);
}

}  // namespace

namespace plat {
CString FormatDdxDouble(double value) {
  CString text;
  text.Format("%.15g", value);
  return text;
}
CString FormatDdxFloat(float value) {
  CString text;
  text.Format("%.6g", static_cast<double>(value));
  return text;
}
std::optional<double> ReadDdxDouble(const CString& text) {
  double read = 0;
  if (!ParseReal(text, read)) return std::nullopt;
  return read;
}
std::optional<int> ReadDdxInt(const CString& text) {
  long long read = 0;
  if (!ParseSigned(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), read)) return std::nullopt;
  return static_cast<int>(read);
}
std::optional<double> ShownDdxDouble(double value) { return ReadDdxDouble(FormatDdxDouble(value)); }
}  // namespace plat

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND hwnd = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
  if (!hwnd) AfxThrowNotSupportedException();
  m_hWndLastControl = hwnd;
  m_idLastControl = static_cast<UINT>(nIDC);
  m_bEditLastControl = FALSE;
  return hwnd;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND hwnd = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return hwnd;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_hWndLastControl && ::IsWindow(m_hWndLastControl)) {
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
  }
  AfxThrowUserException();
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hwnd = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    value = WindowText(hwnd);
  else
    SetTextIfChanged(hwnd, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) { ExchangeSigned(pDX, nIDC, value, kParseInt); }
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
  // long is 32 bits in the classic model; values outside that range are refused like any bad integer.
  HWND hwnd = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    long long parsed = 0;
    if (!ParseSigned(WindowText(hwnd), std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max(), parsed))
      Refuse(pDX, kParseInt);
    value = static_cast<long>(parsed);
  } else {
    CString text;
    text.Format("%ld", value);
    SetTextIfChanged(hwnd, text);
  }
}
void DDX_Text(CDataExchange* pDX, int nIDC, short& value) { ExchangeSigned(pDX, nIDC, value, kParseInt); }
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) { ExchangeUnsigned(pDX, nIDC, value, kParseUInt); }
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value) { ExchangeUnsigned(pDX, nIDC, value, kParseByte); }

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  HWND hwnd = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    double parsed = 0;
    if (!ParseReal(WindowText(hwnd), parsed)) Refuse(pDX, kParseReal);
    value = parsed;
  } else {
    SetTextIfChanged(hwnd, plat::FormatDdxDouble(value));
  }
}

void plat::DDX_TextAsShown(CDataExchange* pDX, int nIDC, double& value) {
  double read = value;
  DDX_Text(pDX, nIDC, read);
  if (!pDX->m_bSaveAndValidate) return;
  const std::optional<double> shown = ShownDdxDouble(read);
  if (!shown) Refuse(pDX, kParseReal);
  value = *shown;
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value) {
  HWND hwnd = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    double parsed = 0;
    if (!ParseReal(WindowText(hwnd), parsed) || std::fabs(parsed) > std::numeric_limits<float>::max())
      Refuse(pDX, kParseReal);
    value = static_cast<float>(parsed);
  } else {
    SetTextIfChanged(hwnd, plat::FormatDdxFloat(value));
  }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND hwnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<int>(::SendMessage(hwnd, BM_GETCHECK, 0, 0));
  } else {
    if (value < 0 || value > 2) value = 0;  // an unknown state shows unchecked
    ::SendMessage(hwnd, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  // nIDC names the first radio of its group; the group runs in creation order to the next WS_GROUP.
  HWND hwnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = -1;
  int index = 0;
  do {
    if (::SendMessage(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (pDX->m_bSaveAndValidate) {
        if (::SendMessage(hwnd, BM_GETCHECK, 0, 0) != BST_UNCHECKED) value = index;
      } else {
        ::SendMessage(hwnd, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++index;
    }
    hwnd = ::GetWindow(hwnd, GW_HWNDNEXT);
  } while (hwnd && !(::GetWindowLong(hwnd, GWL_STYLE) & WS_GROUP));
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hwnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessage(hwnd, CB_GETCURSEL, 0, 0));
  else
    ::SendMessage(hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hwnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = WindowText(hwnd);
  } else if (value.IsEmpty() ||
             ::SendMessage(hwnd, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString())) == -1) {
    // Not in the list (or nothing to look for: an empty prefix would pick the first item): a drop-down
    // shows the text in its edit, a drop-down list keeps its selection.
    ::SetWindowText(hwnd, value);
  }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hwnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessage(hwnd, LB_GETCURSEL, 0, 0));
  else
    ::SendMessage(hwnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hwnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    int sel = static_cast<int>(::SendMessage(hwnd, LB_GETCURSEL, 0, 0));
    value.Empty();
    if (sel >= 0) {
      int length = static_cast<int>(::SendMessage(hwnd, LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0));
      std::string buffer(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
      ::SendMessage(hwnd, LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(buffer.data()));
      value = buffer.c_str();
    }
  } else {
    ::SendMessage(hwnd, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString()));
  }
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value) {
  HWND hwnd = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    value = static_cast<int>(::SendMessage(hwnd, TBM_GETPOS, 0, 0));
  else
    ::SendMessage(hwnd, TBM_SETPOS, TRUE, value);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd) return;
  HWND hwnd = pDX->PrepareCtrl(nIDC);
  if (!rControl.SubclassWindow(hwnd)) AfxThrowNotSupportedException();
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
  if (!pDX->m_bSaveAndValidate) {
    // Loading sets the control's limit so that the user cannot type more.
    if (pDX->m_hWndLastControl) {
      char cls[32];
      ::GetClassName(pDX->m_hWndLastControl, cls, sizeof cls);
      UINT limit = plat::SameName(cls, "COMBOBOX") ? CB_LIMITTEXT : EM_LIMITTEXT;
      ::SendMessage(pDX->m_hWndLastControl, limit, static_cast<WPARAM>(nChars), 0);
    }
    return;
  }
  if (value.GetLength() > nChars) {
    CString count;
    count.Format("%d", nChars);
    CString prompt;
    const char* texts[] = {count};
    AfxFormatStrings(prompt, kStringSize, texts, 1);
    Refuse(pDX, prompt);
  }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) { CheckRange(pDX, value, minVal, maxVal, kIntRange); }
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) { CheckRange(pDX, value, minVal, maxVal, kIntRange); }
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal) { CheckRange(pDX, value, minVal, maxVal, kIntRange); }
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal) { CheckRange(pDX, value, minVal, maxVal, kIntRange); }
void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal) { CheckRange(pDX, value, minVal, maxVal, kIntRange); }
void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal) { CheckRange(pDX, value, minVal, maxVal, kIntRange); }
void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal) {
  CheckRange(pDX, value, minVal, maxVal, kRealRange);
}
void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal) {
  CheckRange(pDX, value, minVal, maxVal, kRealRange);
}
