// Arbitrary clipboard blocks pasted into a masked-edit cell being edited: under "GX_MASKDATA" (the input
// characters and a zero byte, which an outside block may lack) or as CF_TEXT, over a mask from the input,
// into an empty cell, a filled one or a selection. No crash, no read past the block, and the cell's text
// stays as long as its mask's shown form.
//
// Input: byte 0 the switches (1 text instead of mask data, 2 a filled cell, 4 select all, 8 insert mode off),
// then the mask up to a zero byte, then the block.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "fuzz/FuzzFonts.h"
#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/extras/CGXMaskControl.h"
#include "grid/extras/GXExtras.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"

namespace {

CGXGridWnd* Grid() {
  static CGXGridWnd* grid = [] {
    plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("maskclip-fuzz"));
    plat::Desktop::Configure(400, 200);
    GXRegisterCellControls();
    GXRegisterExtras();
    InitGridLibrary();
    auto* g = new CGXGridWnd;
    g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200, nullptr, nullptr);
    g->InitializeFromStyle();
    g->SetRowCount(3, 0);
    g->SetColCount(2, 0);
    g->SetColWidth(1, 2, 150, nullptr, 0);
    return g;
  }();
  return grid;
}

void Pump() {
  MSG msg;
  for (int guard = 0; guard < 1000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  Grid();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 4096) return 0;
  const std::uint8_t flags = data[0];
  std::size_t at = 1;
  std::string mask;
  while (at < size && data[at]) mask += static_cast<char>(data[at++]);
  if (mask.size() > 64) return 0;
  ++at;
  const std::uint8_t* block = data + std::min(at, size);
  const std::size_t blockSize = size - std::min(at, size);

  CGXGridWnd* g = Grid();
  g->MoveCurrentCellTo(2, 2);
  Pump();
  CGXStyle style;
  style.SetControl(GX_IDS_CTRL_MASKEDIT)
      .SetValue((flags & 2) ? "1234567890" : "")
      .SetUserAttribute(GX_IDS_UA_INPUTMASK, mask.c_str());
  g->SetStyleRange(CGXRange(1, 1), style, gxOverride, 0, 0);
  auto* control = dynamic_cast<CGXMaskControl*>(g->ControlForId(GX_IDS_CTRL_MASKEDIT));
  if (!control) std::abort();
  ::SetFocus(g->GridHwnd());
  g->MoveCurrentCellTo(1, 1);
  Pump();
  plat::InputRouter::Instance().KeyPress(VK_HOME);  // starts editing
  Pump();
  if (flags & 8) plat::InputRouter::Instance().KeyPress(VK_INSERT);
  Pump();

  if (!OpenClipboard(nullptr)) std::abort();
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, blockSize ? blockSize : 1);
  if (blockSize) std::memcpy(GlobalLock(h), block, blockSize);
  GlobalUnlock(h);
  SetClipboardData((flags & 1) ? CF_TEXT : CGXMaskControl::MaskDataFormat(), h);
  CloseClipboard();

  if (flags & 4) control->SetSel(0, -1);
  control->PasteFromClipboard();
  g->MoveCurrentCellTo(2, 2);  // stores what the paste left
  Pump();
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  return 0;
}
