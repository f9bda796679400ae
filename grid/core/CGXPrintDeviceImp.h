// The process-wide print device implementation: the print dialogs, the default printer, the printer device
// context and the global blocks the application takes, for every CGXPrintDevice.
//
// Blocks from an archive or a dialog are kept byte for byte; a printer DC is made only from blocks that the
// platform's checks accept (DEVNAMES offsets inside the block, a DEVMODE of a known printer with sane sizes),
// and from the default printer's blocks when the device's are unusable.
#pragma once

#include "grid/core/CGXPrintDevice.h"

class CGXPrintDeviceImp : public CGXAbstractPrintDeviceImp {
 public:
  void CopyToAppDevice(CGXPrintDevice* device) override;
  INT_PTR DoPrintDialog(CGXPrintDevice* device, CPrintDialog* dialog) override;
  BOOL PreparePrinting(CView* view, CGXPrintDevice* device, CPrintInfo* info) override;
  void SetDeviceHandles(CGXPrintDevice* device, HGLOBAL devNames, HGLOBAL devMode) override;
  void SetDeviceInfo(CGXPrintDevice* device, const BYTE* names, std::size_t namesSize, const BYTE* mode,
                     std::size_t modeSize) override;
  void FreeDevice(CGXPrintDevice* device) override;
  void GetDeviceInfo(CGXPrintDevice* device, HGLOBAL devNames, HGLOBAL devMode, std::vector<BYTE>& names,
                     std::vector<BYTE>& mode) override;
  void GetDefaultDevice(CGXPrintDevice* device) override;
  HDC GetPrinterDC(CGXPrintDevice* device) override;
  void ResetPrinterDC(CGXPrintDevice* device) override;
  void CopyToHandles(CGXPrintDevice* device, HGLOBAL* devNames, HGLOBAL* devMode) override;
  BOOL IsSameDevice(CGXPrintDevice* device, HGLOBAL devNames, HGLOBAL devMode) override;
  BOOL CompareDeviceInfo(CGXPrintDevice* device, const BYTE* names, std::size_t namesSize, const BYTE* mode,
                         std::size_t modeSize) override;
};
