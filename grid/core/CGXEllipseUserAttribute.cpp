#include "grid/core/CGXEllipseUserAttribute.h"

#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXEllipseUserAttribute, CGXAbstractUserAttribute, 0)

void CGXEllipseUserAttribute::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<WORD>(m_nNumber);
  } else {
    WORD w = 0;
    ar >> w;
    m_nNumber = w;
  }
}

BOOL CGXEllipseUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const {
  const auto* e = dynamic_cast<const CGXEllipseUserAttribute*>(&other);
  return e && e->m_nNumber == m_nNumber;
}
