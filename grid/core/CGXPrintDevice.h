// The printer a grid prints on: copies of the printer's DEVNAMES and DEVMODE blocks, and a printer device
// context made from them on demand.
//
// The blocks and their archive form are the model and work on their own; the print dialogs, the default
// printer and the device context go through the process-wide print device implementation
// (CGXPrintDeviceImp, installed at library start-up), taken when the device is constructed. Without it those
// operations do nothing and GetPrinterDC answers 0.
#pragma once

#include <vector>

#include "grid/core/CGXGridGlobals.h"
#include "platform/base/CObject.h"

class CPrintDialog;
class CPrintInfo;
class CView;
class CGXPrintDevice;

class CGXAbstractPrintDeviceImp : public CGXImpBase {
 public:
  // Replaces the application's DEVMODE and DEVNAMES handles by fresh copies of the device's blocks.
  virtual void CopyToAppDevice(CGXPrintDevice* device) = 0;
  // Runs the application's print dialog on the device's printer; on IDOK the device takes the chosen one.
  virtual INT_PTR DoPrintDialog(CGXPrintDevice* device, CPrintDialog* dialog) = 0;
  // The view's prepare-printing step on the device's printer; the device takes a printer chosen there.
  virtual BOOL PreparePrinting(CView* view, CGXPrintDevice* device, CPrintInfo* info) = 0;
  virtual void SetDeviceHandles(CGXPrintDevice* device, HGLOBAL devNames, HGLOBAL devMode) = 0;
  virtual void SetDeviceInfo(CGXPrintDevice* device, const BYTE* names, std::size_t namesSize, const BYTE* mode,
                             std::size_t modeSize) = 0;
  virtual void FreeDevice(CGXPrintDevice* device) = 0;
  // Copies of two global blocks (empty for a null handle).
  virtual void GetDeviceInfo(CGXPrintDevice* device, HGLOBAL devNames, HGLOBAL devMode, std::vector<BYTE>& names,
                             std::vector<BYTE>& mode) = 0;
  // The default printer's blocks, with TrueType fonts printed as TrueType (dmTTOption 1).
  virtual void GetDefaultDevice(CGXPrintDevice* device) = 0;
  virtual HDC GetPrinterDC(CGXPrintDevice* device) = 0;
  virtual void ResetPrinterDC(CGXPrintDevice* device) = 0;
  // New movable global blocks (0x102) holding copies of the device's blocks; both 0 without DEVNAMES.
  virtual void CopyToHandles(CGXPrintDevice* device, HGLOBAL* devNames, HGLOBAL* devMode) = 0;
  virtual BOOL IsSameDevice(CGXPrintDevice* device, HGLOBAL devNames, HGLOBAL devMode) = 0;
  virtual BOOL CompareDeviceInfo(CGXPrintDevice* device, const BYTE* names, std::size_t namesSize, const BYTE* mode,
                                 std::size_t modeSize) = 0;
};

class CGXPrintDevice : public CObject {
  DECLARE_SERIAL(CGXPrintDevice)

 public:
  CGXPrintDevice();
  CGXPrintDevice(const CGXPrintDevice& other);
  CGXPrintDevice& operator=(const CGXPrintDevice& other);
  ~CGXPrintDevice() override;

  // WORD schema 1, then the DEVNAMES block and the DEVMODE block, each as a DWORD size and its bytes.
  void Serialize(CArchive& ar) override;

  // Replaces both blocks with copies (an empty buffer clears a block); the cached printer DC goes.
  void SetDeviceInfo(const BYTE* names, std::size_t namesSize, const BYTE* mode, std::size_t modeSize);
  void SetDeviceHandles(HGLOBAL devNames, HGLOBAL devMode);
  void FreeDevice();
  const std::vector<BYTE>& GetDevNames() const { return m_names; }
  const std::vector<BYTE>& GetDevMode() const { return m_mode; }

  // Through the implementation (nothing, 0 or FALSE without it).
  void CopyToAppDevice();
  INT_PTR DoPrintDialog(CPrintDialog* dialog);
  BOOL PreparePrinting(CView* view, CPrintInfo* info);
  void GetDefaultDevice();
  // The default printer's blocks when the device has no DEVNAMES block.
  void NeedDeviceInfo();
  void CopyToHandles(HGLOBAL* devNames, HGLOBAL* devMode);
  BOOL IsSameDevice(HGLOBAL devNames, HGLOBAL devMode);
  BOOL CompareDeviceInfo(const BYTE* names, std::size_t namesSize, const BYTE* mode, std::size_t modeSize);
  // The cached printer DC (made on first use, owned by the device); 0 without a usable printer.
  virtual HDC GetPrinterDC();
  virtual void ResetPrinterDC();

  CGXAbstractPrintDeviceImp* GetImp() const { return m_pPrintDeviceImp; }
  // For the implementation: the cached DC.
  HDC m_hPrintDC = nullptr;

 private:
  friend class CGXPrintDeviceImp;
  void StoreBlocks(const BYTE* names, std::size_t namesSize, const BYTE* mode, std::size_t modeSize);
  void DeleteCachedDC();

  std::vector<BYTE> m_mode;
  std::vector<BYTE> m_names;
  CGXAbstractPrintDeviceImp* m_pPrintDeviceImp = nullptr;
};

// Creates the process-wide print device implementation when none exists (deleted at library shut-down).
void InstallPrintDeviceImp();
