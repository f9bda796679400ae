// An input mask and the text typed under it, without a window. Each mask position is either a literal or an
// input position with a placeholder that says which characters it takes:
//   #  a digit      &  any character   ?  a letter   A  a letter or digit
//   L  a letter, stored in lower case   U  a letter, stored in upper case
//   \  the next mask character is a literal (takes no position)
// anything else (and every double-byte character) is a literal. An input position holds a typed character
// or the prompt ("_" unless set), which marks it empty; a typed space empties a position too.
// Without a mask the data is free text of at most the maximum length ("free-text mode").
//
// Positions are counted in characters; a double-byte character (behind the platform's lead-byte test) is one
// position. CharToBytePos and ByteToCharPos map them to byte offsets of the display text by adding up the
// elements' byte lengths, which is the identity on a single-byte system, so no system switch is consulted.
#pragma once

#include <vector>

#include "platform/base/CObject.h"
#include "platform/base/CString.h"

class CGXMaskData : public CObject {
  DECLARE_DYNCREATE(CGXMaskData)

 public:
  CGXMaskData() = default;

  virtual void ClearMask();
  virtual void SetMask(LPCTSTR mask);
  virtual void GetData(CString& out, int from = 0, int to = -1, BOOL trimRight = TRUE) const;
  virtual int PushData(const CString& text, int start, BOOL insert);
  virtual void GetDisplayText(CString& out, int from = 0, int to = -1) const;
  virtual int SetDisplayText(const CString& text, int start, BOOL insert);
  virtual BOOL IsValidInput(int pos, CString& ch) const;
  virtual int GetNextInputPos(int pos) const;
  virtual int GetPrevInputPos(int pos) const;
  virtual int GetValidCaretPos(int pos) const;
  virtual BOOL InsertAt(int pos, const CString& ch, int& newPos);
  virtual void DeleteRange(int end, int start);
  virtual BOOL IsValid() const;
  virtual BOOL IsEmpty() const { return m_mask.empty(); }
  virtual int GetDataLength() const { return static_cast<int>(m_data.size()); }
  virtual int CharToBytePos(int pos) const;
  virtual int ByteToCharPos(int pos) const;
  virtual void ClearData();
  virtual int GetMaxLength() const { return m_nMaxLength; }
  virtual void SetMaxLength(int n) { m_nMaxLength = n; }
  virtual BOOL IsMaskChar(char c) const;
  virtual BOOL IsLiteral(int pos) const;

  BOOL SetPromptChar(const CString& prompt, BOOL updateData);
  const CString& GetPromptChar() const { return m_strPrompt; }
  int GetMaskLength() const { return static_cast<int>(m_mask.size()); }
  BOOL IsFreeText() const { return m_bFreeText && m_mask.empty(); }
  // The data element of a position (the literal, the typed character or the prompt).
  const CString& DataAt(int pos) const { return m_data[static_cast<size_t>(pos)]; }

  // The input positions from `from` up to `to` (not included): every position of a free text, the
  // positions that are no literal of a mask.
  int InputPositionsBetween(int from, int to) const;

  // Puts a text in place of the positions from `start` to `end` (not included) whole or not at all: read as a
  // shown text (its literals matching the mask's, from `start` when that is a literal) unless `rawOnly`, else
  // as typed characters. Answers the position after it, or -1 with the data as it was when a character is
  // refused, one is left over past the last position ("12a45" is not "12"), or a mask takes no character of
  // a text that is not empty (blanks, prompts and literals only).
  int ReplaceRange(const CString& text, int start, int end, BOOL rawOnly);

  // The characters of a text, a lead byte joined with its trail byte.
  static std::vector<CString> SplitChars(const CString& text);

 private:
  int LastInputPos() const;
  // The last input position holding a character, or -1.
  int LastFilledPos() const;
  BOOL Holds(int pos) const;  // an input position holding a character (not the prompt)

  std::vector<CString> m_mask;
  std::vector<BYTE> m_literal;
  std::vector<CString> m_data;
  CString m_strPrompt = "_";
  BOOL m_bFreeText = TRUE;
  int m_nMaxLength = 0x7fffffff;
};
