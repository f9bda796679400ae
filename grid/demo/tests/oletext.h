// The document text a text-document object cell holds ("" when it holds none): the stored bytes read back
// through the object layer.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/core/CGXGridCore.h"
#include "grid/extras/CGXOleViewer.h"
#include "platform/ole/OleApi.h"

namespace oletext {

struct Reader : OLESTREAM {
  std::vector<BYTE> bytes;
  std::size_t pos = 0;
  static DWORD Get(OLESTREAM* s, void* data, DWORD count) {
    auto* self = static_cast<Reader*>(s);
    if (count > self->bytes.size() - self->pos) return 0;
    std::memcpy(data, self->bytes.data() + self->pos, count);
    self->pos += count;
    return count;
  }
  static DWORD Put(OLESTREAM*, const void*, DWORD) { return 0; }
  static constexpr OLESTREAMVTBL kTable{&Get, &Put};
  Reader() { lpstbl = &kTable; }
};

inline std::string CellDocumentText(CGXGridCore* g, ROWCOL row, ROWCOL col) {
  CGXStyle style;
  g->ComposeCellStyle(row, col, style);
  if (!style.HasUserAttribute(GX_IDS_UA_DAOBITMAP)) return "";
  const auto* a = dynamic_cast<const CGXOleVarUserAttribute*>(&style.GetUserAttribute(GX_IDS_UA_DAOBITMAP));
  const VARIANT* v = a ? a->GetVariant() : nullptr;
  if (!v || v->vt != (VT_ARRAY | VT_UI1)) return "";
  std::vector<BYTE> bytes(v->parray->rgsabound[0].cElements);
  void* p = nullptr;
  SafeArrayAccessData(v->parray, &p);
  if (!bytes.empty()) std::memcpy(bytes.data(), p, bytes.size());
  SafeArrayUnaccessData(v->parray);
  const auto header = GXParseOleCellHeader(bytes);
  if (!header) return "";
  Reader ole1;
  ole1.bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(header->objectOffset),
                    bytes.begin() + static_cast<std::ptrdiff_t>(header->objectOffset + header->objectLength));
  ILockBytes* lock = nullptr;
  CreateILockBytesOnHGlobal(nullptr, TRUE, &lock);
  IStorage* storage = nullptr;
  StgCreateDocfileOnILockBytes(lock, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage);
  lock->Release();
  std::string text;
  IStream* stream = nullptr;
  if (SUCCEEDED(OleConvertOLESTREAMToIStorage(&ole1, storage, nullptr)) &&
      SUCCEEDED(storage->OpenStream(u"Text", nullptr, STGM_READ, 0, &stream))) {
    text.assign(4096, '\0');
    ULONG n = 0;
    stream->Read(text.data(), 4096, &n);
    text.resize(n);
    stream->Release();
  }
  storage->Release();
  return text;
}

}  // namespace oletext
