// The page of the OLE object cells: a row holding a text document, an empty row that asks which object to
// insert, and a row whose cells name viewer 7; the columns "Shown", "Read-only" and "Live". The page's grid
// is OLE-capable (the cell control exists only for such grids). The steps open the document in its server
// window, edit and save it there, close the server, and copy the object into the empty row.
#include <cstring>
#include <vector>

#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/core/CGXRange.h"
#include "grid/demo/gallery.h"
#include "grid/extras/CGXOlePreview.h"
#include "platform/ole/TextDocumentServer.h"
#include "platform/window/InputRouter.h"

namespace gallery {
namespace {

enum Column : ROWCOL { kPlain = 1, kReadOnly, kLive };

// The page's grid: a grid window that holds OLE object cells; its window owns it.
class OleGalleryGrid : public CGXGridWnd, public CGXOleCapableGrid {
 protected:
  void PostNcDestroy() override { delete this; }
};

struct OleStream : OLESTREAM {
  std::vector<BYTE> bytes;
  static DWORD Put(OLESTREAM* s, const void* data, DWORD count) {
    auto* self = static_cast<OleStream*>(s);
    self->bytes.insert(self->bytes.end(), static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + count);
    return count;
  }
  static DWORD Get(OLESTREAM*, void*, DWORD) { return 0; }
  static constexpr OLESTREAMVTBL kTable{&Get, &Put};
  OleStream() { lpstbl = &kTable; }
};

// A stored text document, as a cell keeps it.
COleVariant StoredDocument(const std::string& text) {
  COleVariant value;
  ILockBytes* bytes = nullptr;
  IStorage* storage = nullptr;
  if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes))) return value;
  const HRESULT hr = StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage);
  bytes->Release();
  if (FAILED(hr)) return value;
  WriteClassStg(storage, plat::ole::CLSID_TextDocument);
  IStream* stream = nullptr;
  if (SUCCEEDED(storage->CreateStream(u"Text", STGM_CREATE | STGM_READWRITE, 0, 0, &stream))) {
    stream->Write(text.data(), static_cast<ULONG>(text.size()), nullptr);
    stream->Release();
  }
  OleStream ole1;
  const bool converted = SUCCEEDED(OleConvertIStorageToOLESTREAM(storage, &ole1));
  storage->Release();
  if (!converted) return value;
  std::vector<BYTE> all = GXMakeOleCellHeader("Text Document", plat::ole::kTextDocumentProgId);
  all.insert(all.end(), ole1.bytes.begin(), ole1.bytes.end());
  all.insert(all.end(), 4, 0);
  value.vt = VT_ARRAY | VT_UI1;
  value.parray = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(all.size()));
  void* p = nullptr;
  SafeArrayAccessData(value.parray, &p);
  std::memcpy(p, all.data(), all.size());
  SafeArrayUnaccessData(value.parray);
  return value;
}

const char* const kLabels[] = {"Text document", "Empty: insert", "Viewer 7"};

CGXStyle CellStyle(ROWCOL row, ROWCOL col) {
  CGXStyle s;
  s.SetControl(GX_IDS_CTRL_OLEPREVIEW).SetInteriorColor(RGB(255, 255, 255));
  if (row != 2) {
    static const COleVariant document = StoredDocument("Decoupling notes");
    auto* attribute = new CGXOleVarUserAttribute;
    attribute->SetVariant(document);
    s.SetUserAttribute(GX_IDS_UA_DAOBITMAP, attribute);
    s.SetValue("Text Document");
  }
  if (row == 3) s.SetUserAttribute(GX_IDS_UA_OLEVIEWERID, "7");
  if (col == kReadOnly) s.SetReadOnly(TRUE).SetInteriorColor(RGB(236, 236, 236));
  return s;
}

HWND BuildPage() {
  plat::ole::RegisterTextDocumentServer();
  HWND main = CreatePageWindow("Cell gallery: OLE object cells", 560, 170);
  // The page window's plain grid makes way for an OLE-capable one with the same id and place.
  HWND plain = ::GetWindow(main, GW_CHILD);
  const int id = ::GetDlgCtrlID(plain);
  RECT at{};
  ::GetWindowRect(plain, &at);
  ::ScreenToClient(main, reinterpret_cast<POINT*>(&at.left));
  ::ScreenToClient(main, reinterpret_cast<POINT*>(&at.right));
  ::DestroyWindow(plain);
  auto* g = new OleGalleryGrid;
  g->CreateEx(WS_EX_CLIENTEDGE, "GXWND", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, at.left,
              at.top, at.right - at.left, at.bottom - at.top, main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
  g->InitializeFromStyle();
  static const char* const kColumnNames[] = {"Shown", "Read-only", "Live"};
  g->SetRowCount(3, 0);
  g->SetColCount(kLive, 0);
  g->SetColWidth(0, 0, 130, nullptr, 0);
  g->SetColWidth(1, kLive, 120, nullptr, 0);
  for (ROWCOL c = 1; c <= kLive; ++c) g->SetStyleRange(CGXRange(0, c), CGXStyle().SetValue(kColumnNames[c - 1]));
  for (ROWCOL r = 1; r <= 3; ++r) {
    g->SetRowHeight(r, r, 24, nullptr, 0);
    g->SetStyleRange(CGXRange(r, 0), CGXStyle().SetValue(kLabels[r - 1]).SetHorizontalAlignment(GX_DT_LEFT));
    for (ROWCOL c = 1; c <= kLive; ++c) g->SetStyleRange(CGXRange(r, c), CellStyle(r, c));
  }
  g->MoveCurrentCellTo(1, kLive, GX_INVALIDATE);
  ShowWindow(main, SW_SHOW);
  SetFocus(g->GridHwnd());
  UpdateWindow(main);
  return main;
}

plat::InputRouter& In() { return plat::InputRouter::Instance(); }

// The hot-spot button in the cell's top-right corner.
POINT ButtonPoint(CGXGridWnd* g, ROWCOL row, ROWCOL col) { return CellScreenPoint(g, row, col, -8, 7); }

POINT ServerPoint(int id) {
  HWND button = ::GetDlgItem(plat::ole::TextDocumentWindow(), id);
  return plat::InputRouter::ClientPoint(button, 10, 10);
}

std::vector<Step> Steps() {
  return {
      // The live document's button opens it in the server window.
      {"open", [](CGXGridWnd* g) { In().Click(plat::MouseButton::Left, ButtonPoint(g, 1, kLive)); }},
      // Typed at the end of the text and saved into the cell with Update.
      {"edited",
       [](CGXGridWnd*) {
         In().KeyPress(VK_END);
         In().TypeText(", edited");
         if (plat::ole::TextDocumentWindow()) In().Click(plat::MouseButton::Left, ServerPoint(plat::ole::kTextDocumentUpdateId));
       }},
      // Close ends the server; a click on the empty row stores the edited document.
      {"closed",
       [](CGXGridWnd* g) {
         if (plat::ole::TextDocumentWindow()) In().Click(plat::MouseButton::Left, ServerPoint(plat::ole::kTextDocumentCloseId));
         In().Click(plat::MouseButton::Left, CellScreenPoint(g, 2, kLive, 8, -1));
       }},
      // Ctrl+C on the document, Ctrl+V on the empty row.
      {"pasted",
       [](CGXGridWnd* g) {
         In().Click(plat::MouseButton::Left, CellScreenPoint(g, 1, kLive, 8, -1));
         In().KeyDown(VK_CONTROL);
         In().KeyPress('C');
         In().KeyUp(VK_CONTROL);
         In().Click(plat::MouseButton::Left, CellScreenPoint(g, 2, kLive, 8, -1));
         In().KeyDown(VK_CONTROL);
         In().KeyPress('V');
         In().KeyUp(VK_CONTROL);
         In().Click(plat::MouseButton::Left, CellScreenPoint(g, 3, kLive, 8, -1));
       }},
  };
}

}  // namespace

Page OleCellsPage() { return {"ole", 640, 360, BuildPage, Steps}; }

}  // namespace gallery
