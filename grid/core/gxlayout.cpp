#include "grid/core/gxlayout.h"

#include <memory>

#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/gxarchive.h"
#include "platform/base/CArchive.h"
#include "platform/base/CMemFile.h"
#include "platform/base/ResourceTable.h"

CObject* ReadObjectFromFile(CFile* file, const CRuntimeClass* expected) {
  if (!file) return nullptr;
  // Without the document serialisation a layout would read as an empty parameter object and pass for a
  // loaded one: the readers make sure it is there.
  InstallDocSerializeImp();
  try {
    gx::ArchiveReadGuard guard;
    CArchive ar(file, CArchive::load, 4096);
    std::unique_ptr<CObject> object(gx::ReadOwnedObject(ar, expected));
    ar.Close();
    return object.release();
  } catch (CException* e) {
    e->Delete();
    return nullptr;
  }
}

namespace gx {

CObject* ReadObjectFromBytes(std::span<const BYTE> bytes, const CRuntimeClass* expected) {
  if (bytes.size() > 0xFFFFFFFFu) return nullptr;
  try {
    // The memory file reads the bytes in place and never writes to them; without a growth step its
    // length is the whole buffer.
    CMemFile file(const_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()), 0);
    CObject* object = ReadObjectFromFile(&file, expected);
    file.Detach();
    return object;
  } catch (CException* e) {
    e->Delete();
    return nullptr;
  }
}

std::vector<BYTE> WriteObjectToBytes(const CObject* object) {
  InstallDocSerializeImp();
  CMemFile file(1024);
  {
    CArchive ar(&file, CArchive::store, 4096);
    ar.WriteObject(object);
    ar.Close();
  }
  const auto length = static_cast<std::size_t>(file.GetLength());
  std::vector<BYTE> out(file.Data(), file.Data() + length);
  return out;
}

}  // namespace gx

CObject* LoadObjectFromResource(LPCTSTR name, LPCTSTR type, const CRuntimeClass* expected) {
  HINSTANCE module = AfxFindResourceHandle(name, type);
  HRSRC resource = module ? FindResource(module, name, type) : nullptr;
  if (!resource) {
    // The grid's own module holds the layouts that the library itself carries.
    module = plat::ResourceTable::ModuleHandle("grid");
    resource = FindResource(module, name, type);
  }
  if (!resource) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  if (!loaded) return nullptr;
  const DWORD size = SizeofResource(module, resource);
  const auto* bytes = static_cast<const BYTE*>(LockResource(loaded));
  CObject* object = bytes ? gx::ReadObjectFromBytes({bytes, size}, expected) : nullptr;
  FreeResource(loaded);
  return object;
}

CGXGridParam* LoadGridParamLayout(LPCTSTR name) {
  return static_cast<CGXGridParam*>(LoadObjectFromResource(name, "GXLAYOUT", RUNTIME_CLASS(CGXGridParam)));
}

CGXGridParam* LoadGridParamLayoutById(WORD id) { return LoadGridParamLayout(MAKEINTRESOURCE(id)); }
