// Arbitrary bytes as an OLE object cell's value, opened through the generic viewer without activating:
// the header, the OLE 1 stream conversion, the storage form and the text-document server's load. Every
// failure is a message and leaves nothing held; every success is closed again. The same bytes are also
// read as a storage form and as an OLE 1 stream on their own.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "grid/extras/CGXOlePreview.h"
#include "grid/extras/GXExtras.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/ControlCodes.h"
#include "platform/ole/OleApi.h"
#include "platform/ole/TextDocumentServer.h"
#include "platform/window/AutomationProvider.h"

namespace {

// Message boxes (the viewer's failures) are answered and recorded, never shown.
plat::ScriptedAutomation& Automation() {
  static plat::ScriptedAutomation automation;
  return automation;
}

struct Reader : OLESTREAM {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
  static DWORD Get(OLESTREAM* s, void* out, DWORD count) {
    auto* self = static_cast<Reader*>(s);
    if (count > self->size - self->pos) return 0;
    std::memcpy(out, self->data + self->pos, count);
    self->pos += count;
    return count;
  }
  static DWORD Put(OLESTREAM*, const void*, DWORD) { return 0; }
  static constexpr OLESTREAMVTBL kTable{&Get, &Put};
  Reader(const uint8_t* d, size_t n) : data(d), size(n) { lpstbl = &kTable; }
};

IStorage* NewStorage() {
  ILockBytes* bytes = nullptr;
  if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes))) __builtin_trap();
  IStorage* storage = nullptr;
  if (FAILED(StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage)))
    __builtin_trap();
  bytes->Release();
  return storage;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  GXRegisterOleCells();  // the viewer's texts
  plat::ole::RegisterTextDocumentServer();
  Automation().Reply(plat::SystemUiKind::MessageBox, {IDOK, "", 0}, "", true);
  plat::SetAutomationProvider(&Automation());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::size_t blocks = plat::GlobalBlockCount();
  {
    CGXOlePreview control(nullptr, nullptr);
    CGXGenericViewerImpl viewer;
    viewer.SetControl(&control);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (size) {
      std::memcpy(::GlobalLock(block), data, size);
      ::GlobalUnlock(block);
    }
    if (viewer.LoadObject(block, nullptr, FALSE)) {
      if (!viewer.GetOleObject() || !viewer.GetStorage()) __builtin_trap();
      viewer.CloseObject();
    }
    ::GlobalFree(block);
    viewer.ClearObject();
  }
  {
    IStorage* storage = NewStorage();
    plat::ole::LoadStorageForm(std::span(data, size), storage);
    Reader ole1(data, size);
    OleConvertOLESTREAMToIStorage(&ole1, storage, nullptr);
    storage->Release();
  }
  plat::ClearShownLog();
  if (plat::ole::LiveObjectCount() != 0 || plat::GlobalBlockCount() != blocks) __builtin_trap();
  return 0;
}
