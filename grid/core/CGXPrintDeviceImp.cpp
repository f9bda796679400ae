#include "grid/core/CGXPrintDeviceImp.h"

#include <cstddef>
#include <cstring>

#include "grid/core/gxwindowhelpers.h"
#include "platform/base/CException.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CPrintInfo.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/Printers.h"

namespace {

constexpr UINT kBlockFlags = 0x102;       // GMEM_MOVEABLE | GMEM_DISCARDABLE, as the print dialogs hand them out
constexpr DWORD kSetupFlags = 0x14000C;  // the defaults dialog: no selection, no page numbers, ...

HGLOBAL NewBlock(const std::vector<BYTE>& bytes) {
  HGLOBAL h = ::GlobalAlloc(kBlockFlags, bytes.size());
  if (!h) return nullptr;
  std::memcpy(::GlobalLock(h), bytes.data(), bytes.size());
  ::GlobalUnlock(h);
  return h;
}

std::vector<BYTE> CopyOf(HGLOBAL h) {
  if (!h) return {};
  const std::size_t size = ::GlobalSize(h);
  const void* p = ::GlobalLock(h);
  std::vector<BYTE> out;
  if (p && size) out.assign(static_cast<const BYTE*>(p), static_cast<const BYTE*>(p) + size);
  ::GlobalUnlock(h);
  return out;
}

// Whether the platform would make a printer from the pair (the same checks AfxCreateDC makes).
bool Usable(const std::vector<BYTE>& names, const std::vector<BYTE>& mode) {
  if (!plat::UnpackDevNames(names.data(), names.size())) return false;
  return mode.empty() || !plat::ValidateDevMode(mode.data(), mode.size());
}

HDC CreateFromBlocks(const std::vector<BYTE>& names, const std::vector<BYTE>& mode) {
  HGLOBAL n = NewBlock(names);
  HGLOBAL m = mode.empty() ? nullptr : NewBlock(mode);
  HDC dc = n && (mode.empty() || m) ? AfxCreateDC(n, m) : nullptr;
  if (n) ::GlobalFree(n);
  if (m) ::GlobalFree(m);
  return dc;
}

}  // namespace

void CGXPrintDeviceImp::CopyToAppDevice(CGXPrintDevice* device) {
  CWinApp* app = AfxGetApp();
  if (!device || !app) return;
  HGLOBAL names = nullptr, mode = nullptr;
  CopyToHandles(device, &names, &mode);
  if (app->m_hDevNames) ::GlobalFree(app->m_hDevNames);
  if (app->m_hDevMode) ::GlobalFree(app->m_hDevMode);
  app->m_hDevNames = names;
  app->m_hDevMode = mode;
}

INT_PTR CGXPrintDeviceImp::DoPrintDialog(CGXPrintDevice* device, CPrintDialog* dialog) {
  if (!device || !dialog) return IDCANCEL;
  gx::WaitCursor wait;
  device->NeedDeviceInfo();
  CopyToAppDevice(device);
  CWinApp* app = AfxGetApp();
  const INT_PTR answer = app ? app->DoPrintDialog(dialog) : dialog->DoModal();
  if (answer == IDOK) SetDeviceHandles(device, dialog->m_pd.hDevNames, dialog->m_pd.hDevMode);
  return answer;
}

BOOL CGXPrintDeviceImp::PreparePrinting(CView* view, CGXPrintDevice* device, CPrintInfo* info) {
  if (!view || !info) return FALSE;
  if (!device) return view->DoPreparePrinting(info);
  gx::WaitCursor wait;
  device->NeedDeviceInfo();
  CopyToAppDevice(device);
  if (!view->DoPreparePrinting(info)) return FALSE;
  const PRINTDLG& pd = info->m_pPD->m_pd;
  if (!IsSameDevice(device, pd.hDevNames, pd.hDevMode)) SetDeviceHandles(device, pd.hDevNames, pd.hDevMode);
  return TRUE;
}

void CGXPrintDeviceImp::SetDeviceHandles(CGXPrintDevice* device, HGLOBAL devNames, HGLOBAL devMode) {
  if (!device) return;
  std::vector<BYTE> names, mode;
  GetDeviceInfo(device, devNames, devMode, names, mode);
  SetDeviceInfo(device, names.data(), names.size(), mode.data(), mode.size());
}

void CGXPrintDeviceImp::SetDeviceInfo(CGXPrintDevice* device, const BYTE* names, std::size_t namesSize,
                                      const BYTE* mode, std::size_t modeSize) {
  if (!device) return;
  FreeDevice(device);
  device->StoreBlocks(names, namesSize, mode, modeSize);
}

void CGXPrintDeviceImp::FreeDevice(CGXPrintDevice* device) {
  if (!device) return;
  ResetPrinterDC(device);
  device->StoreBlocks(nullptr, 0, nullptr, 0);
}

void CGXPrintDeviceImp::GetDeviceInfo(CGXPrintDevice*, HGLOBAL devNames, HGLOBAL devMode, std::vector<BYTE>& names,
                                      std::vector<BYTE>& mode) {
  names = CopyOf(devNames);
  mode = CopyOf(devMode);
}

void CGXPrintDeviceImp::GetDefaultDevice(CGXPrintDevice* device) {
  if (!device) return;
  CPrintDialog dialog(TRUE, kSetupFlags);
  if (!dialog.GetDefaults()) return;  // no default printer: the device stays without blocks
  if (HGLOBAL h = dialog.m_pd.hDevMode) {
    if (::GlobalSize(h) >= offsetof(DEVMODEA, dmTTOption) + sizeof(short)) {
      auto* mode = static_cast<DEVMODEA*>(::GlobalLock(h));
      mode->dmTTOption = 1;  // TrueType fonts print as TrueType
      ::GlobalUnlock(h);
    }
  }
  SetDeviceHandles(device, dialog.m_pd.hDevNames, dialog.m_pd.hDevMode);
}

HDC CGXPrintDeviceImp::GetPrinterDC(CGXPrintDevice* device) {
  if (!device) return nullptr;
  if (device->m_hPrintDC) return device->m_hPrintDC;
  device->NeedDeviceInfo();
  if (device->m_names.empty()) return nullptr;
  HDC dc = Usable(device->m_names, device->m_mode) ? CreateFromBlocks(device->m_names, device->m_mode) : nullptr;
  if (!dc) {
    // Unusable blocks stay as they came (an archive may be read by a program that knows the printer); the
    // context comes from the default printer instead.
    HGLOBAL names = nullptr, mode = nullptr;
    if (plat::CreatePrinterBlocks(plat::DefaultPrinterName(), &names, &mode)) {
      dc = AfxCreateDC(names, mode);
      ::GlobalFree(names);
      ::GlobalFree(mode);
    }
  }
  device->m_hPrintDC = dc;
  return dc;
}

void CGXPrintDeviceImp::ResetPrinterDC(CGXPrintDevice* device) {
  if (device) device->DeleteCachedDC();
}

void CGXPrintDeviceImp::CopyToHandles(CGXPrintDevice* device, HGLOBAL* devNames, HGLOBAL* devMode) {
  if (devNames) *devNames = nullptr;
  if (devMode) *devMode = nullptr;
  if (!device || !devNames || !devMode || device->m_names.empty()) return;
  HGLOBAL names = NewBlock(device->m_names);
  HGLOBAL mode = device->m_mode.empty() ? nullptr : NewBlock(device->m_mode);
  if (!names || (!device->m_mode.empty() && !mode)) {
    if (names) ::GlobalFree(names);
    if (mode) ::GlobalFree(mode);
    AfxThrowMemoryException();
  }
  *devNames = names;
  *devMode = mode;
}

BOOL CGXPrintDeviceImp::IsSameDevice(CGXPrintDevice* device, HGLOBAL devNames, HGLOBAL devMode) {
  std::vector<BYTE> names, mode;
  GetDeviceInfo(device, devNames, devMode, names, mode);
  return CompareDeviceInfo(device, names.data(), names.size(), mode.data(), mode.size());
}

BOOL CGXPrintDeviceImp::CompareDeviceInfo(CGXPrintDevice* device, const BYTE* names, std::size_t namesSize,
                                          const BYTE* mode, std::size_t modeSize) {
  if (!device) return FALSE;
  auto same = [](const std::vector<BYTE>& block, const BYTE* p, std::size_t size) {
    return block.size() == size && (size == 0 || (p && std::memcmp(block.data(), p, size) == 0));
  };
  return same(device->m_names, names, namesSize) && same(device->m_mode, mode, modeSize);
}

void InstallPrintDeviceImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_pPrintDeviceImp) return;
  auto* imp = new CGXPrintDeviceImp;
  g.m_pPrintDeviceImp = imp;
  g.AddToAutoDeleteList(imp);
}
