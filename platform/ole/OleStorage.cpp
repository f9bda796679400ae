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

using plat::ole::ComBase;

// Bytes of a global block, grown and shrunk through GlobalReAlloc.
class GlobalBytes {
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
  HRESULT Read(ULONGLONG at, void* data, ULONG count, ULONG* read) {
    const ULONGLONG size = Size();
    const ULONG n = at >= size ? 0 : static_cast<ULONG>(std::min<ULONGLONG>(count, size - at));
    if (n) {
      auto* base = static_cast<const BYTE*>(::GlobalLock(m_block));
      if (!base) return STG_E_READFAULT;
      std::memcpy(data, base + at, n);
      ::GlobalUnlock(m_block);
    }
    if (read) *read = n;
    return S_OK;
  }
  HRESULT Write(ULONGLONG at, const void* data, ULONG count, ULONG* written) {
    if (written) *written = 0;
    if (at + count > Size()) {
      const HRESULT hr = Resize(at + count);
      if (FAILED(hr)) return hr;
    }
    if (count) {
      auto* base = static_cast<BYTE*>(::GlobalLock(m_block));
      if (!base) return STG_E_INSUFFICIENTMEMORY;
      std::memcpy(base + at, data, count);
      ::GlobalUnlock(m_block);
    }
    if (written) *written = count;
    return S_OK;
  }

 private:
  HGLOBAL m_block;
  BOOL m_bDelete;
};

HGLOBAL NewBlockOr(HGLOBAL block) { return block ? block : ::GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, 0); }

class HGlobalLockBytes final : public ILockBytes, public ComBase {
 public:
  HGlobalLockBytes(HGLOBAL block, BOOL deleteOnRelease) : m_bytes(block, deleteOnRelease) {}
  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_ILockBytes) return E_NOINTERFACE;
    *out = static_cast<ILockBytes*>(this);
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return AddRefCount(); }
  ULONG Release() override { return ReleaseCount(); }
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

class HGlobalStream final : public IStream, public ComBase {
 public:
  HGlobalStream(HGLOBAL block, BOOL deleteOnRelease) : m_bytes(block, deleteOnRelease) {}
  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IStream) return E_NOINTERFACE;
    *out = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return AddRefCount(); }
  ULONG Release() override { return ReleaseCount(); }
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
  HGLOBAL Block() const { return m_bytes.Block(); }

 private:
  GlobalBytes m_bytes;
  ULONGLONG m_pos = 0;
};

using StreamData = std::shared_ptr<std::vector<BYTE>>;

// A stream of a storage, on the storage's element (it stays usable after the storage is gone).
class ElementStream final : public IStream, public ComBase {
 public:
  explicit ElementStream(StreamData data) : m_data(std::move(data)) {}
  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IStream) return E_NOINTERFACE;
    *out = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return AddRefCount(); }
  ULONG Release() override { return ReleaseCount(); }
  HRESULT Read(void* data, ULONG count, ULONG* read) override {
    const ULONGLONG size = m_data->size();
    const ULONG n = m_pos >= size ? 0 : static_cast<ULONG>(std::min<ULONGLONG>(count, size - m_pos));
    if (n) std::memcpy(data, m_data->data() + m_pos, n);
    m_pos += n;
    if (read) *read = n;
    return S_OK;
  }
  HRESULT Write(const void* data, ULONG count, ULONG* written) override {
    if (written) *written = 0;
    if (m_pos + count > 0x7FFFFFFF) return STG_E_INSUFFICIENTMEMORY;
    if (m_pos + count > m_data->size()) m_data->resize(static_cast<std::size_t>(m_pos + count));
    if (count) std::memcpy(m_data->data() + m_pos, data, count);
    m_pos += count;
    if (written) *written = count;
    return S_OK;
  }
  HRESULT Seek(LONGLONG move, DWORD origin, ULONGLONG* position) override {
    LONGLONG base = 0;
    if (origin == STREAM_SEEK_CUR)
      base = static_cast<LONGLONG>(m_pos);
    else if (origin == STREAM_SEEK_END)
      base = static_cast<LONGLONG>(m_data->size());
    else if (origin != STREAM_SEEK_SET)
      return STG_E_INVALIDFUNCTION;
    if (base + move < 0) return STG_E_INVALIDFUNCTION;
    m_pos = static_cast<ULONGLONG>(base + move);
    if (position) *position = m_pos;
    return S_OK;
  }
  HRESULT SetSize(ULONGLONG size) override {
    if (size > 0x7FFFFFFF) return STG_E_INSUFFICIENTMEMORY;
    m_data->resize(static_cast<std::size_t>(size));
    return S_OK;
  }
  HRESULT Stat(STATSTG* out, DWORD) override {
    if (!out) return STG_E_INVALIDPOINTER;
    *out = STATSTG{};
    out->type = STGTY_STREAM;
    out->cbSize = m_data->size();
    return S_OK;
  }

 private:
  StreamData m_data;
  ULONGLONG m_pos = 0;
};

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

class MemoryStorage final : public IStorage, public ComBase {
 public:
  explicit MemoryStorage(ILockBytes* bytes) : m_pBytes(bytes) {
    if (m_pBytes) m_pBytes->AddRef();
  }
  ~MemoryStorage() override {
    if (m_pBytes) m_pBytes->Release();
  }
  HRESULT QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IStorage) return E_NOINTERFACE;
    *out = static_cast<IStorage*>(this);
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return AddRefCount(); }
  ULONG Release() override { return ReleaseCount(); }

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

HRESULT CreateILockBytesOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, ILockBytes** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  if (block && ::GlobalFlags(block) == GMEM_INVALID_HANDLE) return E_INVALIDARG;
  HGLOBAL use = NewBlockOr(block);
  if (!use) return E_OUTOFMEMORY;
  // A block made here belongs to the lock bytes when the caller asked for deletion on release.
  *out = new HGlobalLockBytes(use, deleteOnRelease);
  return S_OK;
}

HRESULT GetHGlobalFromILockBytes(ILockBytes* bytes, HGLOBAL* out) {
  if (!out) return E_INVALIDARG;
  auto* ours = dynamic_cast<HGlobalLockBytes*>(bytes);
  *out = ours ? ours->Block() : nullptr;
  return ours ? S_OK : E_INVALIDARG;
}

HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, IStream** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  if (block && ::GlobalFlags(block) == GMEM_INVALID_HANDLE) return E_INVALIDARG;
  HGLOBAL use = NewBlockOr(block);
  if (!use) return E_OUTOFMEMORY;
  *out = new HGlobalStream(use, deleteOnRelease);
  return S_OK;
}

HRESULT GetHGlobalFromStream(IStream* stream, HGLOBAL* out) {
  if (!out) return E_INVALIDARG;
  auto* ours = dynamic_cast<HGlobalStream*>(stream);
  *out = ours ? ours->Block() : nullptr;
  return ours ? S_OK : E_INVALIDARG;
}

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
