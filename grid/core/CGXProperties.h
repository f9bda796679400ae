// A grid's display and print settings: lines and headers, the named colours the grid paints with, user
// properties (named values kept as styles), page set-up and the header and footer tables.
//
// This is the model and its archive form; what the print forwarders reach and the profile belong to the
// printing and profile features.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "grid/core/CGXData.h"
#include "platform/base/geometry.h"

class CDC;
class CDocument;
class CPrintInfo;
class CGXAbstractGridPrintImp;
class CGXGridParam;
class CGXStylesMap;

struct GXUserPropertyEntry {
  WORD id = 0;
  CString name;
  std::unique_ptr<CGXStyle> value;
};

class CGXProperties : public CObject {
  DECLARE_SERIAL(CGXProperties)

 public:
  CGXProperties();
  // Builds the defaults, then assigns through the installed parameter copy.
  CGXProperties(const CGXProperties& other);
  CGXProperties& operator=(const CGXProperties& other);
  ~CGXProperties() override;

  void Serialize(CArchive& ar) override;
  // Through the installed profile implementation; nothing (FALSE) without it. Reading the properties
  // back is the profile feature's.
  virtual BOOL WriteProfile() const;
  // Through the installed profile implementation; FALSE (nothing read) without it or without the section.
  virtual BOOL ReadProfile();

  // The grid's drawing decisions: the print setting while printing, else the display setting.
  BOOL DrawsHorizontalLines(BOOL printing) const { return printing ? m_bPrintHorzLines : m_bHorzLines; }
  BOOL DrawsVerticalLines(BOOL printing) const { return printing ? m_bPrintVertLines : m_bVertLines; }
  // Black text on white: only while printing, and only when asked.
  BOOL PrintsBlackAndWhite(BOOL printing) const { return printing && m_bBlackWhite; }

  // Print forwarders: through the print feature of the first grid that uses these properties. Without a
  // grid or a print feature the texts are empty and the numbers 0.
  void PrintHeaderAndFooter(CDC* pDC, CPrintInfo* info, CDocument* document, CGXGridParam* param);
  int CalcHeaderFooterHeight(CDC* pDC, const CGXData& table, CGXStylesMap* stylesMap);
  void DrawHeaderFooter(CDC* pDC, CPrintInfo* info, const CRect& rect, const CGXData& table,
                        CGXStylesMap* stylesMap);
  // The value of token `token`; a "$D" takes its format in braces from the front of `rest`.
  virtual CString GetTokenArgs(int token, CString& rest);
  // The text with the tokens replaced by their values.
  virtual CString SubstTokenText(const CString& text);
  // The format in braces cut from the front of the text.
  CString SplitHeaderFooterText(CString& text);

  // Registers user property 51005 "Current Cell." (the frame kinds, as a drop-down list).
  virtual void AddDefaultUserProperties();

  int AddToken(LPCTSTR token);
  const std::vector<CString>& GetTokens() const { return m_tokens; }
  // The value of each token, parallel to the token list (the print feature sets them before it draws a
  // header or footer); empty for a token without one.
  const CString& GetTokenValue(int token) const;
  void SetTokenValue(int token, const CString& value);

  // Manual page breaks: the first columns (rows) of pages, ascending; kept in the two DWORD lists.
  std::vector<DWORD>& GetColBreaks() { return m_dwList1; }
  std::vector<DWORD>& GetRowBreaks() { return m_dwList2; }
  const std::vector<DWORD>& GetColBreaks() const { return m_dwList1; }
  const std::vector<DWORD>& GetRowBreaks() const { return m_dwList2; }

  // An existing name keeps its index and colour.
  int AddColorProperty(LPCTSTR name, COLORREF color);
  int AddColorProperty(UINT id, COLORREF color);
  // 0 for an index at or past the end.
  COLORREF GetColor(int index) const;
  int GetColorCount() const { return static_cast<int>(m_colors.size()); }
  const std::vector<CString>& GetColorNames() const { return m_colorNames; }
  std::vector<COLORREF>& GetColors() { return m_colors; }

  // An existing entry's value is replaced; a new one is named by its string resource, "USERPROP%u" else.
  void AddUserProperty(WORD id, const CGXStyle& value);
  // The value, or an empty style for an unknown id.
  const CGXStyle& GetUserProperty(WORD id) const;
  const std::map<WORD, std::unique_ptr<GXUserPropertyEntry>>& GetUserProperties() const { return m_userProps; }
  // For the readers: an entry with a name, created when missing.
  GXUserPropertyEntry& UserPropertyEntry(WORD id, const CString& name);
  // Empties the colour names and colours and deletes every user property.
  void RemoveAllUserProperties();

  CGXData& GetHeaderTable() { return m_header; }
  CGXData& GetFooterTable() { return m_footer; }
  const CGXData& GetHeaderTable() const { return m_header; }
  const CGXData& GetFooterTable() const { return m_footer; }

  // Display settings.
  BOOL m_b3dHeaders = TRUE;
  BOOL m_bVertLines = TRUE;
  BOOL m_bHorzLines = TRUE;
  BOOL m_bMarkRowHeader = TRUE;
  BOOL m_bMarkColHeader = TRUE;
  BOOL m_bFurtherFlag = FALSE;
  // Whether the grid on these properties prints now (the print feature and the header/footer drawing ask
  // here). Set by the grid; neither archived, copied nor written to the profile.
  BOOL m_bPrinting = FALSE;
  CString m_sSection = "Grid";
  DWORD m_nZoom = 100;
  // Print settings. Margins in the order the "Margins" profile text lists them.
  LONG m_nMargins[4] = {72, 72, 72, 72};
  BOOL m_bCenterHorizontal = TRUE;
  BOOL m_bCenterVertical = FALSE;
  BOOL m_bPrintColHeaders = TRUE;
  BOOL m_bPrintHorzLines = TRUE;
  BOOL m_bPrintRowHeaders = TRUE;
  BOOL m_bPrintVertLines = TRUE;
  DWORD m_nPageOrder = 0;
  BOOL m_bBlackWhite = TRUE;
  BOOL m_bPrintFrame = TRUE;
  LONG m_nDistances[2] = {72, 72};
  LONG m_nFirstPage = -1;
  WORD m_wSetting1 = 0;
  WORD m_wSetting2 = 0;
  std::vector<DWORD> m_dwList1;
  std::vector<DWORD> m_dwList2;
  std::vector<CString> m_frameNames;
  std::vector<CString> m_texts2;

  // Copies everything the parameter copy copies (used by it).
  void CopyFrom(const CGXProperties& other);

 private:
  void BuildHeaderFooter();
  CGXAbstractGridPrintImp* PrintImp() const;

  std::vector<CString> m_tokens;
  std::vector<CString> m_tokenValues;
  std::map<WORD, std::unique_ptr<GXUserPropertyEntry>> m_userProps;
  std::vector<CString> m_colorNames;
  std::vector<COLORREF> m_colors;
  CGXData m_header;
  CGXData m_footer;
};
