#include "platform/framework/CEdit.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CEdit, CWnd)

void CEdit::GetSel(int& nStartChar, int& nEndChar) const {
  DWORD start = 0;
  DWORD end = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  nStartChar = static_cast<int>(start);
  nEndChar = static_cast<int>(end);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll) {
  SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
  if (!bNoScroll) SendMessage(EM_SCROLLCARET);
}

// EM_GETLINE reads the buffer size from the buffer's first word; the caller's size goes there first.
int CEdit::GetLine(int nIndex, LPSTR lpszBuffer, int nMaxLength) const {
  if (nMaxLength <= 0) return 0;
  if (nMaxLength < static_cast<int>(sizeof(WORD))) {
    char wide[sizeof(WORD)];
    const WORD size = static_cast<WORD>(sizeof(WORD));
    std::memcpy(wide, &size, sizeof size);
    const int got =
        static_cast<int>(SendMessage(EM_GETLINE, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(wide)));
    const int n = got < nMaxLength ? got : nMaxLength;
    std::memcpy(lpszBuffer, wide, static_cast<std::size_t>(n));
    return n;
  }
  const WORD size = static_cast<WORD>(nMaxLength > 0xFFFF ? 0xFFFF : nMaxLength);
  std::memcpy(lpszBuffer, &size, sizeof size);
  return static_cast<int>(SendMessage(EM_GETLINE, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszBuffer)));
}

int CEdit::GetLine(int nIndex, LPSTR lpszBuffer) const {
  WORD size = 0;
  std::memcpy(&size, lpszBuffer, sizeof size);  // the classic form: the caller put the size there
  return GetLine(nIndex, lpszBuffer, size);
}

CPoint CEdit::PosFromChar(UINT nChar) const {
  const LRESULT pos = SendMessage(EM_POSFROMCHAR, nChar);
  return CPoint(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)));
}
