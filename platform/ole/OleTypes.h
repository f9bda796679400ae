// The in-process object-embedding layer: interface ids, the reference-counted interfaces that embedded
// objects, their containers and their storages speak, and the result codes they return.
//
// There is no component runtime here. Objects live in this process; "servers" are factories registered in
// ObjectRegistry.h. Every interface derives from IUnknown: QueryInterface hands out another interface of
// the same object with one reference added (E_NOINTERFACE and a null pointer otherwise), AddRef and
// Release return the new count, and the last Release deletes the object.
#pragma once

#include <cstring>

#include "platform/base/OleVariant.h"
#include "platform/base/wintypes.h"
#include "platform/window/windowapi.h"

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};
inline bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }
inline bool operator<(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) < 0; }
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using LPOLESTR = OLECHAR*;
using CLIPFORMAT = WORD;

inline constexpr GUID GUID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr IID IID_IUnknown{0x00000000, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_ILockBytes{0x0000000A, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IStorage{0x0000000B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IStream{0x0000000C, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IPersistStorage{0x0000010A, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDataObject{0x0000010E, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IAdviseSink{0x0000010F, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleObject{0x00000112, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleClientSite{0x00000118, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Result codes beyond the common ones of wintypes.h.
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = static_cast<HRESULT>(0x80040003u);
constexpr HRESULT OLE_E_NOCONNECTION = static_cast<HRESULT>(0x80040004u);
constexpr HRESULT OLE_E_NOTRUNNING = static_cast<HRESULT>(0x80040005u);
constexpr HRESULT OLE_E_NOSTORAGE = static_cast<HRESULT>(0x80040012u);
constexpr HRESULT DV_E_FORMATETC = static_cast<HRESULT>(0x80040064u);
constexpr HRESULT DV_E_TYMED = static_cast<HRESULT>(0x80040069u);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT CONVERT10_E_OLESTREAM_GET = static_cast<HRESULT>(0x800401C0u);
constexpr HRESULT CONVERT10_E_OLESTREAM_PUT = static_cast<HRESULT>(0x800401C1u);
constexpr HRESULT CONVERT10_E_OLESTREAM_FMT = static_cast<HRESULT>(0x800401C2u);
constexpr HRESULT CLIPBRD_E_CANT_OPEN = static_cast<HRESULT>(0x800401D0u);
constexpr HRESULT CLIPBRD_E_CANT_SET = static_cast<HRESULT>(0x800401D2u);
constexpr HRESULT CLIPBRD_E_BAD_DATA = static_cast<HRESULT>(0x800401D3u);
constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);
constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001u);
constexpr HRESULT STG_E_FILENOTFOUND = static_cast<HRESULT>(0x80030002u);
constexpr HRESULT STG_E_INSUFFICIENTMEMORY = static_cast<HRESULT>(0x80030008u);
constexpr HRESULT STG_E_INVALIDPOINTER = static_cast<HRESULT>(0x80030009u);
constexpr HRESULT STG_E_READFAULT = static_cast<HRESULT>(0x8003001Eu);
constexpr HRESULT STG_E_FILEALREADYEXISTS = static_cast<HRESULT>(0x80030050u);
constexpr HRESULT STG_E_INVALIDPARAMETER = static_cast<HRESULT>(0x80030057u);
constexpr HRESULT STG_E_INVALIDHEADER = static_cast<HRESULT>(0x800300FBu);
constexpr HRESULT STG_E_INVALIDNAME = static_cast<HRESULT>(0x800300FCu);
constexpr HRESULT OLEOBJ_S_INVALIDVERB = static_cast<HRESULT>(0x00040181u);

// Storage modes.
constexpr DWORD STGM_READ = 0x00000000, STGM_WRITE = 0x00000001, STGM_READWRITE = 0x00000002;
constexpr DWORD STGM_SHARE_EXCLUSIVE = 0x00000010, STGM_CREATE = 0x00001000, STGM_TRANSACTED = 0x00010000;
constexpr DWORD STGC_DEFAULT = 0;
constexpr DWORD STATFLAG_DEFAULT = 0, STATFLAG_NONAME = 1;
constexpr DWORD STGTY_STORAGE = 1, STGTY_STREAM = 2, STGTY_LOCKBYTES = 3;
constexpr DWORD STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2;

// Object operations.
constexpr DWORD OLECLOSE_SAVEIFDIRTY = 0, OLECLOSE_NOSAVE = 1, OLECLOSE_PROMPTSAVE = 2;
constexpr LONG OLEIVERB_PRIMARY = 0, OLEIVERB_SHOW = -1, OLEIVERB_OPEN = -2, OLEIVERB_HIDE = -3;
constexpr DWORD USERCLASSTYPE_FULL = 1, USERCLASSTYPE_SHORT = 2, USERCLASSTYPE_APPNAME = 3;
constexpr DWORD OLERENDER_NONE = 0, OLERENDER_DRAW = 1, OLERENDER_FORMAT = 2;
constexpr DWORD CLSCTX_INPROC_SERVER = 0x1, CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD TYMED_NULL = 0, TYMED_HGLOBAL = 1;
constexpr DWORD DVASPECT_CONTENT = 1;

struct STATSTG {
  LPOLESTR pwcsName = nullptr;  // CoTaskMemAlloc'd unless STATFLAG_NONAME
  DWORD type = 0;
  ULONGLONG cbSize = 0;
  CLSID clsid = GUID_NULL;
};

struct FORMATETC {
  CLIPFORMAT cfFormat = 0;
  void* ptd = nullptr;
  DWORD dwAspect = DVASPECT_CONTENT;
  LONG lindex = -1;
  DWORD tymed = TYMED_HGLOBAL;
};

class IUnknown;
struct STGMEDIUM {
  DWORD tymed = TYMED_NULL;
  HGLOBAL hGlobal = nullptr;
  IUnknown* pUnkForRelease = nullptr;
};

class IUnknown {
 public:
  virtual HRESULT QueryInterface(REFIID iid, void** out) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

class ILockBytes : public IUnknown {
 public:
  virtual HRESULT ReadAt(ULONGLONG offset, void* data, ULONG count, ULONG* read) = 0;
  virtual HRESULT WriteAt(ULONGLONG offset, const void* data, ULONG count, ULONG* written) = 0;
  virtual HRESULT Flush() = 0;
  virtual HRESULT SetSize(ULONGLONG size) = 0;
  virtual HRESULT Stat(STATSTG* out, DWORD flags) = 0;

 protected:
  ~ILockBytes() = default;
};

class IStream : public IUnknown {
 public:
  virtual HRESULT Read(void* data, ULONG count, ULONG* read) = 0;
  virtual HRESULT Write(const void* data, ULONG count, ULONG* written) = 0;
  virtual HRESULT Seek(LONGLONG move, DWORD origin, ULONGLONG* position) = 0;
  virtual HRESULT SetSize(ULONGLONG size) = 0;
  virtual HRESULT Stat(STATSTG* out, DWORD flags) = 0;

 protected:
  ~IStream() = default;
};

class IStorage : public IUnknown {
 public:
  virtual HRESULT CreateStream(LPCOLESTR name, DWORD mode, DWORD reserved1, DWORD reserved2, IStream** out) = 0;
  virtual HRESULT OpenStream(LPCOLESTR name, void* reserved1, DWORD mode, DWORD reserved2, IStream** out) = 0;
  virtual HRESULT DestroyElement(LPCOLESTR name) = 0;
  virtual HRESULT Commit(DWORD flags) = 0;
  virtual HRESULT Revert() = 0;
  virtual HRESULT SetClass(REFCLSID clsid) = 0;
  virtual HRESULT Stat(STATSTG* out, DWORD flags) = 0;

 protected:
  ~IStorage() = default;
};

class IPersistStorage : public IUnknown {
 public:
  virtual HRESULT GetClassID(CLSID* out) = 0;
  virtual HRESULT IsDirty() = 0;
  virtual HRESULT InitNew(IStorage* storage) = 0;
  virtual HRESULT Load(IStorage* storage) = 0;
  virtual HRESULT Save(IStorage* storage, BOOL sameAsLoad) = 0;
  virtual HRESULT SaveCompleted(IStorage* storage) = 0;
  virtual HRESULT HandsOffStorage() = 0;

 protected:
  ~IPersistStorage() = default;
};

class IDataObject : public IUnknown {
 public:
  virtual HRESULT GetData(const FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT QueryGetData(const FORMATETC* format) = 0;

 protected:
  ~IDataObject() = default;
};

class IOleClientSite : public IUnknown {
 public:
  virtual HRESULT SaveObject() = 0;
  virtual HRESULT GetMoniker(DWORD assign, DWORD which, void** out) = 0;
  virtual HRESULT GetContainer(void** out) = 0;
  virtual HRESULT ShowObject() = 0;
  virtual HRESULT OnShowWindow(BOOL show) = 0;
  virtual HRESULT RequestNewObjectLayout() = 0;

 protected:
  ~IOleClientSite() = default;
};

class IAdviseSink : public IUnknown {
 public:
  virtual void OnDataChange(FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual void OnViewChange(DWORD aspect, LONG index) = 0;
  virtual void OnRename(void* moniker) = 0;
  virtual void OnSave() = 0;
  virtual void OnClose() = 0;

 protected:
  ~IAdviseSink() = default;
};

class IOleObject : public IUnknown {
 public:
  virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
  virtual HRESULT GetClientSite(IOleClientSite** out) = 0;
  virtual HRESULT Close(DWORD saveOption) = 0;
  virtual HRESULT DoVerb(LONG verb, MSG* msg, IOleClientSite* site, LONG index, HWND parent, LPCRECT rect) = 0;
  virtual HRESULT GetUserClassID(CLSID* out) = 0;
  virtual HRESULT GetUserType(DWORD form, LPOLESTR* out) = 0;
  virtual HRESULT GetClipboardData(DWORD reserved, IDataObject** out) = 0;
  virtual HRESULT Advise(IAdviseSink* sink, DWORD* connection) = 0;
  virtual HRESULT Unadvise(DWORD connection) = 0;

 protected:
  ~IOleObject() = default;
};

// The OLE 1 stream of the conversions: the caller's get and put callbacks, each answering the count it
// moved (the requested count) or 0 on failure.
struct OLESTREAM;
struct OLESTREAMVTBL {
  DWORD (*Get)(OLESTREAM* stream, void* data, DWORD count);
  DWORD (*Put)(OLESTREAM* stream, const void* data, DWORD count);
};
struct OLESTREAM {
  const OLESTREAMVTBL* lpstbl;
};
using LPOLESTREAM = OLESTREAM*;

// Task memory (names and user types handed out by the objects).
void* CoTaskMemAlloc(SIZE_T bytes);
void CoTaskMemFree(void* block);
