#include "platform/base/CArchive.h"

#include <gtest/gtest.h>

#include "platform/base/tests/ExpectThrow.h"
#include "platform/base/tests/TempDir.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "platform/base/Collections.h"
#include "platform/base/CMemFile.h"

namespace archive_test {

using Bytes = std::vector<BYTE>;

Bytes Store(const std::function<void(CArchive&)>& write) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    write(ar);
    ar.Close();
  }
  return Bytes(file.Data(), file.Data() + file.GetLength());
}

// Runs read over the bytes and returns the archive exception's cause, or -1 when nothing was thrown.
int LoadCause(Bytes bytes, const std::function<void(CArchive&)>& read) {
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  try {
    read(ar);
  } catch (CArchiveException* e) {
    const int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Text(const char* s) { return Bytes(s, s + std::strlen(s)); }

class CPoint3 : public CObject {
  DECLARE_SERIAL(CPoint3)
 public:
  CPoint3() = default;
  CPoint3(WORD x_, WORD y_) : x(x_), y(y_) {}
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar << x << y;
    } else {
      ar >> x >> y;
    }
  }
  WORD x = 0, y = 0;
};
IMPLEMENT_SERIAL(CPoint3, CObject, 2)

// Holds another object; reads it back through the archive.
class CHolder : public CObject {
  DECLARE_SERIAL(CHolder)
 public:
  ~CHolder() override { delete child; }
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar << child;
    } else {
      ar >> child;
    }
  }
  CPoint3* child = nullptr;
};
IMPLEMENT_SERIAL(CHolder, CObject, 1)

class CVersioned : public CObject {
  DECLARE_SERIAL(CVersioned)
 public:
  void Serialize(CArchive& ar) override {
    if (ar.IsLoading()) seenSchema = ar.GetObjectSchema();
  }
  UINT seenSchema = 0;
};
IMPLEMENT_SERIAL(CVersioned, CObject, VERSIONABLE_SCHEMA | 3)

class CNotSerial : public CObject {
  DECLARE_DYNCREATE(CNotSerial)
};
IMPLEMENT_DYNCREATE(CNotSerial, CObject)

const Bytes kPointClass = Cat({{0xFF, 0xFF, 0x02, 0x00, 0x07, 0x00}, Text("CPoint3")});

}  // namespace archive_test

using namespace archive_test;

TEST(CArchive, PrimitivesAreLittleEndianWithoutPadding) {
  const Bytes b = Store([](CArchive& ar) {
    ar << static_cast<BYTE>(1) << static_cast<WORD>(0x0203) << static_cast<DWORD>(0x04050607) << static_cast<LONG>(-2)
       << 1.0f << 1.0 << true << static_cast<LONGLONG>(-1) << 5L;
  });
  const Bytes expected = {1, 3, 2, 7, 6, 5, 4, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0xF0,
                          0x3F, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 5, 0, 0, 0};
  EXPECT_EQ(b, expected);
  BYTE by;
  WORD w;
  DWORD d;
  LONG l;
  float f;
  double db;
  bool t;
  LONGLONG ll;
  long cl;
  EXPECT_EQ(LoadCause(b, [&](CArchive& ar) { ar >> by >> w >> d >> l >> f >> db >> t >> ll >> cl; }), -1);
  EXPECT_EQ(w, 0x0203);
  EXPECT_EQ(l, -2);
  EXPECT_EQ(db, 1.0);
  EXPECT_EQ(ll, -1);
  EXPECT_EQ(cl, 5);
  // A C++ long outside 32 bits is refused rather than cut.
  EXPECT_CLASSIC_THROW(Store([](CArchive& ar) { ar << (1L << 40); }), CArchiveException);
}

TEST(CArchive, StringLengthForms) {
  EXPECT_EQ(Store([](CArchive& ar) { ar << CString("abc") << ""; }), (Bytes{3, 'a', 'b', 'c', 0}));
  const CString s254('x', 254), s255('y', 255), s65534('z', 0xFFFE);
  const Bytes b = Store([&](CArchive& ar) { ar << s254 << s255 << s65534; });
  ASSERT_EQ(b.size(), 1 + 254 + 3 + 255 + 7 + 0xFFFEu);
  EXPECT_EQ(b[0], 0xFE);
  EXPECT_EQ(Bytes(b.begin() + 255, b.begin() + 258), (Bytes{0xFF, 0xFF, 0x00}));
  EXPECT_EQ(Bytes(b.begin() + 513, b.begin() + 520), (Bytes{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));
  CString r1, r2, r3;
  EXPECT_EQ(LoadCause(b, [&](CArchive& ar) { ar >> r1 >> r2 >> r3; }), -1);
  EXPECT_EQ(r1, s254);
  EXPECT_EQ(r2, s255);
  EXPECT_EQ(r3, s65534);
}

TEST(CArchive, WideStringsReadAsCodePageText) {
  const Bytes wide = Store([](CArchive& ar) { ar.WriteWideString("a\x80"); });
  EXPECT_EQ(wide, (Bytes{0xFF, 0xFE, 0xFF, 0x02, 'a', 0x00, 0xAC, 0x20}));
  // Empty wide strings, as the stored grid layouts carry them, and a character outside the code page.
  const Bytes input = Cat({wide, {0xFF, 0xFE, 0xFF, 0x00}, {0xFF, 0xFE, 0xFF, 0x01, 0x3A, 0x04}});
  CString a, b, c;
  EXPECT_EQ(LoadCause(input, [&](CArchive& ar) { ar >> a >> b >> c; }), -1);
  EXPECT_EQ(a, "a\x80");
  EXPECT_EQ(b, "");
  EXPECT_EQ(c, "?");
}

TEST(CArchive, CountForms) {
  const Bytes b = Store([](CArchive& ar) {
    ar.WriteCount(0xFFFE);
    ar.WriteCount(0xFFFF);
  });
  EXPECT_EQ(b, (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
  DWORD_PTR c1 = 0, c2 = 0;
  EXPECT_EQ(LoadCause(b, [&](CArchive& ar) {
              c1 = ar.ReadCount();
              c2 = ar.ReadCount();
            }),
            -1);
  EXPECT_EQ(c1, 0xFFFEu);
  EXPECT_EQ(c2, 0xFFFFu);
}

TEST(CArchive, ObjectTagsClassesAndBackReferences) {
  CPoint3 a(1, 2), b(3, 4);
  const Bytes bytes = Store([&](CArchive& ar) {
    ar << &a << &b << &a;
    ar.WriteObject(nullptr);
  });
  // Class index 1, a = 2, b = 3: b's class is a reference 0x8001, the second a an object reference 2.
  const Bytes expected = Cat({kPointClass, {1, 0, 2, 0}, {0x01, 0x80, 3, 0, 4, 0}, {0x02, 0x00}, {0x00, 0x00}});
  EXPECT_EQ(bytes, expected);

  CPoint3 *ra = nullptr, *rb = nullptr, *ra2 = nullptr, *rn = nullptr;
  EXPECT_EQ(LoadCause(bytes, [&](CArchive& ar) { ar >> ra >> rb >> ra2 >> rn; }), -1);
  std::unique_ptr<CPoint3> own1(ra), own2(rb);
  ASSERT_NE(ra, nullptr);
  EXPECT_EQ(ra->y, 2);
  EXPECT_EQ(rb->x, 3);
  EXPECT_EQ(ra2, ra);
  EXPECT_EQ(rn, nullptr);
}

TEST(CArchive, BigTagsBeyond0x7FFE) {
  // 0x7FFD mapped objects: the class takes 0x7FFE, p 0x7FFF, q 0x8000; a second class comes at 0x8001.
  std::vector<std::unique_ptr<CPoint3>> fillers;
  for (int i = 0; i < 0x7FFD; ++i) fillers.push_back(std::make_unique<CPoint3>());
  CPoint3 p(1, 1), q(2, 2);
  CHolder h1, h2;
  const Bytes bytes = Store([&](CArchive& ar) {
    for (auto& f : fillers) ar.MapObject(f.get());
    ar << &p << &q << &p << &h1 << &h2;
  });
  const Bytes expected = Cat({kPointClass,
                             {1, 0, 1, 0},
                             {0xFE, 0xFF, 2, 0, 2, 0},              // class reference 0x8000 | 0x7FFE
                             {0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x00},  // big object tag, object 0x7FFF
                             {0xFF, 0xFF, 0x01, 0x00, 0x07, 0x00},
                             Text("CHolder"),
                             {0x00, 0x00},                          // h1's null child
                             {0xFF, 0x7F, 0x01, 0x80, 0x00, 0x80},  // big class tag 0x80008001
                             {0x00, 0x00}});
  EXPECT_EQ(bytes, expected);
  CObject *rp = nullptr, *rq = nullptr, *rp2 = nullptr, *r1 = nullptr, *r2 = nullptr;
  EXPECT_EQ(LoadCause(bytes,
                      [&](CArchive& ar) {
                        for (int i = 0; i < 0x7FFD; ++i) ar.MapObject(nullptr);
                        ar >> rp >> rq >> rp2 >> r1 >> r2;
                      }),
            -1);
  EXPECT_EQ(rp, rp2);
  EXPECT_TRUE(r2 && r2->IsKindOf(RUNTIME_CLASS(CHolder)));
  delete rp;
  delete rq;
  delete r1;
  delete r2;
}

TEST(CArchive, SchemaRules) {
  // A stored schema other than the class's is refused unless the class is versionable.
  Bytes oldPoint = Cat({{0xFF, 0xFF, 0x01, 0x00, 0x07, 0x00}, Text("CPoint3"), {1, 0, 2, 0}});
  EXPECT_EQ(LoadCause(oldPoint, [](CArchive& ar) { delete ar.ReadObject(nullptr); }), CArchiveException::badSchema);
  Bytes versioned = Cat({{0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00}, Text("CVersioned")});
  CObject* o = nullptr;
  EXPECT_EQ(LoadCause(versioned, [&](CArchive& ar) { o = ar.ReadObject(RUNTIME_CLASS(CVersioned)); }), -1);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(static_cast<CVersioned*>(o)->seenSchema, 1u);
  delete o;
  // The versionable bit is not stored: the class tag holds schema 3.
  CVersioned v;
  const Bytes stored = Store([&](CArchive& ar) { ar << &v; });
  EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 4), (Bytes{0xFF, 0xFF, 0x03, 0x00}));
  // Classes that cannot be serialised are not written.
  CNotSerial ns;
  EXPECT_CLASSIC_THROW(Store([&](CArchive& ar) { ar << &ns; }), CNotSupportedException);
}

TEST(CArchive, CorruptInputRaisesArchiveExceptions) {
  auto readAny = [](CArchive& ar) { delete ar.ReadObject(nullptr); };
  const Bytes good = Cat({kPointClass, {1, 0, 2, 0}});
  EXPECT_EQ(LoadCause(Bytes(good.begin(), good.end() - 1), readAny), CArchiveException::endOfFile);
  EXPECT_EQ(LoadCause(Bytes(good.begin(), good.begin() + 9), readAny), CArchiveException::endOfFile);
  EXPECT_EQ(LoadCause({0x05, 0x00}, readAny), CArchiveException::badIndex);        // object never read
  EXPECT_EQ(LoadCause({0x01, 0x80}, readAny), CArchiveException::badIndex);        // class never read
  EXPECT_EQ(LoadCause({0xFF, 0x7F, 0, 0, 0, 0x90}, readAny), CArchiveException::badIndex);
  EXPECT_EQ(LoadCause(Cat({{0xFF, 0xFF, 0, 0, 4, 0}, Text("CNoS")}), readAny), CArchiveException::badClass);
  EXPECT_EQ(LoadCause(Cat({{0xFF, 0xFF, 0xFF, 0xFF, 10, 0}, Text("CNotSerial")}), readAny),
            CArchiveException::badClass);
  EXPECT_EQ(LoadCause({0xFF, 0xFF, 0, 0, 0xFF, 0xFF}, readAny), CArchiveException::badClass);  // name too long
  // A reference that names a class where an object is expected.
  EXPECT_EQ(LoadCause(Cat({good, {0x01, 0x00}}),
                      [](CArchive& ar) {
                        std::unique_ptr<CObject> first(ar.ReadObject(nullptr));
                        ar.ReadObject(nullptr);
                      }),
            CArchiveException::badIndex);
  // Wrong class for the request, also for a back reference.
  EXPECT_EQ(LoadCause(good, [](CArchive& ar) { ar.ReadObject(RUNTIME_CLASS(CHolder)); }), CArchiveException::badClass);
  EXPECT_EQ(LoadCause(Cat({good, {0x02, 0x00}}),
                      [](CArchive& ar) {
                        std::unique_ptr<CObject> first(ar.ReadObject(nullptr));
                        ar.ReadObject(RUNTIME_CLASS(CHolder));
                      }),
            CArchiveException::badClass);
  // Huge lengths and counts with few bytes behind them fail without allocating for them.
  CString s;
  EXPECT_EQ(LoadCause({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F, 'a'}, [&](CArchive& ar) { ar >> s; }),
            CArchiveException::endOfFile);
  CDWordArray arr;
  EXPECT_EQ(LoadCause({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 1, 2}, [&](CArchive& ar) { arr.Serialize(ar); }),
            CArchiveException::endOfFile);
  CStringList list;
  EXPECT_EQ(LoadCause({0xFF, 0xFF, 0x00, 0x00, 0x00, 0x10, 0}, [&](CArchive& ar) { list.Serialize(ar); }),
            CArchiveException::endOfFile);
}

TEST(CArchive, PartlyReadObjectsAreFreed) {
  // The holder's child is cut short: the child and the holder are deleted (the sanitizer checks leaks).
  const Bytes bytes = Cat({{0xFF, 0xFF, 0x01, 0x00, 0x07, 0x00}, Text("CHolder"), kPointClass, {1, 0}});
  EXPECT_EQ(LoadCause(bytes, [](CArchive& ar) { ar.ReadObject(nullptr); }), CArchiveException::endOfFile);
}

TEST(CArchive, CollectionsRoundTrip) {
  CStringArray strings;
  strings.Add("a");
  strings.Add(CString('b', 300));
  CDWordArray dwords;
  dwords.Add(0xDEADBEEF);
  CMapStringToString map;
  map.SetAt("k1", "v1");
  map.SetAt("k2", "v2");
  CObList objects;
  CPoint3 shared(7, 8);
  objects.AddTail(&shared);
  objects.AddTail(&shared);
  objects.AddTail(nullptr);
  CMapWordToOb byWord;
  byWord[3] = &shared;
  const Bytes bytes = Store([&](CArchive& ar) {
    strings.Serialize(ar);
    dwords.Serialize(ar);
    map.Serialize(ar);
    objects.Serialize(ar);
    byWord.Serialize(ar);
  });
  // The DWORD array's exact form: count WORD then the value.
  EXPECT_EQ(Bytes(bytes.begin() + 307, bytes.begin() + 313), (Bytes{1, 0, 0xEF, 0xBE, 0xAD, 0xDE}));

  CStringArray s2;
  CDWordArray d2;
  CMapStringToString m2;
  CObList o2;
  CMapWordToOb w2;
  EXPECT_EQ(LoadCause(bytes,
                      [&](CArchive& ar) {
                        s2.Serialize(ar);
                        d2.Serialize(ar);
                        m2.Serialize(ar);
                        o2.Serialize(ar);
                        w2.Serialize(ar);
                      }),
            -1);
  EXPECT_EQ(s2[1], CString('b', 300));
  EXPECT_EQ(d2[0], 0xDEADBEEFu);
  CString v;
  EXPECT_TRUE(m2.Lookup("k2", v));
  EXPECT_EQ(v, "v2");
  ASSERT_EQ(o2.GetCount(), 3);
  CObject* first = o2.GetHead();
  POSITION p = o2.FindIndex(1);
  EXPECT_EQ(o2.GetAt(p), first);  // one object, referenced twice
  EXPECT_EQ(o2.GetTail(), nullptr);
  CObject* viaMap = nullptr;
  EXPECT_TRUE(w2.Lookup(3, viaMap));
  EXPECT_EQ(viaMap, first);
  EXPECT_EQ(static_cast<CPoint3*>(first)->y, 8);
  delete first;
}

TEST(CArchive, DirectionAndBufferBehaviour) {
  CMemFile file;
  CArchive store(&file, CArchive::store);
  store << static_cast<DWORD>(1);
  EXPECT_EQ(file.GetLength(), 0u);  // still in the archive's buffer
  DWORD d;
  EXPECT_CLASSIC_THROW(store >> d, CArchiveException);
  store.Flush();
  EXPECT_EQ(file.GetLength(), 4u);
  store.Close();
  // A loading archive that stops early gives the unread bytes back on Flush.
  BYTE data[] = {1, 2, 3, 4, 5};
  CMemFile in(data, sizeof data);
  CArchive load(&in, CArchive::load);
  BYTE b;
  load >> b;
  EXPECT_CLASSIC_THROW(load << b, CArchiveException);
  load.Flush();
  EXPECT_EQ(in.GetPosition(), 1u);
}

TEST(CArchive, OverADiskFileAndLongWideStrings) {
  const TempDir temp("brim-archive");
  const std::string path = temp / "brim-archive-test.bin";
  const CString longText('w', 70000);  // past the WORD length form
  {
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    ar.WriteWideString(longText.View());
    ar << 3.5;
    ar.Close();
  }
  {
    CFile file(path.c_str(), CFile::modeRead);
    EXPECT_EQ(file.GetLength(), 1u + 2 + 1 + 2 + 4 + 70000u * 2 + 8);
    CArchive ar(&file, CArchive::load);
    CString back;
    double d = 0;
    ar >> back >> d;
    EXPECT_EQ(back, longText);
    EXPECT_EQ(d, 3.5);
  }
  std::filesystem::remove(path);
}
