#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/CMemFile.h"
#include "platform/base/Collections.h"

namespace {

template <class F>
void ExpectInvalidArg(F&& f) {
  try {
    f();
    ADD_FAILURE() << "no CInvalidArgException";
  } catch (CInvalidArgException* e) {
    e->Delete();
  }
}

}  // namespace

TEST(CArray, SetSizeGrowsValueInitialisedAndShrinks) {
  CDWordArray a;
  a.SetSize(3);
  EXPECT_EQ(a.GetSize(), 3);
  EXPECT_EQ(a[0] + a[1] + a[2], 0u);
  a[1] = 7;
  a.SetSize(1);
  a.SetSize(3);
  EXPECT_EQ(a[1], 0u);  // the shrunk tail does not come back
  a.SetSize(0);
  EXPECT_EQ(a.GetData(), nullptr);
  EXPECT_EQ(a.GetUpperBound(), -1);
}

TEST(CArray, GrowingOperations) {
  CStringArray a;
  EXPECT_EQ(a.Add("one"), 0);
  a.SetAtGrow(3, "four");
  EXPECT_EQ(a.GetSize(), 4);
  EXPECT_EQ(a[2], "");
  a.InsertAt(1, "x", 2);
  EXPECT_EQ(a.GetSize(), 6);
  EXPECT_EQ(a[1], "x");
  EXPECT_EQ(a[3], "");
  a.InsertAt(8, "far");  // past the end: grows first
  EXPECT_EQ(a.GetSize(), 9);
  EXPECT_EQ(a[8], "far");
  a.RemoveAt(0, 3);
  EXPECT_EQ(a[0], "");
  EXPECT_EQ(a[2], "four");
  // Adding an element of the array itself survives the reallocation.
  CWordArray w;
  w.Add(5);
  for (int i = 0; i < 100; ++i) w.Add(w[0]);
  EXPECT_EQ(w[100], 5);
}

TEST(CArray, AppendCopyAndInsertArray) {
  CByteArray a, b;
  a.Add(1);
  a.Add(2);
  b.Add(9);
  EXPECT_EQ(b.Append(a), 1);
  EXPECT_EQ(b.GetSize(), 3);
  b.InsertAt(1, &a);
  EXPECT_EQ(std::vector<BYTE>(b.GetData(), b.GetData() + b.GetSize()), (std::vector<BYTE>{9, 1, 2, 1, 2}));
  a.Copy(b);
  EXPECT_EQ(a.GetSize(), 5);
  a.Copy(a);
  EXPECT_EQ(a.GetSize(), 5);
  ExpectInvalidArg([&] { a.Append(a); });
}

TEST(CArray, BadIndexesThrow) {
  CPtrArray a;
  a.SetSize(2);
  ExpectInvalidArg([&] { (void)a.GetAt(2); });
  ExpectInvalidArg([&] { (void)a[-1]; });
  ExpectInvalidArg([&] { a.SetAt(5, nullptr); });
  ExpectInvalidArg([&] { a.RemoveAt(1, 2); });
  ExpectInvalidArg([&] { a.RemoveAt(-1); });
  ExpectInvalidArg([&] { a.SetSize(-1); });
  ExpectInvalidArg([&] { a.SetAtGrow(-1, nullptr); });
  ExpectInvalidArg([&] { a.InsertAt(-1, nullptr); });
  EXPECT_EQ(a.GetSize(), 2);
}

TEST(CList, InsertRemoveAndIterate) {
  CStringList l;
  l.AddTail("b");
  l.AddHead("a");
  POSITION c = l.AddTail("c");
  l.InsertBefore(c, "b2");
  l.InsertAfter(c, "d");
  l.InsertBefore(nullptr, "start");
  l.InsertAfter(nullptr, "end");
  std::string forward;
  for (POSITION p = l.GetHeadPosition(); p;) forward += std::string(l.GetNext(p)) + ",";
  EXPECT_EQ(forward, "start,a,b,b2,c,d,end,");
  std::string backward;
  for (POSITION p = l.GetTailPosition(); p;) backward += std::string(l.GetPrev(p)) + ",";
  EXPECT_EQ(backward, "end,d,c,b2,b,a,start,");
  EXPECT_EQ(l.GetAt(l.FindIndex(3)), "b2");
  EXPECT_EQ(l.FindIndex(7), nullptr);
  EXPECT_EQ(l.Find("c"), c);
  EXPECT_EQ(l.Find("c", c), nullptr);
  l.RemoveAt(c);
  EXPECT_EQ(l.RemoveHead(), "start");
  EXPECT_EQ(l.RemoveTail(), "end");
  EXPECT_EQ(l.GetCount(), 4);
  l.AddTail(&l);  // a list appended to itself is copied once
  EXPECT_EQ(l.GetCount(), 8);
  EXPECT_EQ(l.GetTail(), "d");
  l.AddHead(&l);  // and so is one prepended to itself
  EXPECT_EQ(l.GetCount(), 16);
  EXPECT_EQ(l.GetHead(), "a");
}

TEST(CList, MisuseThrows) {
  CPtrList a, b;
  POSITION pa = a.AddTail(nullptr);
  ExpectInvalidArg([&] { b.RemoveAt(pa); });  // a position of another list
  POSITION none = nullptr;
  ExpectInvalidArg([&] { (void)b.GetNext(none); });
  ExpectInvalidArg([&] { (void)b.GetHead(); });
  ExpectInvalidArg([&] { (void)b.RemoveTail(); });
}

TEST(CMap, IterationOrderIsTheClassicOne) {
  // Default table of 17: buckets ascending, newest entry first within a bucket; the bytes of a key are
  // hashed as signed chars ("\xE9" "a" lands in bucket 2, not in bucket 0 as unsigned bytes would put it).
  CMapStringToString m;
  for (const char* k : {"ab", "x", "\xE9" "a", "y", "zz", "ba", "Style", "Col", "Grid", "Row"}) m.SetAt(k, CString(k) + "!");
  std::string order;
  CString key, value;
  for (POSITION p = m.GetStartPosition(); p;) {
    m.GetNextAssoc(p, key, value);
    EXPECT_EQ(value, key + "!");
    order += std::string(key) + ",";
  }
  EXPECT_EQ(order, "zz,x,ab,y,\xE9" "a,Grid,Row,Col,Style,ba,");
}

TEST(CMap, IntegerKeysHashShiftedByFour) {
  CMapWordToPtr m;
  for (WORD k = 0; k <= 40; ++k) m[k] = reinterpret_cast<void*>(static_cast<std::uintptr_t>(k + 1));
  std::vector<int> order;
  WORD key;
  void* value;
  for (POSITION p = m.GetStartPosition(); p;) {
    m.GetNextAssoc(p, key, value);
    order.push_back(key);
  }
  ASSERT_EQ(order.size(), 41u);
  // 0..15 share bucket 0, 16..31 bucket 1, 32..40 bucket 2; newest first within each.
  EXPECT_EQ(order[0], 15);
  EXPECT_EQ(order[15], 0);
  EXPECT_EQ(order[16], 31);
  EXPECT_EQ(order[32], 40);
  EXPECT_EQ(order[40], 32);
}

TEST(CMap, LookupRemoveAndRehash) {
  CMapStringToPtr m;
  int one = 1, two = 2;
  m["one"] = &one;
  m.SetAt("two", &two);
  m.SetAt("one", &two);  // replaces
  EXPECT_EQ(m.GetCount(), 2);
  void* v = nullptr;
  EXPECT_TRUE(m.Lookup("one", v));
  EXPECT_EQ(v, &two);
  EXPECT_FALSE(m.Lookup("ONE", v));  // keys are case-sensitive
  EXPECT_TRUE(m.RemoveKey("one"));
  EXPECT_FALSE(m.RemoveKey("one"));
  EXPECT_EQ(m.GetCount(), 1);

  // Rebuilding a filled table gives the order a table of that size would have had from the start.
  CMapWordToOb a, b;
  b.InitHashTable(3);
  for (WORD k = 0; k < 200; k += 7) {
    a[k] = nullptr;
    b[k] = nullptr;
  }
  a.InitHashTable(3);
  POSITION pa = a.GetStartPosition(), pb = b.GetStartPosition();
  WORD ka, kb;
  CObject *va, *vb;
  while (pa && pb) {
    a.GetNextAssoc(pa, ka, va);
    b.GetNextAssoc(pb, kb, vb);
    EXPECT_EQ(ka, kb);
  }
  EXPECT_EQ(pa, pb);
}

TEST(CMap, RemovingTheReturnedEntryDuringIteration) {
  CMapStringToString m;
  for (int i = 0; i < 50; ++i) m.SetAt(CString(std::to_string(i)), "v");
  CString key, value;
  int seen = 0;
  for (POSITION p = m.GetStartPosition(); p;) {
    m.GetNextAssoc(p, key, value);
    m.RemoveKey(key);
    ++seen;
  }
  EXPECT_EQ(seen, 50);
  EXPECT_TRUE(m.IsEmpty());
}

namespace {
struct Named {
  CString name;
  int value = 0;
  bool operator==(const Named& o) const { return name == o.name && value == o.value; }
};
}  // namespace

TEST(Collections, ElementsWithoutAnArchiveFormCompileAndRefuseToSerialize) {
  CArray<Named> a;
  a.Add(Named{"x", 1});
  CList<Named> l;
  l.AddTail(Named{"y", 2});
  EXPECT_TRUE(l.Find(Named{"y", 2}) != nullptr);
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  try {
    a.Serialize(ar);
    ADD_FAILURE() << "no exception";
  } catch (CNotSupportedException* e) {
    e->Delete();
  }
}
