// The printer a grid prints on: copies of the printer's DEVNAMES and DEVMODE blocks.
//
// This is the model and its archive form as layouts carry it; the print dialogs, default printer and
// printer device context belong to the printing feature.
#pragma once

#include <vector>

#include "platform/base/CObject.h"

class CGXPrintDevice : public CObject {
  DECLARE_SERIAL(CGXPrintDevice)

 public:
  CGXPrintDevice() = default;
  CGXPrintDevice(const CGXPrintDevice& other) : CObject() { *this = other; }
  CGXPrintDevice& operator=(const CGXPrintDevice& other);

  // WORD schema 1, then the DEVNAMES block and the DEVMODE block, each as a DWORD size and its bytes.
  void Serialize(CArchive& ar) override;

  // Replaces both blocks with copies (an empty buffer clears a block).
  void SetDeviceInfo(const BYTE* names, std::size_t namesSize, const BYTE* mode, std::size_t modeSize);
  void FreeDevice();
  const std::vector<BYTE>& GetDevNames() const { return m_names; }
  const std::vector<BYTE>& GetDevMode() const { return m_mode; }

 private:
  std::vector<BYTE> m_names;
  std::vector<BYTE> m_mode;
};
