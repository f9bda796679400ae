#include "grid/core/CMapNdxToOb.h"

#include "grid/core/gxarchive.h"
#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CMapNdxToOb, CObject, 0)
IMPLEMENT_SERIAL(CGXMapCellToOb, CMapNdxToOb, 0)

void CMapNdxToOb::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD_PTR>(m_map.GetCount()));
    POSITION pos = m_map.GetStartPosition();
    while (pos) {
      gx::CellKey k;
      CObject* o = nullptr;
      m_map.GetNextAssoc(pos, k, o);
      ar << k.row << k.col;
      ar.WriteObject(o);
    }
    return;
  }
  const DWORD_PTR count = ar.ReadCount();
  // Ten bytes at least per entry: two DWORDs and an object tag.
  if (count > ar.GetBytesLeft() / 10) gx::ThrowBadIndex();
  for (DWORD_PTR i = 0; i < count; ++i) {
    ROWCOL row = 0, col = 0;
    ar >> row >> col;
    m_map.SetAt({row, col}, gx::ReadOwnedObject(ar, nullptr));
  }
}
