// Streams and lock bytes on global memory, storages and their storage form, the reference-count ledger.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/base/GlobalMemory.h"
#include "platform/ole/OleApi.h"

namespace {

std::vector<BYTE> BlockBytes(HGLOBAL block) {
  const SIZE_T n = ::GlobalSize(block);
  std::vector<BYTE> out(n);
  if (n) {
    std::memcpy(out.data(), ::GlobalLock(block), n);
    ::GlobalUnlock(block);
  }
  return out;
}

IStorage* NewStorage(ILockBytes** bytesOut = nullptr) {
  ILockBytes* bytes = nullptr;
  EXPECT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes), S_OK);
  IStorage* storage = nullptr;
  EXPECT_EQ(StgCreateDocfileOnILockBytes(bytes, STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE,
                                         0, &storage),
            S_OK);
  if (bytesOut)
    *bytesOut = bytes;
  else
    bytes->Release();
  return storage;
}

void WriteStream(IStorage* storage, const char16_t* name, const std::string& text) {
  IStream* stream = nullptr;
  ASSERT_EQ(storage->CreateStream(name, STGM_CREATE | STGM_READWRITE, 0, 0, &stream), S_OK);
  ULONG written = 0;
  ASSERT_EQ(stream->Write(text.data(), static_cast<ULONG>(text.size()), &written), S_OK);
  EXPECT_EQ(written, text.size());
  stream->Release();
}

std::string ReadStream(IStorage* storage, const char16_t* name) {
  IStream* stream = nullptr;
  if (FAILED(storage->OpenStream(name, nullptr, STGM_READ, 0, &stream))) return "<missing>";
  std::string text(64, '\0');
  ULONG read = 0;
  stream->Read(text.data(), 64, &read);
  stream->Release();
  text.resize(read);
  return text;
}

class OleStorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    live = plat::ole::LiveObjectCount();
    blocks = plat::GlobalBlockCount();
  }
  void TearDown() override {
    EXPECT_EQ(plat::ole::LiveObjectCount(), live) << "an interface was not released";
    EXPECT_EQ(plat::GlobalBlockCount(), blocks) << "a global block leaked";
  }
  std::size_t live = 0, blocks = 0;
};

TEST_F(OleStorageTest, StreamOnGlobalMemoryReadsWritesSeeksAndOwnsItsBlockOnlyWhenAsked) {
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  ULONG n = 0;
  ASSERT_EQ(stream->Write("hello world", 11, &n), S_OK);
  EXPECT_EQ(n, 11u);
  ULONGLONG pos = 0;
  ASSERT_EQ(stream->Seek(6, STREAM_SEEK_SET, &pos), S_OK);
  char buffer[16] = {};
  ASSERT_EQ(stream->Read(buffer, 16, &n), S_OK);
  EXPECT_EQ(n, 5u);  // short read at the end, no error
  EXPECT_STREQ(buffer, "world");
  EXPECT_EQ(stream->Seek(-1, STREAM_SEEK_SET, &pos), STG_E_INVALIDFUNCTION);
  ASSERT_EQ(stream->SetSize(5), S_OK);
  HGLOBAL block = nullptr;
  ASSERT_EQ(GetHGlobalFromStream(stream, &block), S_OK);
  EXPECT_EQ(BlockBytes(block), (std::vector<BYTE>{'h', 'e', 'l', 'l', 'o'}));
  IUnknown* unknown = nullptr;
  ASSERT_EQ(stream->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(unknown->Release(), 1u);
  void* storage = reinterpret_cast<void*>(1);
  EXPECT_EQ(stream->QueryInterface(IID_IStorage, &storage), E_NOINTERFACE);
  EXPECT_EQ(storage, nullptr);
  EXPECT_EQ(stream->Release(), 0u);  // the block goes with it (the fixture counts blocks)

  // A caller's block stays the caller's.
  HGLOBAL own = ::GlobalAlloc(GMEM_MOVEABLE, 3);
  ASSERT_EQ(CreateStreamOnHGlobal(own, FALSE, &stream), S_OK);
  stream->Release();
  EXPECT_EQ(::GlobalSize(own), 3u);
  ::GlobalFree(own);
  EXPECT_EQ(CreateStreamOnHGlobal(own, FALSE, &stream), E_INVALIDARG);  // a freed handle
}

TEST_F(OleStorageTest, CommittedStorageReopensWithItsStreamsAndClass) {
  ILockBytes* bytes = nullptr;
  IStorage* storage = NewStorage(&bytes);
  const CLSID clsid{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  ASSERT_EQ(WriteClassStg(storage, clsid), S_OK);
  WriteStream(storage, u"Text", "abc");
  WriteStream(storage, u"Other", "");
  IStream* again = nullptr;
  EXPECT_EQ(storage->CreateStream(u"Text", STGM_READWRITE, 0, 0, &again), STG_E_FILEALREADYEXISTS);
  EXPECT_EQ(storage->OpenStream(u"None", nullptr, STGM_READ, 0, &again), STG_E_FILENOTFOUND);
  ASSERT_EQ(storage->Commit(STGC_DEFAULT), S_OK);
  // Changes after the commit go with a revert.
  WriteStream(storage, u"Text", "changed");
  ASSERT_EQ(storage->Revert(), S_OK);
  EXPECT_EQ(ReadStream(storage, u"Text"), "abc");
  storage->Release();

  IStorage* reopened = nullptr;
  ASSERT_EQ(StgOpenStorageOnILockBytes(bytes, nullptr, STGM_READ, nullptr, 0, &reopened), S_OK);
  CLSID read;
  ASSERT_EQ(ReadClassStg(reopened, &read), S_OK);
  EXPECT_EQ(read, clsid);
  EXPECT_EQ(ReadStream(reopened, u"Text"), "abc");
  EXPECT_EQ(ReadStream(reopened, u"Other"), "");
  reopened->Release();
  bytes->Release();
}

TEST_F(OleStorageTest, StorageFormIsTheSameWhateverTheOrderOfWriting) {
  IStorage* a = NewStorage();
  IStorage* b = NewStorage();
  WriteStream(a, u"B", "2");
  WriteStream(a, u"A", "1");
  WriteStream(b, u"A", "1");
  WriteStream(b, u"B", "2");
  std::vector<BYTE> formA, formB;
  ASSERT_EQ(plat::ole::SaveStorageForm(a, formA), S_OK);
  ASSERT_EQ(plat::ole::SaveStorageForm(b, formB), S_OK);
  EXPECT_EQ(formA, formB);
  // "BSTG", the class id, two streams, "A" first.
  ASSERT_GE(formA.size(), 26u);
  EXPECT_EQ(std::string(formA.begin(), formA.begin() + 4), "BSTG");
  EXPECT_EQ(formA[20], 2);
  EXPECT_EQ(formA[24], 1);
  EXPECT_EQ(formA[26], 'A');
  a->Release();
  b->Release();
}

TEST_F(OleStorageTest, DamagedFormsAreRefusedAndLeaveTheStorageAlone) {
  IStorage* source = NewStorage();
  WriteStream(source, u"Text", "payload");
  std::vector<BYTE> form;
  ASSERT_EQ(plat::ole::SaveStorageForm(source, form), S_OK);
  source->Release();

  IStorage* target = NewStorage();
  WriteStream(target, u"Keep", "kept");
  // Every proper prefix is cut short somewhere; one byte more is trailing junk.
  for (std::size_t n = 0; n < form.size(); ++n)
    EXPECT_EQ(plat::ole::LoadStorageForm(std::span(form.data(), n), target), STG_E_INVALIDHEADER) << n;
  std::vector<BYTE> longer = form;
  longer.push_back(0);
  EXPECT_EQ(plat::ole::LoadStorageForm(longer, target), STG_E_INVALIDHEADER);
  std::vector<BYTE> hugeLength = form;
  hugeLength[37] = 0xFF;  // the data length's high byte (after the 4-unit name)
  EXPECT_EQ(plat::ole::LoadStorageForm(hugeLength, target), STG_E_INVALIDHEADER);
  EXPECT_EQ(ReadStream(target, u"Keep"), "kept");
  ASSERT_EQ(plat::ole::LoadStorageForm(form, target), S_OK);
  EXPECT_EQ(ReadStream(target, u"Text"), "payload");
  EXPECT_EQ(ReadStream(target, u"Keep"), "<missing>");
  target->Release();

  ILockBytes* junk = nullptr;
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, 4);
  std::memcpy(::GlobalLock(block), "JUNK", 4);
  ::GlobalUnlock(block);
  ASSERT_EQ(CreateILockBytesOnHGlobal(block, TRUE, &junk), S_OK);
  IStorage* none = nullptr;
  EXPECT_EQ(StgOpenStorageOnILockBytes(junk, nullptr, STGM_READ, nullptr, 0, &none), STG_E_INVALIDHEADER);
  EXPECT_EQ(none, nullptr);
  junk->Release();
}

}  // namespace
