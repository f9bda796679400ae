// Reference counting and the ledger, streams and lock bytes on global memory, and storages of named
// streams with their storage form.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/base/CodePage.h"
#include "platform/base/GlobalMemory.h"
#include "platform/ole/OleApi.h"

namespace plat::ole {

namespace {
std::size_t gLive = 0;
}

ComBase::ComBase() { ++gLive; }
ComBase::~ComBase() { --gLive; }
std::size_t LiveObjectCount() { return gLive; }

ULONG ComBase::ReleaseCount() {
  const ULONG left = --m_refs;
  if (left == 0) delete this;
  return left;
}

LPOLESTR TaskString(const std::string& text) {
  const std::u16string wide = Wide(text);
  auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(OLECHAR)));
  if (!out) return nullptr;
  std::copy(wide.begin(), wide.end(), out);
  out[wide.size()] = 0;
  return out;
}

std::u16string Wide(const std::string& text) { return Utf16From1252(text); }

std::string Narrow(LPCOLESTR text) {
  if (!text) return {};
  std::u16string_view view(text);
  return Cp1252FromUtf16(view);
}

}  // namespace plat::ole

void* CoTaskMemAlloc(SIZE_T bytes) { return std::malloc(bytes ? bytes : 1); }
void CoTaskMemFree(void* block) { std::free(block); }

namespace {

using plat::ole::ComObject;

// Reading and writing at any offset of a byte store that can be sized and locked: a write past the end
// grows the store first.
template <class Store>
class OffsetBytes {
 public:
  HRESULT Read(ULONGLONG at, void* data, ULONG count, ULONG* read) {
    const ULONGLONG size = store().Size();
    const ULONG n = at >= size ? 0 : static_cast<ULONG>(std::min<ULONGLONG>(count, size - at));
    if (n) {
      const BYTE* base = store().Lock();
      if (!base) return STG_E_READFAULT;
      std::memcpy(data, base + at, n);
      store().Unlock();
    }
    if (read) *read = n;
    return S_OK;
  }
  HRESULT Write(ULONGLONG at, const void* data, ULONG count, ULONG* written) {
    if (written) *written = 0;
    if (at + count > store().Size()) {
      const HRESULT hr = store().Resize(at + count);
      if (FAILED(hr)) return hr;
    }
    if (count) {
      BYTE* base = store().Lock();
      if (!base) return STG_E_INSUFFICIENTMEMORY;
      std::memcpy(base + at, data, count);
      store().Unlock();
    }
    if (written) *written = count;
    return S_OK;
  }

 private:
  Store& store() { return static_cast<Store&>(*this); }
};

// Bytes of a global block, grown and shrunk through GlobalReAlloc.
class GlobalBytes : public OffsetBytes<GlobalBytes> {
 public:
  GlobalBytes(HGLOBAL block, BOOL deleteOnRelease) : m_block(block), m_bDelete(deleteOnRelease) {}
  ~GlobalBytes() {
    if (m_bDelete && m_block) ::GlobalFree(m_block);
  }
  HGLOBAL Block() const { return m_block; }
  ULONGLONG Size() const { return ::GlobalSize(m_block); }
  HRESULT Resize(ULONGLONG size) {
    if (size > 0x7FFFFFFF) return STG_E_INSUFFICIENTMEMORY;
    if (size == Size()) return S_OK;
    HGLOBAL moved = ::GlobalReAlloc(m_block, static_cast<SIZE_T>(size), GMEM_MOVEABLE);
    if (!moved) return STG_E_INSUFFICIENTMEMORY;
    m_block = moved;
    return S_OK;
  }
  BYTE* Lock() { return static_cast<BYTE*>(::GlobalLock(m_block)); }
  void Unlock() { ::GlobalUnlock(m_block); }

 private:
  HGLOBAL m_block;
  BOOL m_bDelete;
};

HGLOBAL NewBlockOr(HGLOBAL block) { return block ? block : ::GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, 0); }

class HGlobalLockBytes final : public ComObject<ILockBytes, IID_ILockBytes> {
 public:
  HGlobalLockBytes(HGLOBAL block, BOOL deleteOnRelease) : m_bytes(block, deleteOnRelease) {}
  HRESULT ReadAt(ULONGLONG offset, void* data, ULONG count, ULONG* read) override {
    return m_bytes.Read(offset, data, count, read);
  }
  HRESULT WriteAt(ULONGLONG offset, const void* data, ULONG count, ULONG* written) override {
    return m_bytes.Write(offset, data, count, written);
  }
  HRESULT Flush() override { return S_OK; }
  HRESULT SetSize(ULONGLONG size) override { return m_bytes.Resize(size); }
  HRESULT Stat(STATSTG* out, DWORD) override {
    if (!out) return STG_E_INVALIDPOINTER;
    *out = STATSTG{};
    out->type = STGTY_LOCKBYTES;
    out->cbSize = m_bytes.Size();
    return S_OK;
  }
  HGLOBAL Block() const { return m_bytes.Block(); }

 private:
  GlobalBytes m_bytes;
};

using StreamData = std::shared_ptr<std::vector<BYTE>>;

// Bytes of a storage's stream element, shared with the storage (they stay usable after the storage is gone).
class ElementBytes : public OffsetBytes<ElementBytes> {
 public:
  explicit ElementBytes(StreamData data) : m_data(std::move(data)) {}
  ULONGLONG Size() const { return m_data->size(); }
  HRESULT Resize(ULONGLONG size) {
    if (size > 0x7FFFFFFF) return STG_E_INSUFFICIENTMEMORY;
    m_data->resize(static_cast<std::size_t>(size));
    return S_OK;
  }
  BYTE* Lock() { return m_data->data(); }
  void Unlock() {}

 private:
  StreamData m_data;
};

// A stream with its own position over bytes that can be read, written and resized at any offset.
template <class Bytes>
class PositionedStream final : public ComObject<IStream, IID_IStream> {
 public:
  template <class... Args>
  explicit PositionedStream(Args&&... args) : m_bytes(std::forward<Args>(args)...) {}
  HRESULT Read(void* data, ULONG count, ULONG* read) override {
    ULONG n = 0;
    const HRESULT hr = m_bytes.Read(m_pos, data, count, &n);
    m_pos += n;
    if (read) *read = n;
    return hr;
  }
  HRESULT Write(const void* data, ULONG count, ULONG* written) override {
    ULONG n = 0;
    const HRESULT hr = m_bytes.Write(m_pos, data, count, &n);
    m_pos += n;
    if (written) *written = n;
    return hr;
  }
  HRESULT Seek(LONGLONG move, DWORD origin, ULONGLONG* position) override {
    LONGLONG base = 0;
    if (origin == STREAM_SEEK_CUR)
      base = static_cast<LONGLONG>(m_pos);
    else if (origin == STREAM_SEEK_END)
      base = static_cast<LONGLONG>(m_bytes.Size());
    else if (origin != STREAM_SEEK_SET)
      return STG_E_INVALIDFUNCTION;
    if (base + move < 0) return STG_E_INVALIDFUNCTION;
    m_pos = static_cast<ULONGLONG>(base + move);
    if (position) *position = m_pos;
    return S_OK;
  }
  HRESULT SetSize(ULONGLONG size) override { return m_bytes.Resize(size); }
  HRESULT Stat(STATSTG* out, DWORD) override {
    if (!out) return STG_E_INVALIDPOINTER;
    *out = STATSTG{};
    out->type = STGTY_STREAM;
    out->cbSize = m_bytes.Size();
    return S_OK;
  }
  const Bytes& Store() const { return m_bytes; }

 private:
  Bytes m_bytes;
  ULONGLONG m_pos = 0;
};

using HGlobalStream = PositionedStream<GlobalBytes>;
using ElementStream = PositionedStream<ElementBytes>;

struct StorageContent {
  CLSID clsid = GUID_NULL;
  std::map<std::u16string, StreamData> streams;
};

constexpr BYTE kFormMagic[4] = {'B', 'S', 'T', 'G'};
constexpr std::size_t kMaxNameUnits = 1024;

void PutDword(std::vector<BYTE>& out, DWORD v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(v >> (8 * i)));
}

std::vector<BYTE> FormOf(const StorageContent& content) {
  std::vector<BYTE> out(kFormMagic, kFormMagic + 4);
  const auto* id = reinterpret_cast<const BYTE*>(&content.clsid);
  // The class id's fields little-endian, whatever the machine.
  PutDword(out, content.clsid.Data1);
  out.push_back(static_cast<BYTE>(content.clsid.Data2));
  out.push_back(static_cast<BYTE>(content.clsid.Data2 >> 8));
  out.push_back(static_cast<BYTE>(content.clsid.Data3));
  out.push_back(static_cast<BYTE>(content.clsid.Data3 >> 8));
  out.insert(out.end(), id + 8, id + 16);
  PutDword(out, static_cast<DWORD>(content.streams.size()));
  for (const auto& [name, data] : content.streams) {
    out.push_back(static_cast<BYTE>(name.size()));
    out.push_back(static_cast<BYTE>(name.size() >> 8));
    for (char16_t u : name) {
      out.push_back(static_cast<BYTE>(u));
      out.push_back(static_cast<BYTE>(u >> 8));
    }
    PutDword(out, static_cast<DWORD>(data->size()));
    out.insert(out.end(), data->begin(), data->end());
  }
  return out;
}

// A reader that never reads past its end.
class Reader {
 public:
  explicit Reader(std::span<const BYTE> bytes) : m_bytes(bytes) {}
  bool Take(std::size_t n, const BYTE** at) {
    if (n > m_bytes.size() - m_pos) return false;
    *at = m_bytes.data() + m_pos;
    m_pos += n;
    return true;
  }
  bool Dword(DWORD* v) {
    const BYTE* p = nullptr;
    if (!Take(4, &p)) return false;
    *v = DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
    return true;
  }
  bool Word(WORD* v) {
    const BYTE* p = nullptr;
    if (!Take(2, &p)) return false;
    *v = static_cast<WORD>(p[0] | p[1] << 8);
    return true;
  }
  bool AtEnd() const { return m_pos == m_bytes.size(); }

 private:
  std::span<const BYTE> m_bytes;
  std::size_t m_pos = 0;
};

HRESULT ParseForm(std::span<const BYTE> form, StorageContent& out) {
  Reader r(form);
  const BYTE* p = nullptr;
  if (!r.Take(4, &p) || std::memcmp(p, kFormMagic, 4) != 0) return STG_E_INVALIDHEADER;
  StorageContent content;
  WORD w2 = 0, w3 = 0;
  if (!r.Dword(&content.clsid.Data1) || !r.Word(&w2) || !r.Word(&w3) || !r.Take(8, &p)) return STG_E_INVALIDHEADER;
  content.clsid.Data2 = w2;
  content.clsid.Data3 = w3;
  std::memcpy(content.clsid.Data4, p, 8);
  DWORD count = 0;
  if (!r.Dword(&count)) return STG_E_INVALIDHEADER;
  for (DWORD i = 0; i < count; ++i) {
    WORD units = 0;
    if (!r.Word(&units) || units == 0 || units > kMaxNameUnits || !r.Take(std::size_t(units) * 2, &p))
      return STG_E_INVALIDHEADER;
    std::u16string name;
    for (WORD u = 0; u < units; ++u) name.push_back(static_cast<char16_t>(p[2 * u] | p[2 * u + 1] << 8));
    DWORD length = 0;
    if (!r.Dword(&length) || !r.Take(length, &p)) return STG_E_INVALIDHEADER;
    if (content.streams.count(name)) return STG_E_INVALIDHEADER;  // a name twice: not a form this layer wrote
    content.streams[name] = std::make_shared<std::vector<BYTE>>(p, p + length);
  }
  if (!r.AtEnd()) return STG_E_INVALIDHEADER;
  out = std::move(content);
  return S_OK;
}

HRESULT ReadAll(ILockBytes* bytes, std::vector<BYTE>& out) {
  STATSTG stat;
  HRESULT hr = bytes->Stat(&stat, STATFLAG_NONAME);
  if (FAILED(hr)) return hr;
  if (stat.cbSize > 0x7FFFFFFF) return STG_E_INSUFFICIENTMEMORY;
  out.resize(static_cast<std::size_t>(stat.cbSize));
  ULONG read = 0;
  hr = bytes->ReadAt(0, out.data(), static_cast<ULONG>(out.size()), &read);
  if (FAILED(hr)) return hr;
  return read == out.size() ? S_OK : STG_E_READFAULT;
}

class MemoryStorage final : public ComObject<IStorage, IID_IStorage> {
 public:
  explicit MemoryStorage(ILockBytes* bytes) : m_pBytes(bytes) {
    if (m_pBytes) m_pBytes->AddRef();
  }
  ~MemoryStorage() override {
    if (m_pBytes) m_pBytes->Release();
  }

  HRESULT CreateStream(LPCOLESTR name, DWORD mode, DWORD, DWORD, IStream** out) override {
    if (!out) return STG_E_INVALIDPOINTER;
    *out = nullptr;
    if (!name || !*name || std::u16string_view(name).size() > kMaxNameUnits) return STG_E_INVALIDNAME;
    auto& slot = m_content.streams[name];
    if (slot && !(mode & STGM_CREATE)) return STG_E_FILEALREADYEXISTS;
    slot = std::make_shared<std::vector<BYTE>>();
    *out = new ElementStream(slot);
    return S_OK;
  }
  HRESULT OpenStream(LPCOLESTR name, void*, DWORD, DWORD, IStream** out) override {
    if (!out) return STG_E_INVALIDPOINTER;
    *out = nullptr;
    if (!name) return STG_E_INVALIDNAME;
    auto it = m_content.streams.find(name);
    if (it == m_content.streams.end()) return STG_E_FILENOTFOUND;
    *out = new ElementStream(it->second);
    return S_OK;
  }
  HRESULT DestroyElement(LPCOLESTR name) override {
    if (!name) return STG_E_INVALIDNAME;
    return m_content.streams.erase(name) ? S_OK : STG_E_FILENOTFOUND;
  }
  HRESULT Commit(DWORD) override {
    if (!m_pBytes) return S_OK;
    const std::vector<BYTE> form = FormOf(m_content);
    HRESULT hr = m_pBytes->SetSize(form.size());
    if (FAILED(hr)) return hr;
    ULONG written = 0;
    hr = m_pBytes->WriteAt(0, form.data(), static_cast<ULONG>(form.size()), &written);
    return FAILED(hr) ? hr : S_OK;
  }
  HRESULT Revert() override {
    if (!m_pBytes) return S_OK;
    std::vector<BYTE> bytes;
    HRESULT hr = ReadAll(m_pBytes, bytes);
    if (FAILED(hr)) return hr;
    if (bytes.empty()) {
      m_content = StorageContent{};
      return S_OK;
    }
    return ParseForm(bytes, m_content);
  }
  HRESULT SetClass(REFCLSID clsid) override {
    m_content.clsid = clsid;
    return S_OK;
  }
  HRESULT Stat(STATSTG* out, DWORD) override {
    if (!out) return STG_E_INVALIDPOINTER;
    *out = STATSTG{};
    out->type = STGTY_STORAGE;
    out->clsid = m_content.clsid;
    return S_OK;
  }

  StorageContent m_content;

 private:
  ILockBytes* m_pBytes;
};

MemoryStorage* OurStorage(IStorage* storage) { return dynamic_cast<MemoryStorage*>(storage); }

}  // namespace

namespace {

HGLOBAL BlockOf(const HGlobalLockBytes& bytes) { return bytes.Block(); }
HGLOBAL BlockOf(const HGlobalStream& stream) { return stream.Store().Block(); }

// A lock-bytes or stream object on `block`, or on a new empty block when there is none. A block made here
// belongs to the object when the caller asked for deletion on release.
template <class Object, class Interface>
HRESULT MakeOnBlock(HGLOBAL block, BOOL deleteOnRelease, Interface** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  if (block && ::GlobalFlags(block) == GMEM_INVALID_HANDLE) return E_INVALIDARG;
  HGLOBAL use = NewBlockOr(block);
  if (!use) return E_OUTOFMEMORY;
  *out = new Object(use, deleteOnRelease);
  return S_OK;
}

// The block under one of this layer's objects; E_INVALIDARG for any other object.
template <class Object, class Interface>
HRESULT BlockUnder(Interface* object, HGLOBAL* out) {
  if (!out) return E_INVALIDARG;
  auto* ours = dynamic_cast<Object*>(object);
  *out = ours ? BlockOf(*ours) : nullptr;
  return ours ? S_OK : E_INVALIDARG;
}

}  // namespace

HRESULT CreateILockBytesOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, ILockBytes** out) {
  return MakeOnBlock<HGlobalLockBytes>(block, deleteOnRelease, out);
}

HRESULT GetHGlobalFromILockBytes(ILockBytes* bytes, HGLOBAL* out) { return BlockUnder<HGlobalLockBytes>(bytes, out); }

HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, IStream** out) {
  return MakeOnBlock<HGlobalStream>(block, deleteOnRelease, out);
}

HRESULT GetHGlobalFromStream(IStream* stream, HGLOBAL* out) { return BlockUnder<HGlobalStream>(stream, out); }

HRESULT StgCreateDocfileOnILockBytes(ILockBytes* bytes, DWORD mode, DWORD, IStorage** out) {
  if (!out) return STG_E_INVALIDPOINTER;
  *out = nullptr;
  if (!bytes) return STG_E_INVALIDPARAMETER;
  STATSTG stat;
  if (!(mode & STGM_CREATE) && SUCCEEDED(bytes->Stat(&stat, STATFLAG_NONAME)) && stat.cbSize > 0)
    return STG_E_FILEALREADYEXISTS;
  auto* storage = new MemoryStorage(bytes);
  const HRESULT hr = storage->Commit(STGC_DEFAULT);
  if (FAILED(hr)) {
    storage->Release();
    return hr;
  }
  *out = storage;
  return S_OK;
}

HRESULT StgOpenStorageOnILockBytes(ILockBytes* bytes, IStorage*, DWORD, void*, DWORD, IStorage** out) {
  if (!out) return STG_E_INVALIDPOINTER;
  *out = nullptr;
  if (!bytes) return STG_E_INVALIDPARAMETER;
  std::vector<BYTE> form;
  HRESULT hr = ReadAll(bytes, form);
  if (FAILED(hr)) return hr;
  auto* storage = new MemoryStorage(bytes);
  hr = ParseForm(form, storage->m_content);
  if (FAILED(hr)) {
    storage->Release();
    return hr;
  }
  *out = storage;
  return S_OK;
}

HRESULT WriteClassStg(IStorage* storage, REFCLSID clsid) {
  return storage ? storage->SetClass(clsid) : STG_E_INVALIDPOINTER;
}

HRESULT ReadClassStg(IStorage* storage, CLSID* out) {
  if (!storage || !out) return STG_E_INVALIDPOINTER;
  STATSTG stat;
  const HRESULT hr = storage->Stat(&stat, STATFLAG_NONAME);
  if (FAILED(hr)) return hr;
  *out = stat.clsid;
  return S_OK;
}

namespace plat::ole {

HRESULT SaveStorageForm(IStorage* storage, std::vector<BYTE>& out) {
  MemoryStorage* ours = OurStorage(storage);
  if (!ours) return STG_E_INVALIDPARAMETER;
  out = FormOf(ours->m_content);
  return S_OK;
}

HRESULT LoadStorageForm(std::span<const BYTE> form, IStorage* storage) {
  MemoryStorage* ours = OurStorage(storage);
  if (!ours) return STG_E_INVALIDPARAMETER;
  StorageContent content;
  const HRESULT hr = ParseForm(form, content);
  if (FAILED(hr)) return hr;
  ours->m_content = std::move(content);
  return S_OK;
}

}  // namespace plat::ole
