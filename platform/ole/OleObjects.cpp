// The OLE 1 stream conversions, the server registry with object creation and saving, and the object
// clipboard.
#include <algorithm>
#include <cstring>
#include <map>

#include "platform/base/GlobalMemory.h"
#include "platform/ole/OleApi.h"

namespace {

using plat::ole::ComObject;

constexpr DWORD kOle1Version = 0x0501;
constexpr DWORD kOle1Embedded = 2;
constexpr DWORD kMaxProgIdBytes = 256;
// A native part is read in pieces, so a declared length larger than the stream fails at the first piece
// that is not there instead of allocating the declared size.
constexpr DWORD kReadPiece = 64 * 1024;
constexpr DWORD kMaxNativeBytes = 256u * 1024 * 1024;

std::map<CLSID, plat::ole::ServerInfo>& Servers() {
  static std::map<CLSID, plat::ole::ServerInfo> servers;
  return servers;
}

bool Put(LPOLESTREAM stream, const void* data, DWORD count) {
  return count == 0 || stream->lpstbl->Put(stream, data, count) == count;
}

bool PutDword(LPOLESTREAM stream, DWORD v) {
  const BYTE b[4] = {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16),
                     static_cast<BYTE>(v >> 24)};
  return Put(stream, b, 4);
}

bool Get(LPOLESTREAM stream, void* data, DWORD count) {
  return count == 0 || stream->lpstbl->Get(stream, data, count) == count;
}

bool GetDword(LPOLESTREAM stream, DWORD* v) {
  BYTE b[4];
  if (!Get(stream, b, 4)) return false;
  *v = DWORD(b[0]) | DWORD(b[1]) << 8 | DWORD(b[2]) << 16 | DWORD(b[3]) << 24;
  return true;
}

// The data object of the object clipboard format: one block, copied out on each GetData.
class ObjectDataObject final : public ComObject<IDataObject, IID_IDataObject> {
 public:
  explicit ObjectDataObject(std::vector<BYTE> form) : m_form(std::move(form)) {}
  HRESULT QueryGetData(const FORMATETC* format) override {
    if (!format) return E_INVALIDARG;
    if (format->cfFormat != plat::ole::ObjectClipboardFormat()) return DV_E_FORMATETC;
    return (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
  }
  HRESULT GetData(const FORMATETC* format, STGMEDIUM* medium) override {
    if (!medium) return E_INVALIDARG;
    const HRESULT hr = QueryGetData(format);
    if (FAILED(hr)) return hr;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, m_form.size());
    if (!block) return E_OUTOFMEMORY;
    if (!m_form.empty()) {
      void* p = ::GlobalLock(block);
      std::memcpy(p, m_form.data(), m_form.size());
      ::GlobalUnlock(block);
    }
    *medium = STGMEDIUM{TYMED_HGLOBAL, block, nullptr};
    return S_OK;
  }

 private:
  std::vector<BYTE> m_form;
};

// The data object kept between OleSetClipboard and OleFlushClipboard.
IDataObject* gClipboardSource = nullptr;

std::vector<BYTE> BlockBytes(HGLOBAL block) {
  std::vector<BYTE> bytes;
  const SIZE_T size = ::GlobalSize(block);
  const void* p = size ? ::GlobalLock(block) : nullptr;
  if (p) {
    bytes.assign(static_cast<const BYTE*>(p), static_cast<const BYTE*>(p) + size);
    ::GlobalUnlock(block);
  }
  return bytes;
}

}  // namespace

// ---- Conversions ----------------------------------------------------------------------------------------

HRESULT OleConvertIStorageToOLESTREAM(IStorage* storage, LPOLESTREAM stream) {
  if (!storage || !stream || !stream->lpstbl) return E_INVALIDARG;
  CLSID clsid;
  HRESULT hr = ReadClassStg(storage, &clsid);
  if (FAILED(hr)) return hr;
  const plat::ole::ServerInfo* server = plat::ole::FindServer(clsid);
  if (!server) return REGDB_E_CLASSNOTREG;
  std::vector<BYTE> form;
  hr = plat::ole::SaveStorageForm(storage, form);
  if (FAILED(hr)) return hr;
  const std::string& progId = server->progId;
  const bool ok = PutDword(stream, kOle1Version) && PutDword(stream, kOle1Embedded) &&
                  PutDword(stream, static_cast<DWORD>(progId.size() + 1)) &&
                  Put(stream, progId.c_str(), static_cast<DWORD>(progId.size() + 1)) && PutDword(stream, 0) &&
                  PutDword(stream, 0) && PutDword(stream, static_cast<DWORD>(form.size())) &&
                  Put(stream, form.data(), static_cast<DWORD>(form.size()));
  return ok ? S_OK : CONVERT10_E_OLESTREAM_PUT;
}

HRESULT OleConvertOLESTREAMToIStorage(LPOLESTREAM stream, IStorage* storage, const void*) {
  if (!storage || !stream || !stream->lpstbl) return E_INVALIDARG;
  DWORD version = 0, kind = 0, nameLength = 0;
  if (!GetDword(stream, &version) || !GetDword(stream, &kind)) return CONVERT10_E_OLESTREAM_GET;
  if (version != kOle1Version || kind != kOle1Embedded) return CONVERT10_E_OLESTREAM_FMT;
  if (!GetDword(stream, &nameLength)) return CONVERT10_E_OLESTREAM_GET;
  if (nameLength < 2 || nameLength > kMaxProgIdBytes) return CONVERT10_E_OLESTREAM_FMT;
  std::string progId(nameLength, '\0');
  if (!Get(stream, progId.data(), nameLength)) return CONVERT10_E_OLESTREAM_GET;
  if (progId.back() != '\0' || progId.find('\0') != nameLength - 1) return CONVERT10_E_OLESTREAM_FMT;
  progId.pop_back();
  DWORD topic = 0, item = 0, nativeLength = 0;
  if (!GetDword(stream, &topic) || !GetDword(stream, &item)) return CONVERT10_E_OLESTREAM_GET;
  if (topic != 0 || item != 0) return CONVERT10_E_OLESTREAM_FMT;  // links are not embedded objects
  if (!GetDword(stream, &nativeLength)) return CONVERT10_E_OLESTREAM_GET;
  if (nativeLength > kMaxNativeBytes) return CONVERT10_E_OLESTREAM_FMT;
  std::vector<BYTE> form;
  for (DWORD done = 0; done < nativeLength;) {
    const DWORD piece = std::min(kReadPiece, nativeLength - done);
    form.resize(done + piece);
    if (!Get(stream, form.data() + done, piece)) return CONVERT10_E_OLESTREAM_GET;
    done += piece;
  }
  CLSID clsid;
  const std::u16string wide = plat::ole::Wide(progId);
  if (FAILED(CLSIDFromProgID(wide.c_str(), &clsid))) return REGDB_E_CLASSNOTREG;
  HRESULT hr = plat::ole::LoadStorageForm(form, storage);
  if (FAILED(hr)) return hr;
  CLSID stored;
  hr = ReadClassStg(storage, &stored);
  if (FAILED(hr)) return hr;
  // The identifier outside and the class inside must name the same server.
  if (stored != clsid) return CONVERT10_E_OLESTREAM_FMT;
  return S_OK;
}

// ---- Servers and objects --------------------------------------------------------------------------------

namespace plat::ole {

void RegisterServer(const ServerInfo& server) { Servers()[server.clsid] = server; }
void UnregisterServer(REFCLSID clsid) { Servers().erase(clsid); }

std::vector<ServerInfo> RegisteredServers() {
  std::vector<ServerInfo> out;
  for (const auto& [id, server] : Servers()) out.push_back(server);
  std::sort(out.begin(), out.end(), [](const ServerInfo& a, const ServerInfo& b) { return a.fullType < b.fullType; });
  return out;
}

const ServerInfo* FindServer(REFCLSID clsid) {
  auto it = Servers().find(clsid);
  return it == Servers().end() ? nullptr : &it->second;
}

UINT ObjectClipboardFormat() {
  static const UINT format = ::RegisterClipboardFormat("Embedded Object");
  return format;
}

IDataObject* MakeObjectDataObject(std::vector<BYTE> form) { return new ObjectDataObject(std::move(form)); }

}  // namespace plat::ole

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* out) {
  if (!progId || !out) return E_INVALIDARG;
  const std::string name = plat::ole::Narrow(progId);
  for (const auto& [id, server] : Servers()) {
    if (server.progId == name) {
      *out = id;
      return S_OK;
    }
  }
  *out = GUID_NULL;
  return CO_E_CLASSSTRING;
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  const plat::ole::ServerInfo* server = plat::ole::FindServer(clsid);
  if (!server) return REGDB_E_CLASSNOTREG;
  *out = plat::ole::TaskString(server->progId);
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  const plat::ole::ServerInfo* server = plat::ole::FindServer(clsid);
  if (!server || !server->create) return REGDB_E_CLASSNOTREG;
  IUnknown* object = server->create();
  if (!object) return E_OUTOFMEMORY;
  const HRESULT hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

namespace {

// The created object's site and storage: given the site, then initialised or loaded; the interface asked
// for on success, everything released on failure.
HRESULT FinishCreate(REFCLSID clsid, REFIID iid, IOleClientSite* site, IStorage* storage, bool load, void** out) {
  IOleObject* object = nullptr;
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, reinterpret_cast<void**>(&object));
  if (FAILED(hr)) return hr;
  IPersistStorage* persist = nullptr;
  hr = object->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&persist));
  if (SUCCEEDED(hr)) {
    if (site) object->SetClientSite(site);
    hr = load ? persist->Load(storage) : persist->InitNew(storage);
    persist->Release();
  }
  if (SUCCEEDED(hr)) hr = object->QueryInterface(iid, out);
  if (FAILED(hr)) {
    object->SetClientSite(nullptr);
    object->Close(OLECLOSE_NOSAVE);
  }
  object->Release();
  return hr;
}

}  // namespace

HRESULT OleCreate(REFCLSID clsid, REFIID iid, DWORD, FORMATETC*, IOleClientSite* site, IStorage* storage,
                  void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!storage) return OLE_E_NOSTORAGE;
  HRESULT hr = WriteClassStg(storage, clsid);
  if (FAILED(hr)) return hr;
  return FinishCreate(clsid, iid, site, storage, false, out);
}

HRESULT OleCreateFromData(IDataObject* data, REFIID iid, DWORD, FORMATETC*, IOleClientSite* site, IStorage* storage,
                          void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!data) return E_INVALIDARG;
  if (!storage) return OLE_E_NOSTORAGE;
  FORMATETC format;
  format.cfFormat = static_cast<CLIPFORMAT>(plat::ole::ObjectClipboardFormat());
  STGMEDIUM medium;
  HRESULT hr = data->GetData(&format, &medium);
  if (FAILED(hr)) return hr;
  const std::vector<BYTE> form = BlockBytes(medium.hGlobal);
  ReleaseStgMedium(&medium);
  hr = plat::ole::LoadStorageForm(form, storage);
  if (FAILED(hr)) return hr;
  CLSID clsid;
  hr = ReadClassStg(storage, &clsid);
  if (FAILED(hr)) return hr;
  return FinishCreate(clsid, iid, site, storage, true, out);
}

HRESULT OleSave(IPersistStorage* object, IStorage* storage, BOOL sameAsLoad) {
  if (!object || !storage) return E_INVALIDARG;
  CLSID clsid;
  HRESULT hr = object->GetClassID(&clsid);
  if (FAILED(hr)) return hr;
  hr = WriteClassStg(storage, clsid);
  if (FAILED(hr)) return hr;
  return object->Save(storage, sameAsLoad);
}

// ---- Object clipboard -----------------------------------------------------------------------------------

void ReleaseStgMedium(STGMEDIUM* medium) {
  if (!medium) return;
  if (medium->pUnkForRelease) {
    medium->pUnkForRelease->Release();
  } else if (medium->tymed == TYMED_HGLOBAL && medium->hGlobal) {
    ::GlobalFree(medium->hGlobal);
  }
  *medium = STGMEDIUM{};
}

HRESULT OleSetClipboard(IDataObject* data) {
  const UINT cf = plat::ole::ObjectClipboardFormat();
  HGLOBAL block = nullptr;
  if (data) {
    FORMATETC format;
    format.cfFormat = static_cast<CLIPFORMAT>(cf);
    STGMEDIUM medium;
    const HRESULT hr = data->GetData(&format, &medium);
    if (FAILED(hr)) return hr;
    block = medium.hGlobal;
  }
  if (!::OpenClipboard(nullptr)) {
    if (block) ::GlobalFree(block);
    return CLIPBRD_E_CANT_OPEN;
  }
  ::EmptyClipboard();
  const bool set = !block || ::SetClipboardData(cf, block) != nullptr;
  ::CloseClipboard();
  if (!set) {
    ::GlobalFree(block);
    return CLIPBRD_E_CANT_SET;
  }
  if (gClipboardSource) gClipboardSource->Release();
  gClipboardSource = data;
  if (data) data->AddRef();
  return S_OK;
}

HRESULT OleFlushClipboard() {
  if (gClipboardSource) {
    gClipboardSource->Release();
    gClipboardSource = nullptr;
  }
  return S_OK;
}

HRESULT OleGetClipboard(IDataObject** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  const UINT cf = plat::ole::ObjectClipboardFormat();
  if (!::IsClipboardFormatAvailable(cf)) return DV_E_FORMATETC;
  if (!::OpenClipboard(nullptr)) return CLIPBRD_E_CANT_OPEN;
  HANDLE block = ::GetClipboardData(cf);
  std::vector<BYTE> form = block ? BlockBytes(block) : std::vector<BYTE>{};
  ::CloseClipboard();
  if (!block) return CLIPBRD_E_BAD_DATA;
  *out = plat::ole::MakeObjectDataObject(std::move(form));
  return S_OK;
}
