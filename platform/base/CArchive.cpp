#include "platform/base/CArchive.h"

#include <algorithm>
#include <limits>

#include "platform/base/CodePage.h"

namespace {

constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr DWORD kBigClassTag = 0x80000000u;
// Indexes must stay clear of the class bit of a big tag.
constexpr DWORD kMaxMapCount = 0x3FFFFFFEu;
// Class names longer than this are refused as corrupt.
constexpr WORD kMaxClassName = 64;
// Long strings are read in pieces of this size, so a corrupt length never allocates ahead of the data.
constexpr std::size_t kStringChunk = 64 * 1024;

}  // namespace

CArchive::CArchive(CFile* file, UINT mode, int bufferSize, void* /*buffer*/)
    : file_(file), loading_((mode & load) != 0), noFlushOnDelete_((mode & bNoFlushOnDelete) != 0) {
  if (!file) AfxThrowInvalidArgException();
  // A caller-supplied buffer is not needed: the archive keeps its own of the requested size.
  buffer_.resize(static_cast<std::size_t>(std::max(bufferSize, 128)));
  if (loading_) loadMap_.push_back(LoadEntry{});  // index 0: the null object
}

CArchive::~CArchive() {
  if (!file_) return;
  if (!loading_ && !noFlushOnDelete_) {
    try {
      FlushBuffer();
    } catch (CException* e) {
      e->Delete();
    }
  }
  file_ = nullptr;
}

void CArchive::Throw(int cause) const {
  AfxThrowArchiveException(cause, file_ ? file_->GetFilePath().GetString() : nullptr);
}

void CArchive::CheckLoading() const {
  if (!file_) Throw(CArchiveException::genericException);
  if (!loading_) Throw(CArchiveException::writeOnly);
}

void CArchive::CheckStoring() const {
  if (!file_) Throw(CArchiveException::genericException);
  if (loading_) Throw(CArchiveException::readOnly);
}

UINT CArchive::GetObjectSchema() {
  const UINT s = objectSchema_;
  objectSchema_ = static_cast<UINT>(-1);
  return s;
}

UINT CArchive::Read(void* buffer, UINT count) {
  CheckLoading();
  if (count == 0) return 0;
  if (!buffer) AfxThrowInvalidArgException();
  auto* out = static_cast<BYTE*>(buffer);
  UINT done = 0;
  while (done < count) {
    if (cur_ == end_) {
      // Large remainders go straight to the caller's memory.
      if (count - done >= buffer_.size()) {
        const UINT n = file_->Read(out + done, count - done);
        done += n;
        break;
      }
      cur_ = 0;
      end_ = file_->Read(buffer_.data(), static_cast<UINT>(buffer_.size()));
      if (end_ == 0) break;
    }
    const std::size_t n = std::min<std::size_t>(end_ - cur_, count - done);
    std::memcpy(out + done, buffer_.data() + cur_, n);
    cur_ += n;
    done += static_cast<UINT>(n);
  }
  return done;
}

void CArchive::Write(const void* buffer, UINT count) {
  CheckStoring();
  if (count == 0) return;
  if (!buffer) AfxThrowInvalidArgException();
  const auto* in = static_cast<const BYTE*>(buffer);
  if (cur_ + count > buffer_.size()) {
    FlushBuffer();
    if (count >= buffer_.size()) {
      file_->Write(in, count);
      return;
    }
  }
  std::memcpy(buffer_.data() + cur_, in, count);
  cur_ += count;
}

void CArchive::FlushBuffer() {
  if (cur_ == 0) return;
  const std::size_t n = cur_;
  cur_ = 0;  // even when the write throws, the bytes are not written twice
  file_->Write(buffer_.data(), static_cast<UINT>(n));
}

void CArchive::Flush() {
  if (!file_) return;
  if (loading_) {
    // Give the unread part of the buffer back, so the file's position is where reading stopped.
    if (end_ > cur_) file_->Seek(-static_cast<LONGLONG>(end_ - cur_), CFile::current);
    cur_ = end_ = 0;
  } else {
    FlushBuffer();
    file_->Flush();
  }
}

void CArchive::Close() {
  if (!file_) return;
  Flush();
  file_ = nullptr;
}

void CArchive::Abort() {
  file_ = nullptr;
  cur_ = end_ = 0;
}

ULONGLONG CArchive::GetBytesLeft() const {
  CheckLoading();
  const ULONGLONG length = file_->GetLength();
  const ULONGLONG position = file_->GetPosition();
  return (end_ - cur_) + (length > position ? length - position : 0);
}

void CArchive::EnsureAvailable(ULONGLONG bytes) const {
  if (bytes > end_ - cur_ && GetBytesLeft() < bytes) Throw(CArchiveException::endOfFile);
}

CArchive& CArchive::operator<<(long v) {
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    Throw(CArchiveException::genericException);
  return Put(static_cast<std::int32_t>(v));
}

CArchive& CArchive::operator<<(unsigned long v) {
  if (v > std::numeric_limits<std::uint32_t>::max()) Throw(CArchiveException::genericException);
  return Put(static_cast<std::uint32_t>(v));
}

void CArchive::WriteString(LPCSTR text) {
  if (text) Write(text, static_cast<UINT>(std::strlen(text)));
}

BOOL CArchive::ReadString(CString& line) {
  std::string s;
  bool any = false;
  char c;
  while (Read(&c, 1) == 1) {
    any = true;
    if (c == '\n') break;
    s += c;
  }
  if (!s.empty() && s.back() == '\r') s.pop_back();
  line = CString(std::move(s));
  return any ? TRUE : FALSE;
}

LPSTR CArchive::ReadString(LPSTR buffer, UINT maxChars) {
  if (!buffer || maxChars == 0) AfxThrowInvalidArgException();
  UINT n = 0;
  bool any = false;
  char c;
  while (n + 1 < maxChars && Read(&c, 1) == 1) {
    any = true;
    if (c == '\n') break;
    buffer[n++] = c;
  }
  if (n > 0 && buffer[n - 1] == '\r') --n;
  buffer[n] = '\0';
  return any ? buffer : nullptr;
}

void CArchive::WriteCount(DWORD_PTR count) {
  if (count < 0xFFFF) {
    *this << static_cast<WORD>(count);
  } else {
    if (count > 0xFFFFFFFFu) Throw(CArchiveException::genericException);
    *this << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(count);
  }
}

DWORD_PTR CArchive::ReadCount() {
  const WORD w = Get<WORD>();
  if (w != 0xFFFF) return w;
  return Get<DWORD>();
}

void CArchive::WriteLength(DWORD length) {
  if (length < 0xFF) {
    *this << static_cast<BYTE>(length);
  } else if (length < 0xFFFE) {
    *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(length);
  } else {
    *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << length;
  }
}

void CArchive::WriteCString(std::string_view text) {
  if (text.size() > 0xFFFFFFFEu) Throw(CArchiveException::genericException);
  WriteLength(static_cast<DWORD>(text.size()));
  if (!text.empty()) Write(text.data(), static_cast<UINT>(text.size()));
}

void CArchive::WriteWideString(std::string_view text) {
  if (text.size() > 0xFFFFFFFEu) Throw(CArchiveException::genericException);
  *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFE);
  WriteLength(static_cast<DWORD>(text.size()));
  for (char c : text) *this << static_cast<WORD>(plat::CharTo16(static_cast<unsigned char>(c)));
}

DWORD CArchive::ReadStringLength(bool& wide) {
  wide = false;
  BYTE b = Get<BYTE>();
  if (b < 0xFF) return b;
  WORD w = Get<WORD>();
  if (w == 0xFFFE) {
    // The wide marker; the length follows in the ordinary form.
    wide = true;
    b = Get<BYTE>();
    if (b < 0xFF) return b;
    w = Get<WORD>();
  }
  if (w < 0xFFFF) return w;
  const DWORD d = Get<DWORD>();
  if (d == 0xFFFFFFFFu) Throw(CArchiveException::badIndex);  // a 64-bit length: no file of ours holds one
  return d;
}

CString CArchive::ReadCString() {
  bool wide = false;
  const DWORD length = ReadStringLength(wide);
  const std::size_t unit = wide ? 2 : 1;
  const std::size_t total = static_cast<std::size_t>(length) * unit;
  std::string bytes;
  bytes.reserve(std::min(total, kStringChunk));
  while (bytes.size() < total) {
    const std::size_t n = std::min(total - bytes.size(), kStringChunk);
    const std::size_t old = bytes.size();
    bytes.resize(old + n);
    if (Read(bytes.data() + old, static_cast<UINT>(n)) != n) Throw(CArchiveException::endOfFile);
  }
  if (!wide) return CString(std::move(bytes));
  std::u16string units(length, u'\0');
  for (std::size_t i = 0; i < length; ++i)
    units[i] = static_cast<char16_t>(static_cast<BYTE>(bytes[2 * i]) | (static_cast<BYTE>(bytes[2 * i + 1]) << 8));
  return CString(plat::Cp1252FromUtf16(units));
}

DWORD CArchive::NextIndex() {
  if (mapCount_ > kMaxMapCount) Throw(CArchiveException::badIndex);
  return mapCount_++;
}

void CArchive::WriteIndexTag(DWORD index, bool isClass) {
  if (index < kBigObjectTag) {
    *this << static_cast<WORD>(isClass ? (kClassTag | index) : index);
  } else {
    *this << kBigObjectTag << static_cast<DWORD>(isClass ? (kBigClassTag | index) : index);
  }
}

void CArchive::WriteClass(const CRuntimeClass* cls) {
  CheckStoring();
  if (!cls) AfxThrowInvalidArgException();
  if (cls->m_wSchema == kNoSchema) AfxThrowNotSupportedException();
  const auto it = storeMap_.find(cls);
  if (it != storeMap_.end()) {
    WriteIndexTag(it->second, true);
    return;
  }
  *this << kNewClassTag;
  cls->Store(*this);
  storeMap_.emplace(cls, NextIndex());
}

void CArchive::WriteObject(const CObject* object) {
  CheckStoring();
  if (!object) {
    *this << kNullTag;
    return;
  }
  const auto it = storeMap_.find(object);
  if (it != storeMap_.end()) {
    WriteIndexTag(it->second, false);
    return;
  }
  WriteClass(object->GetRuntimeClass());
  storeMap_.emplace(object, NextIndex());
  const_cast<CObject*>(object)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* requested, UINT* schema, DWORD* objectTag) {
  CheckLoading();
  const WORD tag = Get<WORD>();
  DWORD obTag = 0;
  if (tag == kBigObjectTag) {
    obTag = Get<DWORD>();
  } else if (tag != kNewClassTag) {
    obTag = (static_cast<DWORD>(tag & kClassTag) << 16) | (tag & ~kClassTag);
  }
  CRuntimeClass* cls = nullptr;
  UINT storedSchema = 0;
  if (tag == kNewClassTag) {
    cls = CRuntimeClass::Load(*this, &storedSchema);
    if (!cls || cls->m_wSchema == kNoSchema) Throw(CArchiveException::badClass);
    const UINT own = cls->m_wSchema & ~VERSIONABLE_SCHEMA;
    if (own != storedSchema && !(cls->m_wSchema & VERSIONABLE_SCHEMA)) Throw(CArchiveException::badSchema);
    const DWORD index = NextIndex();
    if (index != loadMap_.size()) Throw(CArchiveException::badIndex);
    loadMap_.push_back(LoadEntry{cls, storedSchema, nullptr, true});
  } else if (obTag & kBigClassTag) {
    const DWORD index = obTag & ~kBigClassTag;
    if (index == 0 || index >= loadMap_.size() || !loadMap_[index].isClass) Throw(CArchiveException::badIndex);
    cls = loadMap_[index].cls;
    storedSchema = loadMap_[index].schema;
  } else {
    if (objectTag) *objectTag = obTag;
    return nullptr;
  }
  if (requested && !cls->IsDerivedFrom(requested)) Throw(CArchiveException::badClass);
  if (schema) *schema = storedSchema;
  return cls;
}

CObject* CArchive::ReadObject(const CRuntimeClass* requested) {
  UINT schema = 0;
  DWORD obTag = 0;
  CRuntimeClass* cls = ReadClass(requested, &schema, &obTag);
  if (!cls) {
    if (obTag >= loadMap_.size() || loadMap_[obTag].isClass) Throw(CArchiveException::badIndex);
    CObject* existing = loadMap_[obTag].object;
    if (existing && requested && !existing->IsKindOf(requested)) Throw(CArchiveException::badClass);
    return existing;
  }
  CObject* object = cls->CreateObject();
  if (!object) Throw(CArchiveException::badClass);
  const DWORD index = NextIndex();
  if (index != loadMap_.size()) {
    delete object;
    Throw(CArchiveException::badIndex);
  }
  loadMap_.push_back(LoadEntry{nullptr, 0, object, false});
  objectSchema_ = schema;
  try {
    object->Serialize(*this);
  } catch (...) {
    // The half-read object is freed; later back references to it (there can be none once the
    // exception leaves) would see null.
    loadMap_[index].object = nullptr;
    delete object;
    throw;
  }
  return object;
}

void CArchive::SerializeClass(const CRuntimeClass* cls) {
  if (IsStoring()) {
    WriteClass(cls);
  } else {
    UINT schema = 0;
    if (!ReadClass(cls, &schema)) Throw(CArchiveException::badClass);
    objectSchema_ = schema;
  }
}

void CArchive::MapObject(const CObject* object) {
  if (IsStoring()) {
    if (object && !storeMap_.count(object)) storeMap_.emplace(object, NextIndex());
  } else {
    NextIndex();
    loadMap_.push_back(LoadEntry{nullptr, 0, const_cast<CObject*>(object), false});
  }
}

void CRuntimeClass::Store(CArchive& ar) const {
  const auto length = static_cast<WORD>(std::strlen(m_lpszClassName));
  ar << static_cast<WORD>(m_wSchema) << length;
  ar.Write(m_lpszClassName, length);
}

CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* schema) {
  WORD storedSchema = 0, length = 0;
  ar >> storedSchema >> length;
  if (schema) *schema = storedSchema;
  if (length == 0 || length > kMaxClassName) return nullptr;
  char name[kMaxClassName + 1];
  if (ar.Read(name, length) != length) AfxThrowArchiveException(CArchiveException::endOfFile);
  name[length] = '\0';
  return FromName(name);
}

template <>
void SerializeElements<CString>(CArchive& ar, CString* elements, INT_PTR count) {
  for (INT_PTR i = 0; i < count; ++i) {
    if (ar.IsStoring()) {
      ar << elements[i];
    } else {
      ar >> elements[i];
    }
  }
}

template <>
void SerializeElements<CObject*>(CArchive& ar, CObject** elements, INT_PTR count) {
  for (INT_PTR i = 0; i < count; ++i) {
    if (ar.IsStoring()) {
      ar << elements[i];
    } else {
      ar >> elements[i];
    }
  }
}
