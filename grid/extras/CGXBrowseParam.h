// The parameter object of record-browsing grids: the base parameters with the browsing state that such a grid
// reads and writes (positions, index arrays, a limit, owned objects), archived with schema 2 after the base
// parameters: the schema, the archived flag as one byte and the archived object.
#pragma once

#include <memory>
#include <vector>

#include "grid/core/CGXGridParam.h"
#include "platform/base/CDWordArray.h"

class CGXBrowseParam : public CGXGridParam {
  DECLARE_SERIAL(CGXBrowseParam)

 public:
  static constexpr WORD kSchema = 2;

  CGXBrowseParam();
  ~CGXBrowseParam() override;

  // Throws the archive exception (bad schema) for a schema above 2.
  void Serialize(CArchive& ar) override;
  using CGXGridParam::operator=;
  // The base assignment, then the four browsing values and the limit.
  virtual void CopyBrowseSettings(const CGXBrowseParam& other);

  // One entry of the entry table: a name and the object it owns.
  struct Entry {
    CString name;
    std::unique_ptr<CObject> object;
  };

  LONG m_nValue1 = 0, m_nValue2 = 0, m_nValue3 = 255, m_nValue4 = 1;
  LONG m_nValue5 = 0, m_nValue6 = 0;
  BOOL m_bArchived = FALSE;  // archived as one byte
  CDWordArray m_awIndex1, m_awIndex2;
  std::vector<Entry> m_entries;
  LONG m_nValue7 = 0, m_nValue8 = 0, m_nValue9 = 0;
  std::unique_ptr<CObject> m_pOwned;
  BOOL m_bFlag = TRUE;
  LONG m_nPosition1 = -1, m_nPosition2 = -1;
  LONG m_nLimit = 0x7FFFFFFF;
  std::unique_ptr<CObject> m_pArchivedObject;
};
