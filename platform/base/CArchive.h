// CArchive: the classic binary serialisation stream over a CFile.
//
// Byte forms (all little-endian, no padding; the 4096-byte buffer never shows in the bytes):
//   BYTE/char/bool 1 byte; WORD/short 2; DWORD/int/LONG/float 4; double/LONGLONG 8. A C++ `long` is the
//   classic 32-bit LONG: 4 bytes, and storing a value outside 32 bits throws instead of cutting it.
//   CString: length < 0xFF as BYTE; else 0xFF + WORD when < 0xFFFE; else 0xFF, 0xFFFF + DWORD; then the
//   bytes. The wide form (WriteWideString) is 0xFF, 0xFFFE, the length in that same form, then UTF-16LE
//   units; reading accepts both forms everywhere and converts wide text to code page 1252.
//   Counts (WriteCount): WORD, or 0xFFFF + DWORD from 0xFFFF on.
//   Objects: WORD tag 0 = null; 0xFFFF = new class (WORD schema, WORD name length, name) then the object's
//   data; 0x8000|n = class n seen before, then the data; n (1..0x7FFE) = object n read before; 0x7FFF =
//   big tag followed by a DWORD (0x80000000|n class, n object). Classes and objects share one index
//   counter from 1: a new class takes the next index when introduced, a new object before its data.
//
// Reading never trusts the input: a class, object or count index outside what was read throws badIndex,
// a tag naming something of the wrong kind badIndex or badClass, a truncated value endOfFile, an unknown
// or non-serialisable class badClass, a stored schema the class does not accept badSchema. Long strings
// are read in pieces, so a corrupt length costs no more memory than the bytes that exist; collections
// check counts against the bytes left (EnsureAvailable). An object whose Serialize throws is deleted.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "platform/base/CArchiveException.h"
#include "platform/base/CFile.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"

class CDocument;

class CArchive {
 public:
  enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

  CArchive(CFile* file, UINT mode, int bufferSize = 4096, void* buffer = nullptr);
  // Flushes a storing archive unless bNoFlushOnDelete was given; errors there are swallowed.
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  BOOL IsLoading() const { return loading_ ? TRUE : FALSE; }
  BOOL IsStoring() const { return loading_ ? FALSE : TRUE; }
  BOOL IsByteSwapping() const { return FALSE; }
  BOOL IsBufferEmpty() const { return cur_ == end_; }
  CFile* GetFile() const { return file_; }

  // The schema of the object being read (once; later calls give (UINT)-1).
  UINT GetObjectSchema();
  void SetObjectSchema(UINT schema) { objectSchema_ = schema; }

  // Raw bytes. Read returns fewer than asked at the end of the file.
  UINT Read(void* buffer, UINT count);
  void Write(const void* buffer, UINT count);
  void Flush();
  void Close();
  void Abort();

  // Text lines: WriteString writes the text as it is; ReadString reads to "\n" and drops "\r\n"/"\n".
  void WriteString(LPCSTR text);
  BOOL ReadString(CString& line);
  LPSTR ReadString(LPSTR buffer, UINT maxChars);

  void WriteCount(DWORD_PTR count);
  DWORD_PTR ReadCount();

  void WriteObject(const CObject* object);
  // `requested` (may be null) must be a base of what is read, else badClass.
  CObject* ReadObject(const CRuntimeClass* requested);
  void WriteClass(const CRuntimeClass* cls);
  CRuntimeClass* ReadClass(const CRuntimeClass* requested = nullptr, UINT* schema = nullptr, DWORD* objectTag = nullptr);
  void SerializeClass(const CRuntimeClass* cls);
  // Gives an object an index without writing it (both directions), for objects the reader already has.
  void MapObject(const CObject* object);

  // The 8-bit string form (operator<< of a CString).
  void WriteCString(std::string_view text);
  // The wide string form.
  void WriteWideString(std::string_view text);
  // Either form.
  CString ReadCString();

  // Bytes between the read position and the end of the file (loading only).
  ULONGLONG GetBytesLeft() const;
  // Throws endOfFile unless at least `bytes` are left; readers call it before sizing for a stored count.
  void EnsureAvailable(ULONGLONG bytes) const;

  // Primitives.
  CArchive& operator<<(bool v) { return Put<BYTE>(v ? 1 : 0); }
  CArchive& operator<<(char v) { return Put(v); }
  CArchive& operator<<(signed char v) { return Put(v); }
  CArchive& operator<<(unsigned char v) { return Put(v); }
  CArchive& operator<<(short v) { return Put(v); }
  CArchive& operator<<(unsigned short v) { return Put(v); }
  CArchive& operator<<(int v) { return Put(v); }
  CArchive& operator<<(unsigned int v) { return Put(v); }
  CArchive& operator<<(long v);
  CArchive& operator<<(unsigned long v);
  CArchive& operator<<(long long v) { return Put(v); }
  CArchive& operator<<(unsigned long long v) { return Put(v); }
  CArchive& operator<<(float v) { return Put(v); }
  CArchive& operator<<(double v) { return Put(v); }
  CArchive& operator<<(const CString& v) {
    WriteCString(v.View());
    return *this;
  }
  // Without this a string literal would convert to bool.
  CArchive& operator<<(const char* v) {
    WriteCString(v ? std::string_view(v) : std::string_view());
    return *this;
  }
  CArchive& operator<<(const CObject* v) {
    WriteObject(v);
    return *this;
  }

  CArchive& operator>>(bool& v) {
    v = Get<BYTE>() != 0;
    return *this;
  }
  CArchive& operator>>(char& v) { return Take(v); }
  CArchive& operator>>(signed char& v) { return Take(v); }
  CArchive& operator>>(unsigned char& v) { return Take(v); }
  CArchive& operator>>(short& v) { return Take(v); }
  CArchive& operator>>(unsigned short& v) { return Take(v); }
  CArchive& operator>>(int& v) { return Take(v); }
  CArchive& operator>>(unsigned int& v) { return Take(v); }
  CArchive& operator>>(long& v) {
    v = Get<std::int32_t>();
    return *this;
  }
  CArchive& operator>>(unsigned long& v) {
    v = Get<std::uint32_t>();
    return *this;
  }
  CArchive& operator>>(long long& v) { return Take(v); }
  CArchive& operator>>(unsigned long long& v) { return Take(v); }
  CArchive& operator>>(float& v) { return Take(v); }
  CArchive& operator>>(double& v) { return Take(v); }
  CArchive& operator>>(CString& v) {
    v = ReadCString();
    return *this;
  }
  CArchive& operator>>(CObject*& v) {
    v = ReadObject(nullptr);
    return *this;
  }
  CArchive& operator>>(const CObject*& v) {
    v = ReadObject(nullptr);
    return *this;
  }

  // Context for serialisers (a document, or whatever object a reader hands down).
  CDocument* m_pDocument = nullptr;

 private:
  template <class T>
  CArchive& Put(T v) {
    Write(&v, sizeof v);  // the platform is little-endian, as the format is
    return *this;
  }
  template <class T>
  T Get() {
    T v;
    if (Read(&v, sizeof v) != sizeof v) Throw(CArchiveException::endOfFile);
    return v;
  }
  template <class T>
  CArchive& Take(T& v) {
    v = Get<T>();
    return *this;
  }
  [[noreturn]] void Throw(int cause) const;
  void CheckLoading() const;
  void CheckStoring() const;
  void FlushBuffer();
  DWORD NextIndex();
  DWORD ReadStringLength(bool& wide);
  void WriteLength(DWORD length);
  void WriteIndexTag(DWORD index, bool isClass);

  CFile* file_;
  bool loading_;
  bool noFlushOnDelete_;
  std::vector<BYTE> buffer_;
  std::size_t cur_ = 0;  // next byte to read, or next free byte when storing
  std::size_t end_ = 0;  // end of the valid bytes when loading
  UINT objectSchema_ = static_cast<UINT>(-1);

  // Storing: object or class address -> index. Loading: index -> entry (index 0 is the null object).
  DWORD mapCount_ = 1;
  std::unordered_map<const void*, DWORD> storeMap_;
  struct LoadEntry {
    CRuntimeClass* cls = nullptr;  // set for class entries
    UINT schema = 0;
    CObject* object = nullptr;  // set (or null) for object entries
    bool isClass = false;
  };
  std::vector<LoadEntry> loadMap_;
};

// Element (de)serialisation for the collection templates: trivially copyable types as their bytes, as the
// classic templates do; CString and object pointers in their archive forms. Other types need a
// specialisation; without one, serialising them throws CNotSupportedException (the collections that hold
// them still compile, since their Serialize is virtual and therefore always instantiated).
template <class T>
void SerializeElements(CArchive& ar, T* elements, INT_PTR count) {
  if constexpr (!std::is_trivially_copyable_v<T>) {
    (void)ar;
    (void)elements;
    if (count > 0) AfxThrowNotSupportedException();
  } else {
    if (count <= 0) return;
    const std::size_t bytes = sizeof(T) * static_cast<std::size_t>(count);
    if (ar.IsStoring()) {
      const auto* p = reinterpret_cast<const BYTE*>(elements);
      for (std::size_t done = 0; done < bytes;) {
        const UINT n = static_cast<UINT>(std::min<std::size_t>(bytes - done, 0x10000000));
        ar.Write(p + done, n);
        done += n;
      }
    } else {
      ar.EnsureAvailable(bytes);
      auto* p = reinterpret_cast<BYTE*>(elements);
      for (std::size_t done = 0; done < bytes;) {
        const UINT n = static_cast<UINT>(std::min<std::size_t>(bytes - done, 0x10000000));
        if (ar.Read(p + done, n) != n) AfxThrowArchiveException(CArchiveException::endOfFile);
        done += n;
      }
    }
  }
}

template <>
void SerializeElements<CString>(CArchive& ar, CString* elements, INT_PTR count);
template <>
void SerializeElements<CObject*>(CArchive& ar, CObject** elements, INT_PTR count);
