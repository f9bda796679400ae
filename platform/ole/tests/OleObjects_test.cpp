// The conversions, servers and objects (the text-document server), the object clipboard, the
// insert-object dialog and the result texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/base/GlobalMemory.h"
#include "platform/base/SystemError.h"
#include "platform/controls/ControlSupport.h"
#include "platform/framework/tests/FrameworkTest.h"
#include "platform/ole/OleInsertObject.h"
#include "platform/ole/TextDocumentServer.h"
#include "platform/window/Clipboard.h"

namespace {

using plat::ole::ComBase;

// An OLE 1 stream over a byte vector: the get callback reads only when enough remains.
struct VectorStream : OLESTREAM {
  std::vector<BYTE> bytes;
  std::size_t pos = 0;
  std::size_t putLimit = SIZE_MAX;
  static DWORD Get(OLESTREAM* s, void* data, DWORD count) {
    auto* self = static_cast<VectorStream*>(s);
    if (count > self->bytes.size() - self->pos) return 0;
    std::memcpy(data, self->bytes.data() + self->pos, count);
    self->pos += count;
    return count;
  }
  static DWORD Put(OLESTREAM* s, const void* data, DWORD count) {
    auto* self = static_cast<VectorStream*>(s);
    if (self->bytes.size() + count > self->putLimit) return 0;
    const auto* p = static_cast<const BYTE*>(data);
    self->bytes.insert(self->bytes.end(), p, p + count);
    return count;
  }
  static constexpr OLESTREAMVTBL kTable{&Get, &Put};
  VectorStream() { lpstbl = &kTable; }
};

// A container's site and sink that log what the object tells them.
class LoggingSite final : public IOleClientSite, public IAdviseSink, public ComBase {
 public:
  HRESULT QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
      *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IAdviseSink)
      *out = static_cast<IAdviseSink*>(this);
    else
      return E_NOINTERFACE;
    AddRefCount();
    return S_OK;
  }
  ULONG AddRef() override { return AddRefCount(); }
  ULONG Release() override { return ReleaseCount(); }
  HRESULT SaveObject() override {
    log += "save;";
    if (object && storage) {
      IPersistStorage* persist = nullptr;
      object->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&persist));
      if (persist->IsDirty() == S_OK) {
        OleSave(persist, storage, TRUE);
        persist->SaveCompleted(nullptr);
        log += "saved;";
      }
      persist->Release();
    }
    return S_OK;
  }
  HRESULT GetMoniker(DWORD, DWORD, void**) override { return E_NOTIMPL; }
  HRESULT GetContainer(void**) override { return E_NOTIMPL; }
  HRESULT ShowObject() override {
    log += "show;";
    return S_OK;
  }
  HRESULT OnShowWindow(BOOL) override { return E_NOTIMPL; }
  HRESULT RequestNewObjectLayout() override { return E_NOTIMPL; }
  void OnDataChange(FORMATETC*, STGMEDIUM*) override {}
  void OnViewChange(DWORD, LONG) override {}
  void OnRename(void*) override {}
  void OnSave() override {}
  void OnClose() override { log += "closed;"; }

  std::string log;
  IOleObject* object = nullptr;  // not held
  IStorage* storage = nullptr;   // not held
};

IStorage* NewStorage() {
  ILockBytes* bytes = nullptr;
  CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
  IStorage* storage = nullptr;
  StgCreateDocfileOnILockBytes(bytes, STGM_TRANSACTED | STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0,
                               &storage);
  bytes->Release();
  return storage;
}

std::string StoredText(IStorage* storage) {
  IStream* stream = nullptr;
  if (FAILED(storage->OpenStream(u"Text", nullptr, STGM_READ, 0, &stream))) return "<none>";
  std::string text(256, '\0');
  ULONG n = 0;
  stream->Read(text.data(), 256, &n);
  stream->Release();
  text.resize(n);
  return text;
}

class OleObjectsTest : public plat::test::FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    plat::controls::RegisterControlClasses();
    plat::Clipboard::Instance().Reset();
    plat::ole::RegisterTextDocumentServer();
    live = plat::ole::LiveObjectCount();
    blocks = plat::GlobalBlockCount();
  }
  void TearDown() override {
    OleFlushClipboard();
    plat::Clipboard::Instance().Reset();
    EXPECT_EQ(plat::ole::LiveObjectCount(), live) << "an interface was not released";
    EXPECT_EQ(plat::GlobalBlockCount(), blocks) << "a global block leaked";
    FrameworkTest::TearDown();
  }
  // A new text document in a new storage, holding `text` (saved and loaded back).
  IOleObject* NewDocument(IStorage* storage, LoggingSite* site, const std::string& text) {
    IOleObject* object = nullptr;
    EXPECT_EQ(OleCreate(plat::ole::CLSID_TextDocument, IID_IOleObject, OLERENDER_NONE, nullptr, site, storage,
                        reinterpret_cast<void**>(&object)),
              S_OK);
    IStream* stream = nullptr;
    storage->CreateStream(u"Text", STGM_CREATE | STGM_READWRITE, 0, 0, &stream);
    stream->Write(text.data(), static_cast<ULONG>(text.size()), nullptr);
    stream->Release();
    IPersistStorage* persist = nullptr;
    object->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&persist));
    EXPECT_EQ(persist->Load(storage), S_OK);
    persist->Release();
    return object;
  }
  std::size_t live = 0, blocks = 0;
};

TEST_F(OleObjectsTest, ServerRegistryAnswersIdentifiersAndCreatesOnlyRegisteredClasses) {
  CLSID clsid;
  const std::u16string progId = plat::ole::Wide(plat::ole::kTextDocumentProgId);
  ASSERT_EQ(CLSIDFromProgID(progId.c_str(), &clsid), S_OK);
  EXPECT_EQ(clsid, plat::ole::CLSID_TextDocument);
  LPOLESTR name = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(clsid, &name), S_OK);
  EXPECT_EQ(plat::ole::Narrow(name), plat::ole::kTextDocumentProgId);
  CoTaskMemFree(name);
  EXPECT_EQ(CLSIDFromProgID(u"No.Such.Thing", &clsid), CO_E_CLASSSTRING);
  const CLSID unknown{9, 9, 9, {9}};
  EXPECT_EQ(ProgIDFromCLSID(unknown, &name), REGDB_E_CLASSNOTREG);
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_LOCAL_SERVER, IID_IOleObject, &object), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  LoggingSite* outer = new LoggingSite;
  EXPECT_EQ(CoCreateInstance(plat::ole::CLSID_TextDocument, static_cast<IOleClientSite*>(outer), CLSCTX_LOCAL_SERVER, IID_IOleObject, &object),
            CLASS_E_NOAGGREGATION);
  outer->Release();
  // The object hands out its interfaces, each counted.
  IOleObject* document = nullptr;
  ASSERT_EQ(CoCreateInstance(plat::ole::CLSID_TextDocument, nullptr, CLSCTX_LOCAL_SERVER, IID_IOleObject,
                             reinterpret_cast<void**>(&document)),
            S_OK);
  IPersistStorage* persist = nullptr;
  ASSERT_EQ(document->QueryInterface(IID_IPersistStorage, reinterpret_cast<void**>(&persist)), S_OK);
  EXPECT_EQ(persist->Release(), 1u);
  EXPECT_EQ(document->QueryInterface(IID_IStream, &object), E_NOINTERFACE);
  LPOLESTR type = nullptr;
  ASSERT_EQ(document->GetUserType(USERCLASSTYPE_SHORT, &type), S_OK);
  EXPECT_EQ(plat::ole::Narrow(type), "Text Document");
  CoTaskMemFree(type);
  EXPECT_EQ(document->Release(), 0u);
}

TEST_F(OleObjectsTest, Ole1StreamConversionRoundTripsAndRefusesDamagedStreams) {
  LoggingSite* site = new LoggingSite;
  IStorage* storage = NewStorage();
  IOleObject* object = NewDocument(storage, site, "line one\r\nline two");
  VectorStream written;
  ASSERT_EQ(OleConvertIStorageToOLESTREAM(storage, &written), S_OK);
  // Version, kind, then the program identifier.
  ASSERT_GT(written.bytes.size(), 12u);
  EXPECT_EQ(written.bytes[0], 0x01);
  EXPECT_EQ(written.bytes[1], 0x05);
  EXPECT_EQ(written.bytes[4], 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&written.bytes[12])), plat::ole::kTextDocumentProgId);

  IStorage* copy = NewStorage();
  VectorStream reader;
  reader.bytes = written.bytes;
  ASSERT_EQ(OleConvertOLESTREAMToIStorage(&reader, copy, nullptr), S_OK);
  EXPECT_EQ(StoredText(copy), "line one\r\nline two");
  CLSID clsid;
  ReadClassStg(copy, &clsid);
  EXPECT_EQ(clsid, plat::ole::CLSID_TextDocument);

  // Every cut-short stream fails; none reads past its end (the reader refuses).
  for (std::size_t n = 0; n < written.bytes.size(); ++n) {
    VectorStream cut;
    cut.bytes.assign(written.bytes.begin(), written.bytes.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_TRUE(FAILED(OleConvertOLESTREAMToIStorage(&cut, copy, nullptr))) << n;
  }
  VectorStream wrongVersion;
  wrongVersion.bytes = written.bytes;
  wrongVersion.bytes[1] = 0x06;
  EXPECT_EQ(OleConvertOLESTREAMToIStorage(&wrongVersion, copy, nullptr), CONVERT10_E_OLESTREAM_FMT);
  // A native length of 200 MB with a few bytes behind it fails at the first missing piece.
  VectorStream huge;
  huge.bytes = written.bytes;
  const std::size_t nativeAt = 12 + sizeof(plat::ole::kTextDocumentProgId) + 8;
  huge.bytes[nativeAt + 3] = 0x0C;
  EXPECT_EQ(OleConvertOLESTREAMToIStorage(&huge, copy, nullptr), CONVERT10_E_OLESTREAM_GET);
  VectorStream full;
  full.putLimit = 10;
  EXPECT_EQ(OleConvertIStorageToOLESTREAM(storage, &full), CONVERT10_E_OLESTREAM_PUT);
  // An unregistered class cannot be written (nothing would read it back).
  const CLSID unknown{9, 9, 9, {9}};
  WriteClassStg(copy, unknown);
  VectorStream refused;
  EXPECT_EQ(OleConvertIStorageToOLESTREAM(copy, &refused), REGDB_E_CLASSNOTREG);
  copy->Release();

  object->Close(OLECLOSE_NOSAVE);
  object->SetClientSite(nullptr);
  object->Release();
  storage->Release();
  site->Release();
}

TEST_F(OleObjectsTest, ServerWindowEditsSavesThroughTheSiteAndClosesThroughTheSinks) {
  LoggingSite* site = new LoggingSite;
  IStorage* storage = NewStorage();
  IOleObject* object = NewDocument(storage, site, "first");
  site->object = object;
  site->storage = storage;
  DWORD connection = 0;
  ASSERT_EQ(object->Advise(site, &connection), S_OK);
  ASSERT_EQ(object->DoVerb(OLEIVERB_PRIMARY, nullptr, site, 0, nullptr, nullptr), S_OK);
  Pump();  // the server comes forward when its container's call has returned
  HWND window = plat::ole::TextDocumentWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Text(window), "Text Document");
  HWND edit = ::GetDlgItem(window, plat::ole::kTextDocumentEditId);
  EXPECT_EQ(Text(edit), "first");
  EXPECT_EQ(::GetFocus(), edit);
  Key(VK_END);
  Type(" and more");
  ::SendMessage(::GetDlgItem(window, plat::ole::kTextDocumentUpdateId), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(site->log, "show;save;saved;");
  EXPECT_EQ(StoredText(storage), "first and more");
  // Not dirty any more: closing saves nothing, then tells the sink.
  site->log.clear();
  ::SendMessage(window, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_EQ(site->log, "closed;");
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(plat::ole::TextDocumentWindow(), nullptr);
  EXPECT_EQ(object->Unadvise(connection), S_OK);
  EXPECT_EQ(object->Unadvise(connection), OLE_E_NOCONNECTION);
  object->SetClientSite(nullptr);
  EXPECT_EQ(object->Release(), 0u);
  storage->Release();
  site->Release();
}

TEST_F(OleObjectsTest, CopiedObjectPastesThroughTheObjectClipboardIntoAnotherStorage) {
  LoggingSite* site = new LoggingSite;
  IStorage* storage = NewStorage();
  IOleObject* object = NewDocument(storage, site, "copied text");
  IDataObject* data = nullptr;
  ASSERT_EQ(object->GetClipboardData(0, &data), S_OK);
  ASSERT_EQ(OleSetClipboard(data), S_OK);
  data->Release();
  ASSERT_EQ(OleFlushClipboard(), S_OK);
  object->SetClientSite(nullptr);
  object->Release();
  storage->Release();

  IDataObject* pasted = nullptr;
  ASSERT_EQ(OleGetClipboard(&pasted), S_OK);
  IStorage* target = NewStorage();
  IOleObject* copy = nullptr;
  ASSERT_EQ(OleCreateFromData(pasted, IID_IOleObject, OLERENDER_NONE, nullptr, site, target,
                              reinterpret_cast<void**>(&copy)),
            S_OK);
  pasted->Release();
  EXPECT_EQ(StoredText(target), "copied text");
  CLSID clsid;
  ASSERT_EQ(copy->GetUserClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, plat::ole::CLSID_TextDocument);
  copy->SetClientSite(nullptr);
  copy->Release();
  target->Release();
  site->Release();

  // Text from another program is no object.
  plat::Clipboard::Instance().SeedText("plain");
  EXPECT_EQ(OleGetClipboard(&pasted), DV_E_FORMATETC);
  EXPECT_EQ(pasted, nullptr);
}

TEST_F(OleObjectsTest, InsertObjectDialogCreatesTheChosenTypeOrReportsCancelAndFailure) {
  LoggingSite* site = new LoggingSite;
  const auto run = [&](UINT* result, IStorage* storage, IOleObject** object) {
    OLEUIINSERTOBJECT block;
    block.dwFlags = IOF_SELECTCREATENEW | IOF_CREATENEWOBJECT;
    block.lpszCaption = "Insert It";
    block.iid = IID_IOleObject;
    block.lpIOleClientSite = site;
    block.lpIStorage = storage;
    block.ppvObj = reinterpret_cast<void**>(object);
    *result = OleUIInsertObject(&block);
  };
  automation.Reply(plat::SystemUiKind::InsertObject, {IDOK, plat::ole::kTextDocumentProgId, 0});
  automation.Reply(plat::SystemUiKind::InsertObject, {IDCANCEL, "", 0});
  automation.Reply(plat::SystemUiKind::InsertObject, {IDOK, "Not.A.Type", 0});
  automation.Reply(plat::SystemUiKind::InsertObject, {IDABORT, "", 0});
  IStorage* storage = NewStorage();
  IOleObject* object = nullptr;
  UINT result = 0;
  run(&result, storage, &object);
  ASSERT_EQ(result, OLEUI_OK);
  ASSERT_NE(object, nullptr);
  CLSID clsid;
  ReadClassStg(storage, &clsid);
  EXPECT_EQ(clsid, plat::ole::CLSID_TextDocument);
  const plat::ShownRecord& shown = plat::ShownLog().back();
  EXPECT_EQ(shown.request.caption, "Insert It");
  EXPECT_EQ(shown.request.buttons, std::vector<std::string>{"Brimstead Text Document"});
  object->SetClientSite(nullptr);
  object->Release();
  object = nullptr;
  run(&result, storage, &object);
  EXPECT_EQ(result, OLEUI_CANCEL);
  run(&result, storage, &object);
  EXPECT_EQ(result, OLEUI_ERR_STANDARDMIN);
  run(&result, storage, &object);
  EXPECT_EQ(result, OLEUI_ERR_STANDARDMIN);
  EXPECT_EQ(object, nullptr);
  storage->Release();
  site->Release();
}

TEST_F(OleObjectsTest, ResultCodesHaveSystemTexts) {
  char* text = nullptr;
  ASSERT_GT(FormatMessage(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                          static_cast<DWORD>(REGDB_E_CLASSNOTREG), 0x400, reinterpret_cast<LPSTR>(&text), 0, nullptr),
            0u);
  EXPECT_STREQ(text, "The class is not registered.\r\n");
  ::LocalFree(text);
  ASSERT_GT(FormatMessage(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                          static_cast<DWORD>(CONVERT10_E_OLESTREAM_FMT), 0x400, reinterpret_cast<LPSTR>(&text), 0,
                          nullptr),
            0u);
  EXPECT_STREQ(text, "The object stream is not in the expected form.\r\n");
  ::LocalFree(text);
}

}  // namespace
