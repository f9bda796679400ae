// Helpers shared by the grid model's tests: archive bytes in both directions, a number recognition for
// the user-attribute and cell-store tests, and the process-wide implementations installed once.
#pragma once

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridParamCopyOperatorImp.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/CGXStyleCompareSubsetImp.h"
#include "grid/core/CGXStyleSerializeImp.h"
#include "platform/base/CArchive.h"
#include "platform/base/CMemFile.h"

namespace gxtest {

// Reads a plain decimal number the way the value-formatting feature does for these tests.
class TestNumberParser : public CGXAbstractNumberFormattingImp {
 public:
  BOOL ParseNumber(const char* text, double& value, unsigned& format, unsigned& places) override {
    format = places = 0;
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0';
  }
  // Marks what it was given, so that tests see which text and type reached it.
  CString FormatText(const CGXStyle& style, LPCTSTR valueText, unsigned valueType, int, int) override {
    CString out;
    out.Format("[%s|%u]", valueText ? valueText : style.GetValue().GetString(), valueType);
    return out;
  }
};

inline void InstallAll() {
  InstallDocSerializeImp();
  InstallSerializeTarn5CompatibleImp();
  InstallStyleCompareSubsetImp();
  InstallParamCopyOperatorImp();
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (!g.m_pNumberFormattingImp) {
    auto* p = new TestNumberParser;
    g.m_pNumberFormattingImp = p;
    g.AddToAutoDeleteList(p);
  }
}

using Bytes = std::vector<BYTE>;

// The bytes that fn writes into a storing archive.
inline Bytes Store(const std::function<void(CArchive&)>& fn) {
  CMemFile file(1024);
  {
    CArchive ar(&file, CArchive::store);
    fn(ar);
    ar.Close();
  }
  return Bytes(file.Data(), file.Data() + file.GetLength());
}

// Runs fn on a loading archive over the bytes; fails the test when bytes are left over.
inline void Load(const Bytes& bytes, const std::function<void(CArchive&)>& fn, bool expectAllRead = true) {
  CMemFile file(const_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  fn(ar);
  if (expectAllRead && ar.GetBytesLeft() != 0) throw std::runtime_error("bytes left: " + std::to_string(ar.GetBytesLeft()));
  ar.Close();
}

// The cause of the archive exception that fn throws; -1 when it throws none, -2 for another exception.
inline int ArchiveErrorCause(const std::function<void()>& fn) {
  try {
    fn();
  } catch (CArchiveException* e) {
    const int cause = e->m_cause;
    e->Delete();
    return cause;
  } catch (CException* e) {
    e->Delete();
    return -2;
  }
  return -1;
}

// Where two byte strings first differ, with the bytes around it; empty when equal.
inline std::string Diff(const Bytes& a, const Bytes& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  if (i == a.size() && i == b.size()) return {};
  std::string s = "sizes " + std::to_string(a.size()) + "/" + std::to_string(b.size()) + ", first difference at " +
                  std::to_string(i) + ":";
  char buf[8];
  for (std::size_t k = (i > 8 ? i - 8 : 0); k < i + 8; ++k) {
    std::snprintf(buf, sizeof buf, " %02X/%02X", k < a.size() ? a[k] : 0, k < b.size() ? b[k] : 0);
    s += buf;
  }
  return s;
}

// Hand-built bytes.
struct B {
  Bytes b;
  B& u8(unsigned v) { b.push_back(static_cast<BYTE>(v)); return *this; }
  B& u16(unsigned v) { u8(v & 0xFF); return u8((v >> 8) & 0xFF); }
  B& u32(unsigned long v) { u16(v & 0xFFFF); return u16((v >> 16) & 0xFFFF); }
  // The class library's 8-bit string form (short texts).
  B& str(const std::string& s) {
    u8(static_cast<unsigned>(s.size()));
    for (char c : s) u8(static_cast<BYTE>(c));
    return *this;
  }
  // A new class tag: 0xFFFF, schema, name length, name.
  B& cls(const std::string& name, unsigned schema = 0) {
    u16(0xFFFF).u16(schema).u16(static_cast<unsigned>(name.size()));
    for (char c : name) u8(static_cast<BYTE>(c));
    return *this;
  }
  B& append(const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); return *this; }
};

}  // namespace gxtest
