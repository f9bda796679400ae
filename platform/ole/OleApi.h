// The calls of the in-process object-embedding layer: storages and streams on global memory, the two
// OLE 1 stream conversions, the registry of object servers with object creation and saving, and the
// object clipboard.
//
// Storage form. A storage is a class id and a set of named streams. Its bytes (what a storage commits to
// its ILockBytes, what the object clipboard carries) are, little-endian:
//   "BSTG", class id (16 bytes), DWORD stream count, then per stream in name order:
//   WORD name length in UTF-16 units, the name's units, DWORD data length, the data.
// OLE 1 stream form, as the conversions write and read it (this layer's own; no other program reads it):
//   DWORD 0x0501 (version), DWORD 2 (embedded object), DWORD length + zero-terminated program identifier
//   of the storage's class, DWORD 0 (topic), DWORD 0 (item), DWORD length + the storage form.
// Readers check every length against what is there and read nothing past the end; a bad form is an
// error (STG_E_INVALIDHEADER, CONVERT10_E_OLESTREAM_FMT or _GET), never a partial object.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/ole/OleTypes.h"

// ---- Storages and streams -------------------------------------------------------------------------------
// With a null block a new empty movable one is made; deleteOnRelease frees the block with the last Release.
HRESULT CreateILockBytesOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, ILockBytes** out);
HRESULT GetHGlobalFromILockBytes(ILockBytes* bytes, HGLOBAL* out);
HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, IStream** out);
HRESULT GetHGlobalFromStream(IStream* stream, HGLOBAL* out);
// A new, empty storage on the bytes (STGM_CREATE empties them). Transacted or not, the storage writes its
// storage form to the bytes on Commit; Revert reads them back.
HRESULT StgCreateDocfileOnILockBytes(ILockBytes* bytes, DWORD mode, DWORD reserved, IStorage** out);
// The storage whose form the bytes hold; STG_E_INVALIDHEADER when they hold none.
HRESULT StgOpenStorageOnILockBytes(ILockBytes* bytes, IStorage* priority, DWORD mode, void* exclude, DWORD reserved,
                                   IStorage** out);
HRESULT WriteClassStg(IStorage* storage, REFCLSID clsid);
HRESULT ReadClassStg(IStorage* storage, CLSID* out);

// ---- OLE 1 stream conversions ---------------------------------------------------------------------------
// Writes the storage through the stream's put callback. The storage's class must be registered.
HRESULT OleConvertIStorageToOLESTREAM(IStorage* storage, LPOLESTREAM stream);
// Reads an object through the get callback into the storage (its streams are replaced, its class set).
HRESULT OleConvertOLESTREAMToIStorage(LPOLESTREAM stream, IStorage* storage, const void* targetDevice);

// ---- Servers and objects --------------------------------------------------------------------------------
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* out);
// The identifier in task memory (CoTaskMemFree).
HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* out);
// Servers run in this process whatever the context asks; aggregation is refused.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out);
// A new object of the class, given the site and initialised empty in the storage.
HRESULT OleCreate(REFCLSID clsid, REFIID iid, DWORD render, FORMATETC* format, IOleClientSite* site,
                  IStorage* storage, void** out);
// A new object from the object format of a data object, loaded from the storage it fills.
HRESULT OleCreateFromData(IDataObject* data, REFIID iid, DWORD render, FORMATETC* format, IOleClientSite* site,
                          IStorage* storage, void** out);
// Writes the object's class into the storage, then lets it save itself there.
HRESULT OleSave(IPersistStorage* object, IStorage* storage, BOOL sameAsLoad);

// ---- Object clipboard -----------------------------------------------------------------------------------
// Puts the data object's object format on the platform clipboard (emptied first) and keeps the data object
// until OleFlushClipboard or the next OleSetClipboard; null empties the clipboard of this layer's data.
HRESULT OleSetClipboard(IDataObject* data);
// Forgets the data object kept by OleSetClipboard; the clipboard keeps the data.
HRESULT OleFlushClipboard();
// A data object over the clipboard's object format; DV_E_FORMATETC when the clipboard holds none,
// CLIPBRD_E_CANT_OPEN when another window holds it open.
HRESULT OleGetClipboard(IDataObject** out);
void ReleaseStgMedium(STGMEDIUM* medium);

namespace plat::ole {

// The reference-counting part shared by the layer's objects (and the containers' sites and sinks), with a
// ledger of the objects alive so that tests can check that every interface handed out was released.
class ComBase {
 public:
  ComBase();
  virtual ~ComBase();
  ComBase(const ComBase&) = delete;
  ComBase& operator=(const ComBase&) = delete;

 protected:
  ULONG AddRefCount() { return ++m_refs; }
  // Deletes the object at zero; the new count.
  ULONG ReleaseCount();
  ULONG m_refs = 1;
};
std::size_t LiveObjectCount();

// An object of one interface: QueryInterface answers IUnknown and `Interface` (whose id is `Id`), and the
// reference counting is ComBase's.
template <class Interface, const IID& Id>
class ComObject : public Interface, public ComBase {
 public:
  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != Id) return E_NOINTERFACE;
    *out = static_cast<Interface*>(this);
    AddRefCount();
    return S_OK;
  }
  ULONG AddRef() override { return AddRefCount(); }
  ULONG Release() override { return ReleaseCount(); }
};

// An object server: a class id, its program identifier, its user-type names and the factory of its
// objects (one reference held by the caller).
struct ServerInfo {
  CLSID clsid = GUID_NULL;
  std::string progId;
  std::string shortType;
  std::string fullType;
  std::function<IUnknown*()> create;
};
// Adds or replaces the server of a class id.
void RegisterServer(const ServerInfo& server);
void UnregisterServer(REFCLSID clsid);
std::vector<ServerInfo> RegisteredServers();
const ServerInfo* FindServer(REFCLSID clsid);

// The object clipboard format ("Embedded Object", registered at first use): a storage form.
UINT ObjectClipboardFormat();
// The storage form of a storage, and a storage filled from a form (streams replaced, class set).
HRESULT SaveStorageForm(IStorage* storage, std::vector<BYTE>& out);
HRESULT LoadStorageForm(std::span<const BYTE> form, IStorage* storage);
// A data object that offers one object-format block (a copy of `form`).
IDataObject* MakeObjectDataObject(std::vector<BYTE> form);

// Task-memory text of 8-bit text, and back (code page 1252).
LPOLESTR TaskString(const std::string& text);
std::u16string Wide(const std::string& text);
std::string Narrow(LPCOLESTR text);

}  // namespace plat::ole
