#include "grid/extras/CGXOleViewer.h"

#include <cstring>

#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/gxstrings.h"
#include "grid/extras/CGXClientSite.h"
#include "grid/extras/CGXOlePreview.h"
#include "platform/base/SystemError.h"
#include "platform/framework/MessageBox.h"
#include "platform/ole/OleApi.h"
#include "platform/ole/OleInsertObject.h"

namespace {

constexpr WORD kSignature = 0x1C15;
constexpr WORD kFixedPart = 20;
constexpr std::size_t kTrailer = 4;

void Message(UINT id) { AfxMessageBox(gx::LoadGridString(id), MB_OK | MB_ICONEXCLAMATION); }

WORD WordAt(std::span<const BYTE> b, std::size_t at) { return static_cast<WORD>(b[at] | b[at + 1] << 8); }

void PutWord(std::vector<BYTE>& out, WORD v) {
  out.push_back(static_cast<BYTE>(v));
  out.push_back(static_cast<BYTE>(v >> 8));
}

// The OLE 1 stream of the conversions over an IStream, counting the bytes that remain (reading) or were
// written.
struct GXOleStream : OLESTREAM {
  IStream* stream = nullptr;
  DWORD count = 0;

  static DWORD Get(OLESTREAM* s, void* data, DWORD requested) {
    auto* self = static_cast<GXOleStream*>(s);
    if (requested > self->count) return 0;
    ULONG read = 0;
    if (FAILED(self->stream->Read(data, requested, &read)) || read != requested) return 0;
    self->count -= requested;
    return requested;
  }
  static DWORD Put(OLESTREAM* s, const void* data, DWORD requested) {
    auto* self = static_cast<GXOleStream*>(s);
    ULONG written = 0;
    if (FAILED(self->stream->Write(data, requested, &written)) || written != requested) return 0;
    self->count += requested;
    return requested;
  }
  static constexpr OLESTREAMVTBL kTable{&Get, &Put};
  GXOleStream(IStream* s, DWORD n) : stream(s), count(n) { lpstbl = &kTable; }
};

// The byte-array value a cell or a viewer holds, null when there is none.
const VARIANT* CellVariant(const CGXStyle& style) {
  if (!style.HasUserAttribute(GX_IDS_UA_DAOBITMAP)) return nullptr;
  const auto* attribute = dynamic_cast<const CGXOleVarUserAttribute*>(&style.GetUserAttribute(GX_IDS_UA_DAOBITMAP));
  return attribute ? attribute->GetVariant() : nullptr;
}

bool IsEmptyValue(const VARIANT* v) { return !v || v->vt == VT_EMPTY || v->vt == VT_NULL; }

}  // namespace

std::optional<CGXOleCellHeader> GXParseOleCellHeader(std::span<const BYTE> bytes) {
  if (bytes.size() < kFixedPart + kTrailer || WordAt(bytes, 0) != kSignature) return std::nullopt;
  const std::size_t typeLength = WordAt(bytes, 8), idLength = WordAt(bytes, 10);
  const std::size_t typeOffset = WordAt(bytes, 12), idOffset = WordAt(bytes, 14);
  const std::size_t end = bytes.size() - kTrailer;
  if (typeLength < 1 || idLength < 2 || typeOffset < kFixedPart || idOffset < kFixedPart) return std::nullopt;
  if (typeOffset + typeLength > end || idOffset + idLength > end) return std::nullopt;
  if (bytes[typeOffset + typeLength - 1] != 0 || bytes[idOffset + idLength - 1] != 0) return std::nullopt;
  CGXOleCellHeader header;
  header.userType = reinterpret_cast<const char*>(bytes.data() + typeOffset);
  header.progId = reinterpret_cast<const char*>(bytes.data() + idOffset);
  if (header.progId.size() != idLength - 1) return std::nullopt;
  header.objectOffset = idOffset + idLength;
  header.objectLength = end - header.objectOffset;
  return header;
}

std::vector<BYTE> GXMakeOleCellHeader(const std::string& userType, const std::string& progId) {
  const WORD typeLength = static_cast<WORD>(userType.size() + 1), idLength = static_cast<WORD>(progId.size() + 1);
  std::vector<BYTE> out;
  PutWord(out, kSignature);
  PutWord(out, kFixedPart);
  PutWord(out, 2);
  PutWord(out, 0);
  PutWord(out, typeLength);
  PutWord(out, idLength);
  PutWord(out, kFixedPart);
  PutWord(out, static_cast<WORD>(kFixedPart + typeLength));
  PutWord(out, 0xFFFF);
  PutWord(out, 0xFFFF);
  out.insert(out.end(), userType.begin(), userType.end());
  out.push_back(0);
  out.insert(out.end(), progId.begin(), progId.end());
  out.push_back(0);
  return out;
}

namespace gx {

void ShowOleResult(HRESULT hr) {
  char* text = nullptr;
  if (FormatMessage(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, static_cast<DWORD>(hr),
                    0x400, reinterpret_cast<LPSTR>(&text), 0, nullptr) &&
      text) {
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    ::LocalFree(text);
  }
}

}  // namespace gx

// ---- CGXOleViewer ---------------------------------------------------------------------------------------

void CGXOleViewer::CloseObject() { m_pControl = nullptr; }

void CGXOleViewer::NotifyChanged() {
  if (!m_pControl) return;
  m_pControl->SetModifiedState(TRUE);
  m_pControl->NotifyModified();
}

// ---- CGXGenericViewerImpl -------------------------------------------------------------------------------

CGXGenericViewerImpl::~CGXGenericViewerImpl() {
  IOleObject* object = GetOleObject();
  m_pControl = nullptr;
  if (object) {
    object->AddRef();
    ReleaseAll();  // the site and the sink forget this viewer first
    object->Close(OLECLOSE_NOSAVE);
    object->Release();
  }
  ReleaseAll();
  m_value.Clear();
}

HWND CGXGenericViewerImpl::GridWindow() const {
  return m_pControl && m_pControl->GetGrid() ? m_pControl->GetGrid()->GridHwnd() : nullptr;
}

void CGXGenericViewerImpl::ReleaseAll() {
  if (auto* site = dynamic_cast<CGXClientSite*>(m_interfaces.GetAs<IOleClientSite>(IID_IOleClientSite)))
    site->DetachViewer();
  if (auto* sink = dynamic_cast<CGXAdviseSink*>(m_interfaces.GetAs<IAdviseSink>(IID_IAdviseSink)))
    sink->DetachViewer();
  m_interfaces.RemoveAll();
  m_dwConnection = 0;
}

HRESULT CGXGenericViewerImpl::CreateStorage() {
  ILockBytes* bytes = nullptr;
  HRESULT hr = CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
  if (FAILED(hr)) return hr;
  IStorage* storage = nullptr;
  hr = StgCreateDocfileOnILockBytes(bytes, STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0,
                                    &storage);
  bytes->Release();
  if (FAILED(hr)) return hr;
  m_interfaces.Add(IID_IStorage, storage);
  return S_OK;
}

IOleClientSite* CGXGenericViewerImpl::CreateClientSite() { return new CGXClientSite(this); }
IAdviseSink* CGXGenericViewerImpl::CreateAdviseSink() { return new CGXAdviseSink(this); }

BOOL CGXGenericViewerImpl::OpenObject(const CGXStyle& style, CGXGridCore* grid, CGXOlePreview* control,
                                      BOOL activate) {
  m_pControl = control;
  BOOL opened = FALSE;
  if (HGLOBAL data = GetDataAsGlobal(style)) {
    opened = LoadObject(data, grid, activate);
    ::GlobalFree(data);
  } else if (IsEmptyValue(&m_value) && IsEmptyValue(CellVariant(style))) {
    // Only an empty cell gets a new object: a value that is no object (the message was shown) stays as it is.
    opened = InsertNewObject(grid);
  }
  if (!opened) m_pControl = nullptr;
  return opened;
}

HGLOBAL CGXGenericViewerImpl::GetDataAsGlobal(const CGXStyle& style) {
  const VARIANT* value = IsEmptyValue(&m_value) ? CellVariant(style) : &m_value;
  if (IsEmptyValue(value)) return nullptr;
  if (value->vt != (VT_ARRAY | VT_UI1) || !value->parray) {
    Message(GX_IDS_OLE_INVALIDDATA);
    return nullptr;
  }
  void* elements = nullptr;
  if (FAILED(SafeArrayAccessData(value->parray, &elements))) return nullptr;
  const SIZE_T size = value->parray->rgsabound[0].cElements;
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD | GMEM_ZEROINIT, size);
  if (block && size) {
    std::memcpy(::GlobalLock(block), elements, size);
    ::GlobalUnlock(block);
  }
  SafeArrayUnaccessData(value->parray);
  return block;
}

BOOL CGXGenericViewerImpl::LoadObject(HGLOBAL data, CGXGridCore* grid, BOOL activate) {
  if (!m_pControl || !data) return FALSE;
  CGXHandleManager<HGLOBAL> handles;
  const auto fail = [this]() {
    ReleaseAll();
    Message(GX_IDS_OLE_INVALIDDATA);
    return FALSE;
  };
  // 1-2. The header names the object's class.
  const SIZE_T size = ::GlobalSize(data);
  const BYTE* bytes = size ? static_cast<const BYTE*>(::GlobalLock(data)) : nullptr;
  if (!bytes) return fail();
  const std::optional<CGXOleCellHeader> header = GXParseOleCellHeader(std::span(bytes, size));
  if (!header) {
    ::GlobalUnlock(data);
    return fail();
  }
  CLSID clsid;
  const std::u16string progId = plat::ole::Wide(header->progId);
  // 3. The object part on a stream of its own.
  HGLOBAL part = handles.Add(::GlobalAlloc(GMEM_MOVEABLE, header->objectLength));
  if (part && header->objectLength) {
    std::memcpy(::GlobalLock(part), bytes + header->objectOffset, header->objectLength);
    ::GlobalUnlock(part);
  }
  ::GlobalUnlock(data);
  if (!part || FAILED(CLSIDFromProgID(progId.c_str(), &clsid))) return fail();
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(part, TRUE, &stream))) return fail();
  handles.Remove(part);  // the stream frees it
  GXOleStream ole1(stream, static_cast<DWORD>(header->objectLength));
  // 4. A storage, the object, the conversion.
  IOleObject* object = nullptr;
  HRESULT hr = CreateStorage();
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IOleObject, reinterpret_cast<void**>(&object));
  if (SUCCEEDED(hr)) {
    m_interfaces.Add(IID_IOleObject, object);
    hr = OleConvertOLESTREAMToIStorage(&ole1, GetStorage(), nullptr);
  }
  stream->Release();
  if (FAILED(hr)) return fail();
  // 5. The site, then the object loads itself.
  IOleClientSite* site = CreateClientSite();
  m_interfaces.Add(IID_IOleClientSite, site);
  object->SetClientSite(site);
  IPersistStorage* persist = nullptr;
  hr = object->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&persist));
  if (FAILED(hr)) return fail();
  m_interfaces.Add(IID_IPersistStorage, persist);
  if (FAILED(persist->Load(GetStorage()))) return fail();
  // 6-7. Shown in its server when asked; closing reaches the viewer.
  const HWND window = grid ? grid->GridHwnd() : GridWindow();
  if (activate && FAILED(object->DoVerb(GetPrimaryVerb(), nullptr, site, 0, window, nullptr))) return fail();
  IAdviseSink* sink = CreateAdviseSink();
  m_interfaces.Add(IID_IAdviseSink, sink);
  if (FAILED(object->Advise(sink, &m_dwConnection))) return fail();
  return TRUE;
}

BOOL CGXGenericViewerImpl::InsertNewObject(CGXGridCore* grid) {
  const HWND window = grid ? grid->GridHwnd() : GridWindow();
  if (FAILED(CreateStorage())) {
    CloseObject();
    Message(GX_IDS_OLE_INSERTFAILED);
    return FALSE;
  }
  IOleClientSite* site = CreateClientSite();
  IOleObject* object = nullptr;
  char file[256] = {};
  const CString caption = gx::LoadGridString(GX_IDS_OLE_INSERTCAPTION);
  OLEUIINSERTOBJECT block;
  block.dwFlags = IOF_SELECTCREATENEW | IOF_CREATENEWOBJECT;
  block.hWndOwner = window;
  block.lpszCaption = caption;
  block.lpszFile = file;
  block.cchFile = 255;
  block.iid = IID_IOleObject;
  block.oleRender = OLERENDER_NONE;
  block.lpIOleClientSite = site;
  block.lpIStorage = GetStorage();
  block.ppvObj = reinterpret_cast<void**>(&object);
  UINT result = OLEUI_ERR_STANDARDMIN;
  try {
    result = OleUIInsertObject(&block);
  } catch (...) {
    // A headless run without an answer: nothing is left held.
    site->Release();
    CloseObject();
    throw;
  }
  if (result == OLEUI_OK && object) {
    m_interfaces.Add(IID_IOleClientSite, site);
    m_interfaces.Add(IID_IOleObject, object);
    if (FAILED(object->DoVerb(GetPrimaryVerb(), nullptr, site, 0, window, nullptr))) {
      CloseObject();
      return FALSE;
    }
    IAdviseSink* sink = CreateAdviseSink();
    m_interfaces.Add(IID_IAdviseSink, sink);
    if (FAILED(object->Advise(sink, &m_dwConnection))) {
      CloseObject();
      return FALSE;
    }
    return TRUE;
  }
  site->Release();
  CloseObject();
  if (result != OLEUI_CANCEL) Message(GX_IDS_OLE_INSERTFAILED);
  return FALSE;
}

BOOL CGXGenericViewerImpl::ActivateObject() {
  IOleObject* object = GetOleObject();
  if (!object) return FALSE;
  if (m_pControl) m_pControl->SetKeepCellActive();
  object->AddRef();
  const HRESULT hr = object->DoVerb(GetPrimaryVerb(), nullptr, m_interfaces.GetAs<IOleClientSite>(IID_IOleClientSite),
                                    0, GridWindow(), nullptr);
  object->Release();
  if (FAILED(hr)) {
    gx::ShowOleResult(hr);
    if (m_pControl) m_pControl->RestoreKeepCellActive();
    return FALSE;
  }
  return TRUE;
}

void CGXGenericViewerImpl::CloseObject() {
  if (IOleObject* object = GetOleObject()) {
    // The object may call back (save, close) and drop references while it closes.
    object->AddRef();
    if (m_dwConnection) object->Unadvise(m_dwConnection);
    m_dwConnection = 0;
    const HRESULT hr = object->Close(OLECLOSE_SAVEIFDIRTY);
    if (FAILED(hr)) gx::ShowOleResult(hr);
    ReleaseAll();
    object->Release();
  } else {
    ReleaseAll();
  }
  if (m_pControl) m_pControl->RestoreKeepCellActive();
  CGXOleViewer::CloseObject();
}

void CGXGenericViewerImpl::ClearObject() {
  if (!IsEmptyValue(&m_value)) m_value.Clear();
  ReleaseAll();
}

BOOL CGXGenericViewerImpl::StoreObject() {
  IStorage* storage = GetStorage();
  IOleObject* object = GetOleObject();
  const auto fail = [](HRESULT) {
    Message(GX_IDS_OLE_INVALIDDATA);
    return FALSE;
  };
  if (!storage || !object) return fail(E_FAIL);
  // 2. The header: the object's short user type (empty when it has none) and its program identifier.
  LPOLESTR userType = nullptr;
  std::string type;
  if (SUCCEEDED(object->GetUserType(USERCLASSTYPE_SHORT, &userType)) && userType) type = plat::ole::Narrow(userType);
  CoTaskMemFree(userType);
  CLSID clsid;
  LPOLESTR progId = nullptr;
  HRESULT hr = object->GetUserClassID(&clsid);
  if (SUCCEEDED(hr)) hr = ProgIDFromCLSID(clsid, &progId);
  if (FAILED(hr)) return fail(hr);
  const std::string id = plat::ole::Narrow(progId);
  CoTaskMemFree(progId);
  if (type.size() + id.size() + 2 + kFixedPart > 0xFFFF) return fail(E_INVALIDARG);
  const std::vector<BYTE> header = GXMakeOleCellHeader(type, id);
  // 3. The storage in OLE 1 stream form on a stream of new global memory.
  IStream* stream = nullptr;
  hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  if (FAILED(hr)) return fail(hr);
  GXOleStream ole1(stream, 0);
  hr = OleConvertIStorageToOLESTREAM(storage, &ole1);
  if (SUCCEEDED(hr)) hr = stream->SetSize(ole1.count);
  HGLOBAL written = nullptr;
  if (SUCCEEDED(hr)) hr = GetHGlobalFromStream(stream, &written);
  // 4-5. Header, object and the zero trailer in a one-dimensional byte array.
  SAFEARRAY* array = nullptr;
  if (SUCCEEDED(hr)) {
    const ULONG total = static_cast<ULONG>(header.size() + ole1.count + kTrailer);
    array = SafeArrayCreateVector(VT_UI1, 0, total);
    void* out = nullptr;
    if (!array || FAILED(SafeArrayAccessData(array, &out))) {
      hr = E_OUTOFMEMORY;
    } else {
      auto* p = static_cast<BYTE*>(out);
      std::memcpy(p, header.data(), header.size());
      if (ole1.count) {
        std::memcpy(p + header.size(), ::GlobalLock(written), ole1.count);
        ::GlobalUnlock(written);
      }
      std::memset(p + header.size() + ole1.count, 0, kTrailer);
      SafeArrayUnaccessData(array);
    }
  }
  stream->Release();
  if (FAILED(hr)) {
    if (array) SafeArrayDestroy(array);
    return fail(hr);
  }
  m_value.Clear();
  m_value.vt = VT_ARRAY | VT_UI1;
  m_value.parray = array;
  if (m_pControl) m_pControl->SetModifiedState(TRUE);
  return TRUE;
}

BOOL CGXGenericViewerImpl::CanPaste() {
  IDataObject* data = nullptr;
  if (FAILED(OleGetClipboard(&data))) return FALSE;
  data->Release();
  return TRUE;
}

BOOL CGXGenericViewerImpl::PasteObject() {
  // The caller reports a failure (once).
  IDataObject* data = nullptr;
  if (FAILED(OleGetClipboard(&data))) return FALSE;
  IOleObject* object = nullptr;
  HRESULT hr = CreateStorage();
  IOleClientSite* site = nullptr;
  if (SUCCEEDED(hr)) {
    site = CreateClientSite();
    m_interfaces.Add(IID_IOleClientSite, site);
    hr = OleCreateFromData(data, IID_IOleObject, OLERENDER_NONE, nullptr, site, GetStorage(),
                           reinterpret_cast<void**>(&object));
  }
  data->Release();
  if (FAILED(hr)) {
    ReleaseAll();
    return FALSE;
  }
  m_interfaces.Add(IID_IOleObject, object);
  if (!StoreObject()) {
    ReleaseAll();
    return FALSE;
  }
  return TRUE;
}

IDataObject* CGXGenericViewerImpl::GetDataObject(const CGXStyle& style, CGXGridCore* grid, CGXOlePreview* control) {
  m_pControl = control;
  IDataObject* data = nullptr;
  HGLOBAL block = GetDataAsGlobal(style);
  const BOOL loaded = block && LoadObject(block, grid, FALSE);
  if (block) ::GlobalFree(block);
  if (loaded) {
    const HRESULT hr = GetOleObject()->GetClipboardData(0, &data);
    if (FAILED(hr)) {
      // The caller shows that the copy failed.
      gx::ShowOleResult(hr);
      CloseObject();
      data = nullptr;
    }
  }
  m_pControl = nullptr;
  return data;
}

IDataObject* CGXGenericViewerImpl::CutObject(const CGXStyle& style, CGXGridCore* grid, CGXOlePreview* control) {
  IDataObject* data = GetDataObject(style, grid, control);
  if (!data) return nullptr;
  m_value.Clear();
  if (control) control->SetModifiedState(TRUE);
  return data;
}

// ---- CGXViewerManager -----------------------------------------------------------------------------------

namespace {
// The source object a control gives when it has none.
class CGXEmptySource : public CObject {};
}  // namespace

CGXViewerManager::CGXViewerManager(CObject* source) : m_pSource(source ? source : new CGXEmptySource) {}

CGXViewerManager::~CGXViewerManager() { m_viewers.clear(); }

CGXOleViewer* CGXViewerManager::GetViewer(LONG id) {
  auto& viewer = m_viewers[id];
  if (!viewer) viewer = std::make_unique<CGXGenericViewerImpl>();
  return viewer.get();
}
