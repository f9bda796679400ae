#include "platform/framework/CRichEditCtrl.h"

#include <string>

IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

void CRichEditCtrl::GetSel(long& nStartChar, long& nEndChar) const {
  CHARRANGE cr{};
  GetSel(cr);
  nStartChar = cr.cpMin;
  nEndChar = cr.cpMax;
}

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar) {
  CHARRANGE cr{static_cast<LONG>(nStartChar), static_cast<LONG>(nEndChar)};
  SetSel(cr);
}

CString CRichEditCtrl::GetSelText() const {
  CHARRANGE cr{};
  GetSel(cr);
  std::string buffer(static_cast<size_t>(cr.cpMax - cr.cpMin) + 1, '\0');
  const auto n = static_cast<size_t>(SendMessage(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data())));
  buffer.resize(n);
  return CString(buffer.c_str());
}
