#include "grid/extras/CGXBrowseParam.h"

#include "platform/base/CArchive.h"
#include "platform/base/CArchiveException.h"

IMPLEMENT_SERIAL(CGXBrowseParam, CGXGridParam, 0)

CGXBrowseParam::CGXBrowseParam() {
  // Views browsing the same records follow each other's current record.
  m_bHintCurrentCellMoves = TRUE;
}

CGXBrowseParam::~CGXBrowseParam() = default;

void CGXBrowseParam::Serialize(CArchive& ar) {
  CGXGridParam::Serialize(ar);
  if (ar.IsStoring()) {
    ar << kSchema;
    ar << static_cast<BYTE>(m_bArchived ? 1 : 0);
    ar.WriteObject(m_pArchivedObject.get());
    return;
  }
  WORD schema = 0;
  ar >> schema;
  if (schema > kSchema) AfxThrowArchiveException(CArchiveException::badSchema);
  BYTE archived = 0;
  ar >> archived;
  m_bArchived = archived != 0;
  if (schema >= 2) m_pArchivedObject.reset(ar.ReadObject(nullptr));
}

void CGXBrowseParam::CopyBrowseSettings(const CGXBrowseParam& other) {
  CGXGridParam::operator=(other);
  m_nValue1 = other.m_nValue1;
  m_nValue2 = other.m_nValue2;
  m_nValue3 = other.m_nValue3;
  m_nValue4 = other.m_nValue4;
  m_nLimit = other.m_nLimit;
}
