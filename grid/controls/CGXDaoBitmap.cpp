#include "grid/controls/CGXDaoBitmap.h"

#include <cstring>

#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/core/CGXDIB.h"
#include "platform/base/GlobalMemory.h"
#include "platform/gdi/CDC.h"

const CGXControlClass CGXDaoBitmap::classCGXDaoBitmap = {"CGXDaoBitmap", &CGXStatic::classCGXStatic};

namespace {
constexpr VARTYPE kByteArray = VT_ARRAY | VT_UI1;
constexpr std::size_t kFileHeader = 14;
}  // namespace

HGLOBAL ConvertVariantToDIB(const VARIANT& value, BOOL keepFileHeader) {
  // 1. A one-dimensional (or more) byte array only.
  if (value.vt != kByteArray || !value.parray || value.parray->cDims < 1 || value.parray->cbElements != 1)
    return nullptr;
  SAFEARRAY* array = value.parray;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data)) || !data) return nullptr;
  const auto* bytes = static_cast<const BYTE*>(data);
  const std::size_t count = array->rgsabound[0].cElements;
  // 2. The first "BM" wholly inside; the bytes before it (a record header) are skipped.
  std::size_t at = 0;
  while (at + 1 < count && !(bytes[at] == 'B' && bytes[at + 1] == 'M')) ++at;
  HGLOBAL result = nullptr;
  if (at + 1 < count) {
    // 3. The packed bitmap after the file header must be sound: a 40-byte header, colours and rows inside.
    const std::size_t dibStart = at + kFileHeader;
    gx::DibInfo info;
    BITMAPINFOHEADER header{};
    const bool sound = dibStart + sizeof header <= count &&
                       (std::memcpy(&header, bytes + dibStart, sizeof header), header.biSize == sizeof header) &&
                       gx::InspectDib(bytes + dibStart, count - dibStart, info);
    // 4. A copy in global memory, with or without the file header.
    const std::size_t from = keepFileHeader ? at : dibStart;
    if (sound && (result = GlobalAlloc(GHND, count - from)) != nullptr) {
      if (void* p = GlobalLock(result)) {
        std::memcpy(p, bytes + from, count - from);
        GlobalUnlock(result);
      }
    }
  }
  SafeArrayUnaccessData(array);
  return result;
}

HGLOBAL CGXDaoBitmap::DrawDIB(CDC* dc, const VARIANT& value, const RECT& rect, UINT mode, BYTE align, HGLOBAL dib,
                              BOOL free) {
  if (!dib) dib = ConvertVariantToDIB(value, FALSE);
  if (!dib) return nullptr;
  CGXDIB::Draw(dc, dib, &rect, mode, align);
  if (free) GlobalFree(dib);
  return dib;
}

void CGXDaoBitmap::DrawCell(CDC* dc, const CRect& rect, ROWCOL row, ROWCOL col, const CGXStyle& style,
                            const CGXStyle* standard) {
  if (!dc) return;
  const auto* picture = style.HasUserAttribute(GX_IDS_UA_DAOBITMAP)
                            ? dynamic_cast<const CGXOleVarUserAttribute*>(&style.GetUserAttribute(GX_IDS_UA_DAOBITMAP))
                            : nullptr;
  if (!picture || picture->IsEmpty()) return CGXStatic::DrawCell(dc, rect, row, col, style, standard);
  DrawCellBackground(dc, rect, style, FALSE);
  if (rect.Width() <= 1 || rect.Height() <= 1) return;
  const CRect inner = ComputeInnerRect(row, col, &rect, &style);
  const BYTE align = static_cast<BYTE>(style.GetHorizontalAlignment() | style.GetVerticalAlignment());
  if (HGLOBAL dib = DrawDIB(dc, *picture->GetVariant(), inner, CGXDIB::natural, align))
    if (OfferBitmapToGrid(row, col, dib)) GlobalFree(dib);
  DrawChildren(dc, rect, row, col, style);
}
