// Reads arbitrary bytes as a grid layout. A layout that loads is written again and read back, so that the
// writer and the second read see whatever the first read accepted; then it is attached to a grid window,
// painted, and scrolled to its last row and column and painted again, as a program showing it would.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "grid/controls/GXCellControls.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXStyleSerializeImp.h"
#include "grid/core/gxlayout.h"
#include "grid/features/gxfeatures.h"
#include "platform/base/ResourceTable.h"
#include "platform/display/Desktop.h"
#include "platform/window/Pump.h"

#include "fuzz/FuzzFonts.h"

namespace {

void Pump() {
  MSG msg;
  for (int guard = 0; guard < 10000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

// Shows the layout (owned from here on) in a grid window: painted at its start and at its end.
void ShowInGrid(std::unique_ptr<CGXGridParam> param) {
  CGXGridWnd grid;
  if (!grid.CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 320, 240, nullptr,
                     nullptr))
    return;
  grid.AttachParam(param.release(), TRUE);
  grid.InitializeFromStyle();
  grid.RedrawAll(GX_UPDATENOW);
  Pump();
  SendMessage(grid, WM_VSCROLL, SB_BOTTOM, 0);
  SendMessage(grid, WM_HSCROLL, SB_RIGHT, 0);
  Pump();
  grid.RedrawAll(GX_UPDATENOW);
  Pump();
  grid.DestroyWindow();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzfonts::Prepare();
  plat::SetInstanceHandle(plat::ResourceTable::ModuleHandle("layout-fuzz"));
  plat::Desktop::Configure(640, 480);
  InstallDocSerializeImp();
  InstallSerializeTarn5CompatibleImp();
  GXRegisterCellControls();
  GXRegisterEditingFeatures();  // spanned cells evaluate and draw the pools a layout carries
  InitGridLibrary();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<CObject> object(gx::ReadObjectFromBytes({data, size}, RUNTIME_CLASS(CGXGridParam)));
  if (!object) return 0;
  const std::vector<BYTE> again = gx::WriteObjectToBytes(object.get());
  std::unique_ptr<CObject> second(gx::ReadObjectFromBytes(again, RUNTIME_CLASS(CGXGridParam)));
  if (!second) __builtin_trap();  // what the writer produced must read back
  ShowInGrid(std::unique_ptr<CGXGridParam>(static_cast<CGXGridParam*>(object.release())));
  return 0;
}
