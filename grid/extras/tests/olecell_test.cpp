// OLE object cells with the text-document server: the stored form, opening, inserting, saving and closing
// through the server window, Delete, copy, cut and paste through the object clipboard, the client site,
// the viewer hook, the factory's refusal for other grids, and the cell's picture.
#include <gtest/gtest.h>

#include <cstring>

#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/extras/CGXClientSite.h"
#include "grid/extras/CGXOlePreview.h"
#include "grid/extras/tests/extrastest.h"
#include "platform/base/VirtualClock.h"
#include "platform/display/ReferenceImage.h"
#include "platform/ole/TextDocumentServer.h"
#include "platform/window/Clipboard.h"

namespace {

using enginetest::RecordingGrid;

class OleGrid : public RecordingGrid, public CGXOleCapableGrid {
 public:
  void GetOleViewer(ROWCOL row, ROWCOL col, LONG id, CGXOleViewer*& viewer) override {
    hooked.push_back(id);
    RecordingGrid::GetOleViewer(row, col, id, viewer);
    if (replacement) viewer = replacement;
  }
  std::vector<LONG> hooked;
  CGXOleViewer* replacement = nullptr;
};

// An OLE 1 stream over a byte vector.
struct VectorStream : OLESTREAM {
  std::vector<BYTE> bytes;
  std::size_t pos = 0;
  static DWORD Get(OLESTREAM* s, void* data, DWORD count) {
    auto* self = static_cast<VectorStream*>(s);
    if (count > self->bytes.size() - self->pos) return 0;
    std::memcpy(data, self->bytes.data() + self->pos, count);
    self->pos += count;
    return count;
  }
  static DWORD Put(OLESTREAM* s, const void* data, DWORD count) {
    auto* self = static_cast<VectorStream*>(s);
    self->bytes.insert(self->bytes.end(), static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + count);
    return count;
  }
  static constexpr OLESTREAMVTBL kTable{&Get, &Put};
  VectorStream() { lpstbl = &kTable; }
};

IStorage* NewStorage() {
  ILockBytes* bytes = nullptr;
  CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
  IStorage* storage = nullptr;
  StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage);
  bytes->Release();
  return storage;
}

// The stored form of a text document, made without the grid.
std::vector<BYTE> StoredDocument(const std::string& text) {
  IStorage* storage = NewStorage();
  WriteClassStg(storage, plat::ole::CLSID_TextDocument);
  IStream* stream = nullptr;
  storage->CreateStream(u"Text", STGM_CREATE | STGM_READWRITE, 0, 0, &stream);
  stream->Write(text.data(), static_cast<ULONG>(text.size()), nullptr);
  stream->Release();
  VectorStream ole1;
  EXPECT_EQ(OleConvertIStorageToOLESTREAM(storage, &ole1), S_OK);
  storage->Release();
  std::vector<BYTE> out = GXMakeOleCellHeader("Text Document", plat::ole::kTextDocumentProgId);
  out.insert(out.end(), ole1.bytes.begin(), ole1.bytes.end());
  out.insert(out.end(), 4, 0);
  return out;
}

// The document text of a stored form ("<invalid>" when it holds none).
std::string TextOf(const std::vector<BYTE>& bytes) {
  const auto header = GXParseOleCellHeader(bytes);
  if (!header) return "<invalid>";
  VectorStream ole1;
  ole1.bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(header->objectOffset),
                    bytes.begin() + static_cast<std::ptrdiff_t>(header->objectOffset + header->objectLength));
  IStorage* storage = NewStorage();
  std::string text = "<invalid>";
  IStream* stream = nullptr;
  if (SUCCEEDED(OleConvertOLESTREAMToIStorage(&ole1, storage, nullptr)) &&
      SUCCEEDED(storage->OpenStream(u"Text", nullptr, STGM_READ, 0, &stream))) {
    text.assign(256, '\0');
    ULONG n = 0;
    stream->Read(text.data(), 256, &n);
    text.resize(n);
    stream->Release();
  }
  storage->Release();
  return text;
}

COleVariant ByteArray(const std::vector<BYTE>& bytes) {
  COleVariant v;
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  void* p = nullptr;
  SafeArrayAccessData(v.parray, &p);
  if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
  SafeArrayUnaccessData(v.parray);
  return v;
}

CGXStyle OleCell(const VARIANT* value) {
  CGXStyle style;
  style.SetControl(GX_IDS_CTRL_OLEPREVIEW);
  if (value) {
    auto* attribute = new CGXOleVarUserAttribute;
    attribute->SetVariant(*value);
    style.SetUserAttribute(GX_IDS_UA_DAOBITMAP, attribute);
  }
  return style;
}

class OleCellTest : public extrastest::ExtrasTest {
 protected:
  void SetUp() override {
    ExtrasTest::SetUp();
    plat::ole::RegisterTextDocumentServer();
    plat::Clipboard::Instance().Reset();
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, "", 0}, "", true);
    plat::SetAutomationProvider(&automation);
    plat::ClearShownLog();
    live = plat::ole::LiveObjectCount();
  }
  void TearDown() override {
    grid.reset();
    OleFlushClipboard();
    EXPECT_EQ(plat::ole::LiveObjectCount(), live) << "an interface handed out was not released";
    ExtrasTest::TearDown();
  }
  OleGrid* MakeOleGrid() {
    OleGrid* g = MakeGrid<OleGrid>(6, 3, 400, 200);
    UseWindowlessEditStandIn(g);
    g->SetColWidth(1, 2, 120, nullptr, 0);
    g->RedrawAll(GX_INVALIDATE);
    Pump();
    return g;
  }
  CGXOlePreview* Control(CGXGridCore* g) { return ControlOf<CGXOlePreview>(g, GX_IDS_CTRL_OLEPREVIEW); }
  // Makes the cell current and clicks its hot-spot button.
  void ClickButton(CGXGridCore* g, ROWCOL row, ROWCOL col) {
    plat::VirtualClock::Advance(2000);  // never a double click with the click before
    g->MoveCurrentCellTo(row, col);
    Pump();
    // The button lies in the cell's top-right corner.
    Click(g, row, col, g->CalcCellRect(row, col).Width() - 8, 7);
  }
  static std::vector<BYTE> CellBytes(CGXGridCore* g, ROWCOL row, ROWCOL col) {
    CGXStyle style;
    g->ComposeCellStyle(row, col, style);
    if (!style.HasUserAttribute(GX_IDS_UA_DAOBITMAP)) return {};
    const auto* a = dynamic_cast<const CGXOleVarUserAttribute*>(&style.GetUserAttribute(GX_IDS_UA_DAOBITMAP));
    const VARIANT* v = a ? a->GetVariant() : nullptr;
    if (!v || v->vt != (VT_ARRAY | VT_UI1)) return {};
    std::vector<BYTE> out(v->parray->rgsabound[0].cElements);
    void* p = nullptr;
    SafeArrayAccessData(v->parray, &p);
    if (!out.empty()) std::memcpy(out.data(), p, out.size());
    SafeArrayUnaccessData(v->parray);
    return out;
  }
  // The texts of the message boxes shown since the last call.
  std::vector<std::string> Messages() {
    std::vector<std::string> out;
    for (const auto& shown : plat::ShownLog())
      if (shown.request.kind == plat::SystemUiKind::MessageBox) out.push_back(shown.request.text);
    plat::ClearShownLog();
    return out;
  }
  static HWND ServerEdit() { return ::GetDlgItem(plat::ole::TextDocumentWindow(), plat::ole::kTextDocumentEditId); }
  static void ClickServer(int id) {
    ::SendMessage(::GetDlgItem(plat::ole::TextDocumentWindow(), id), BM_CLICK, 0, 0);
    Pump();
  }

  plat::ScriptedAutomation automation;
  std::size_t live = 0;
};

TEST(OleCellHeader, HeaderIsByteExactAndDamagedHeadersAreRefused) {
  const std::vector<BYTE> header = GXMakeOleCellHeader("Doc", "A.B");
  const std::vector<BYTE> expected = {0x15, 0x1C, 20, 0, 2, 0, 0, 0, 4, 0, 4, 0, 20, 0, 24, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                                      'D',  'o',  'c', 0, 'A', '.', 'B', 0};
  EXPECT_EQ(header, expected);
  std::vector<BYTE> stored = header;
  stored.insert(stored.end(), {1, 2, 3, 0, 0, 0, 0});
  const auto parsed = GXParseOleCellHeader(stored);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->userType, "Doc");
  EXPECT_EQ(parsed->progId, "A.B");
  EXPECT_EQ(parsed->objectOffset, 28u);
  EXPECT_EQ(parsed->objectLength, 3u);
  // Cut short anywhere before the trailer's end, or with lengths and offsets that leave the array.
  for (std::size_t n = 0; n < 28 + 4; ++n)
    EXPECT_FALSE(GXParseOleCellHeader(std::span(stored.data(), n))) << n;
  auto damaged = [&](std::size_t at, BYTE value) {
    std::vector<BYTE> copy = stored;
    copy[at] = value;
    return GXParseOleCellHeader(copy).has_value();
  };
  EXPECT_FALSE(damaged(0, 0x16));   // signature
  EXPECT_FALSE(damaged(10, 0xF0));  // identifier length beyond the end
  EXPECT_FALSE(damaged(14, 0xF0));  // identifier offset beyond the end
  EXPECT_FALSE(damaged(12, 2));     // user type inside the fixed part
  EXPECT_FALSE(damaged(25, 0));     // identifier ends before its length says
}

TEST_F(OleCellTest, OnlyOleCapableGridsGetTheControl) {
  CGXControlFactory factory;
  CGXGridWnd* plain = MakeGrid<CGXGridWnd>(3, 3);
  EXPECT_EQ(factory.CreateControl(GX_IDS_CTRL_OLEPREVIEW, plain), nullptr);
  OleGrid* g = MakeOleGrid();
  std::unique_ptr<CGXControl> made(factory.CreateControl(GX_IDS_CTRL_OLEPREVIEW, g));
  EXPECT_NE(dynamic_cast<CGXOlePreview*>(made.get()), nullptr);
}

TEST_F(OleCellTest, OpeningInvalidValuesShowsTheMessageAndAnEmptyCellAsksWhatToInsert) {
  OleGrid* g = MakeOleGrid();
  std::vector<BYTE> wrong = StoredDocument("x");
  wrong[0] = 0x16;
  const COleVariant wrongSignature = ByteArray(wrong);
  const COleVariant number(static_cast<LONG>(5));
  SetCell(g, 1, 1, OleCell(&wrongSignature));
  SetCell(g, 2, 1, OleCell(&number));
  SetCell(g, 3, 1, OleCell(nullptr));
  ClickButton(g, 1, 1);
  EXPECT_EQ(Messages(), std::vector<std::string>{"The binary data is not valid."});
  EXPECT_EQ(plat::ole::TextDocumentWindow(), nullptr);
  ClickButton(g, 2, 1);
  EXPECT_EQ(Messages(), std::vector<std::string>{"The binary data is not valid."});
  EXPECT_FALSE(Control(g)->GetEditingState());
  EXPECT_FALSE(IsPopupActive());
  // The empty cell: the insert-object chooser; Cancel shows nothing and changes nothing.
  automation.Reply(plat::SystemUiKind::InsertObject, {IDCANCEL, "", 0});
  ClickButton(g, 3, 1);
  ASSERT_FALSE(plat::ShownLog().empty());
  EXPECT_EQ(plat::ShownLog().back().request.caption, "Tarn Insert Object");
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  EXPECT_FALSE(IsPopupActive());
  EXPECT_TRUE(CellBytes(g, 3, 1).empty());
  // A chooser that fails says so.
  automation.Reply(plat::SystemUiKind::InsertObject, {IDABORT, "", 0});
  ClickButton(g, 3, 1);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to invoke insert object dialog."});
}

TEST_F(OleCellTest, EditingInTheServerWindowAndSavingStoresTheNewBytes) {
  OleGrid* g = MakeOleGrid();
  const COleVariant stored = ByteArray(StoredDocument("old text"));
  SetCell(g, 1, 1, OleCell(&stored));
  ClickButton(g, 1, 1);
  ASSERT_NE(plat::ole::TextDocumentWindow(), nullptr);
  CGXOlePreview* c = Control(g);
  EXPECT_TRUE(c->IsObjectOpen());
  EXPECT_TRUE(c->GetEditingState());
  EXPECT_TRUE(IsPopupActive());  // the grid keeps the cell active while the server has the focus
  EXPECT_EQ(::GetFocus(), ServerEdit());
  char text[64] = {};
  ::GetWindowText(ServerEdit(), text, sizeof text);
  EXPECT_STREQ(text, "old text");
  plat::InputRouter::Instance().KeyPress(VK_END);
  Type(" and new");
  g->Take();
  ClickServer(plat::ole::kTextDocumentUpdateId);
  EXPECT_TRUE(c->GetModifiedState());
  EXPECT_EQ(g->Take(), (enginetest::Log{"modified 1,1"}));
  // While open, the clipboard and Delete are refused with a message; the server window comes forward.
  for (const auto& action : {+[](CGXOlePreview* p) { p->CopyToClipboard(); },
                             +[](CGXOlePreview* p) { p->CutToClipboard(); },
                             +[](CGXOlePreview* p) { p->PasteFromClipboard(); },
                             +[](CGXOlePreview* p) { p->OnKeyDownInCell(VK_DELETE, 1, 0); }}) {
    action(c);
    EXPECT_EQ(Messages(), std::vector<std::string>{"You have already spawned a viewer. Please use this for editing"});
  }
  EXPECT_FALSE(c->CanCopyToClipboard());
  EXPECT_FALSE(c->CanPasteFromClipboard());
  // The server closes: the advise sink closes the viewer; the saved value is stored when the cell is left.
  ClickServer(plat::ole::kTextDocumentCloseId);
  EXPECT_EQ(plat::ole::TextDocumentWindow(), nullptr);
  EXPECT_FALSE(c->IsObjectOpen());
  EXPECT_FALSE(IsPopupActive());
  g->MoveCurrentCellTo(2, 1);
  Pump();
  const std::vector<BYTE> bytes = CellBytes(g, 1, 1);
  EXPECT_EQ(TextOf(bytes), "old text and new");
  ASSERT_GE(bytes.size(), 20u);
  const std::vector<BYTE> expected = GXMakeOleCellHeader("Text Document", plat::ole::kTextDocumentProgId);
  EXPECT_EQ(std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(expected.size())),
            expected);
  EXPECT_EQ(std::vector<BYTE>(bytes.end() - 4, bytes.end()), std::vector<BYTE>(4, 0));
  EXPECT_EQ(Messages(), std::vector<std::string>{});
}

TEST_F(OleCellTest, ServerClosedWithUnsavedChangesSavesThemThroughTheSite) {
  OleGrid* g = MakeOleGrid();
  const COleVariant stored = ByteArray(StoredDocument("a"));
  SetCell(g, 1, 1, OleCell(&stored));
  ClickButton(g, 1, 1);
  ::SetWindowText(ServerEdit(), "b");
  ClickServer(plat::ole::kTextDocumentCloseId);
  g->MoveCurrentCellTo(2, 1);
  Pump();
  EXPECT_EQ(TextOf(CellBytes(g, 1, 1)), "b");
}

TEST_F(OleCellTest, InsertedObjectIsEditedInItsServerAndStoredInTheEmptyCell) {
  OleGrid* g = MakeOleGrid();
  SetCell(g, 1, 1, OleCell(nullptr));
  automation.Reply(plat::SystemUiKind::InsertObject, {IDOK, plat::ole::kTextDocumentProgId, 0});
  ClickButton(g, 1, 1);
  ASSERT_NE(plat::ole::TextDocumentWindow(), nullptr);
  EXPECT_TRUE(Control(g)->IsObjectOpen());
  char text[16] = {'x', 0};
  ::GetWindowText(ServerEdit(), text, sizeof text);
  EXPECT_STREQ(text, "");  // a new, empty document
  Type("inserted");
  // Closing saves the changed document first.
  ClickServer(plat::ole::kTextDocumentCloseId);
  EXPECT_FALSE(IsPopupActive());
  g->MoveCurrentCellTo(2, 1);
  Pump();
  EXPECT_EQ(TextOf(CellBytes(g, 1, 1)), "inserted");
  EXPECT_EQ(Messages(), std::vector<std::string>{});
}

TEST_F(OleCellTest, LeavingTheCellKeepsEditsTheServerHadNotSaved) {
  OleGrid* g = MakeOleGrid();
  const COleVariant stored = ByteArray(StoredDocument("draft"));
  SetCell(g, 1, 1, OleCell(&stored));
  ClickButton(g, 1, 1);
  ASSERT_NE(plat::ole::TextDocumentWindow(), nullptr);
  ::SetWindowText(ServerEdit(), "final");
  // No Update: the grid's current cell moves on while the server is open.
  g->MoveCurrentCellTo(2, 1);
  Pump();
  EXPECT_EQ(plat::ole::TextDocumentWindow(), nullptr);
  EXPECT_FALSE(IsPopupActive());
  EXPECT_EQ(TextOf(CellBytes(g, 1, 1)), "final");
}

TEST_F(OleCellTest, GridDestroyedWhileAnObjectIsOpenLeavesNothingBehind) {
  OleGrid* g = MakeOleGrid();
  const COleVariant stored = ByteArray(StoredDocument("open"));
  SetCell(g, 1, 1, OleCell(&stored));
  ClickButton(g, 1, 1);
  HWND server = plat::ole::TextDocumentWindow();
  ASSERT_NE(server, nullptr);
  // As a dialog goes: the grid's window first, then its object with the controls.
  ::DestroyWindow(g->GridHwnd());
  Pump();
  grid.reset();  // the fixture's ledger checks that every interface went
  Pump();
  EXPECT_FALSE(::IsWindow(server));
  EXPECT_FALSE(IsPopupActive());
}

TEST_F(OleCellTest, DeleteClearsTheCellAndTheEmptyValueIsStored) {
  OleGrid* g = MakeOleGrid();
  const COleVariant stored = ByteArray(StoredDocument("gone"));
  SetCell(g, 1, 1, OleCell(&stored));
  g->MoveCurrentCellTo(1, 1);
  Pump();
  EXPECT_TRUE(Control(g)->HasOleValue());
  Key(VK_DELETE);
  EXPECT_TRUE(CellBytes(g, 1, 1).empty());
  CGXStyle style;
  g->ComposeCellStyle(1, 1, style);
  ASSERT_TRUE(style.HasUserAttribute(GX_IDS_UA_DAOBITMAP));
  EXPECT_TRUE(style.GetUserAttribute(GX_IDS_UA_DAOBITMAP).IsEmpty());
  EXPECT_FALSE(Control(g)->HasOleValue());
}

TEST_F(OleCellTest, CopyAndPasteThroughTheObjectClipboardIntoAnotherCell) {
  OleGrid* g = MakeOleGrid();
  const COleVariant stored = ByteArray(StoredDocument("shared"));
  SetCell(g, 1, 1, OleCell(&stored));
  SetCell(g, 2, 1, OleCell(nullptr));
  SetCell(g, 3, 1, OleCell(&stored));
  g->MoveCurrentCellTo(2, 1);
  Pump();
  EXPECT_FALSE(Control(g)->CanPasteFromClipboard());  // nothing on the clipboard
  g->MoveCurrentCellTo(1, 1);
  Pump();
  ASSERT_TRUE(Control(g)->CanCopyToClipboard());
  // Ctrl+C on the cell copies its object.
  plat::InputRouter::Instance().KeyDown(VK_CONTROL);
  plat::InputRouter::Instance().KeyPress('C');
  plat::InputRouter::Instance().KeyUp(VK_CONTROL);
  Pump();
  EXPECT_TRUE(::IsClipboardFormatAvailable(plat::ole::ObjectClipboardFormat()));
  EXPECT_FALSE(Control(g)->IsObjectOpen());
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  g->MoveCurrentCellTo(2, 1);
  Pump();
  ASSERT_TRUE(Control(g)->CanPasteFromClipboard());
  // (The grid's own paste, which asks the control first, is a feature these grids lack.)
  EXPECT_TRUE(Control(g)->PasteFromClipboard());
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  EXPECT_TRUE(Control(g)->GetModifiedState());
  g->MoveCurrentCellTo(4, 1);
  Pump();
  EXPECT_EQ(TextOf(CellBytes(g, 2, 1)), "shared");
  // Cut: the object goes to the clipboard and the cell is emptied when stored.
  g->MoveCurrentCellTo(3, 1);
  Pump();
  ::OpenClipboard(nullptr);
  ::EmptyClipboard();
  ::CloseClipboard();
  EXPECT_TRUE(Control(g)->CutToClipboard());
  g->MoveCurrentCellTo(4, 1);
  Pump();
  EXPECT_TRUE(CellBytes(g, 3, 1).empty());
  EXPECT_TRUE(::IsClipboardFormatAvailable(plat::ole::ObjectClipboardFormat()));
  // Text on the clipboard is no object: the cell does not offer to paste it.
  plat::Clipboard::Instance().SeedText("plain");
  g->MoveCurrentCellTo(3, 1);
  Pump();
  EXPECT_FALSE(Control(g)->CanPasteFromClipboard());
}

TEST_F(OleCellTest, ClientSiteAnswersOnlyItsInterfacesAndSavesAnUnchangedObjectToo) {
  OleGrid* g = MakeOleGrid();
  const COleVariant stored = ByteArray(StoredDocument("same"));
  SetCell(g, 1, 1, OleCell(&stored));
  g->MoveCurrentCellTo(1, 1);
  Pump();
  CGXOlePreview* c = Control(g);
  CGXOleViewer* viewer = c->GetViewer();
  auto* site = static_cast<CGXClientSite*>(viewer->CreateClientSite());
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(site->QueryInterface(IID_IOleObject, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(site->RefCount(), 1u);
  IUnknown* unknown = nullptr;
  EXPECT_EQ(site->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(site->AddRef(), 3u);
  EXPECT_EQ(site->Release(), 2u);
  EXPECT_EQ(unknown->Release(), 1u);
  EXPECT_EQ(site->GetMoniker(0, 0, &out), E_NOTIMPL);
  EXPECT_EQ(site->ShowObject(), S_OK);
  EXPECT_EQ(site->Release(), 0u);
  auto* sink = static_cast<CGXAdviseSink*>(static_cast<CGXGenericViewerImpl*>(viewer)->CreateAdviseSink());
  EXPECT_EQ(sink->QueryInterface(IID_IOleClientSite, &out), E_NOINTERFACE);
  EXPECT_EQ(sink->Release(), 0u);

  // An open object that was not changed: the site's save stores it anyway and reports the change.
  ClickButton(g, 1, 1);
  ASSERT_TRUE(c->IsObjectOpen());
  g->Take();
  ClickServer(plat::ole::kTextDocumentUpdateId);
  EXPECT_EQ(g->Take(), (enginetest::Log{"modified 1,1"}));
  EXPECT_TRUE(c->GetModifiedState());
  ClickServer(plat::ole::kTextDocumentCloseId);
  g->MoveCurrentCellTo(2, 1);
  Pump();
  EXPECT_EQ(TextOf(CellBytes(g, 1, 1)), "same");
}

TEST_F(OleCellTest, ViewerHookSeesTheViewerIdAndMayReplaceTheViewer) {
  OleGrid* g = MakeOleGrid();
  CGXStyle style = OleCell(nullptr);
  style.SetUserAttribute(GX_IDS_UA_OLEVIEWERID, "7");
  SetCell(g, 1, 1, style);
  SetCell(g, 2, 1, OleCell(nullptr));
  g->MoveCurrentCellTo(1, 1);
  Pump();
  CGXOleViewer* seven = Control(g)->GetViewer();
  g->MoveCurrentCellTo(2, 1);
  Pump();
  CGXOleViewer* standard = Control(g)->GetViewer();
  EXPECT_NE(seven, standard);
  ASSERT_GE(g->hooked.size(), 2u);
  EXPECT_EQ(g->hooked[g->hooked.size() - 2], 7);
  EXPECT_EQ(g->hooked.back(), -1);
  CGXGenericViewerImpl own;
  g->replacement = &own;
  EXPECT_EQ(Control(g)->GetViewer(), &own);
  g->replacement = nullptr;
}

TEST_F(OleCellTest, CellShowsItsHotSpotButtonWhenCurrent) {
  OleGrid* g = MakeOleGrid();
  const COleVariant stored = ByteArray(StoredDocument("picture"));
  CGXStyle style = OleCell(&stored);
  style.SetValue("Object");
  SetCell(g, 1, 1, style);
  g->MoveCurrentCellTo(1, 1);
  Pump();
  auto shot = enginetest::Shot(g->GridHwnd());
  ASSERT_TRUE(shot);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*shot, "grid/extras/tests/reference/ole-cell.png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

}  // namespace
