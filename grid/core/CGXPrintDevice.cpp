#include "grid/core/CGXPrintDevice.h"

#include <new>

#include "grid/core/gxarchive.h"
#include "platform/base/CArchive.h"
#include "platform/base/CException.h"
#include "platform/gdi/gdiapi.h"

IMPLEMENT_SERIAL(CGXPrintDevice, CObject, 1)

CGXPrintDevice::CGXPrintDevice() : m_pPrintDeviceImp(CGXGridGlobals::Get().m_pPrintDeviceImp) {}

CGXPrintDevice::CGXPrintDevice(const CGXPrintDevice& other) : CGXPrintDevice() { *this = other; }

CGXPrintDevice::~CGXPrintDevice() { DeleteCachedDC(); }

CGXPrintDevice& CGXPrintDevice::operator=(const CGXPrintDevice& other) {
  if (this != &other) SetDeviceInfo(other.m_names.data(), other.m_names.size(), other.m_mode.data(), other.m_mode.size());
  return *this;
}

void CGXPrintDevice::StoreBlocks(const BYTE* names, std::size_t namesSize, const BYTE* mode, std::size_t modeSize) {
  std::vector<BYTE> n, m;
  try {
    n.assign(names && namesSize ? names : nullptr, names && namesSize ? names + namesSize : nullptr);
    m.assign(mode && modeSize ? mode : nullptr, mode && modeSize ? mode + modeSize : nullptr);
  } catch (const std::bad_alloc&) {
    AfxThrowMemoryException();  // the class library's exception, as the global blocks' allocation throws
  }
  DeleteCachedDC();  // made from the old blocks
  m_names = std::move(n);
  m_mode = std::move(m);
}

void CGXPrintDevice::DeleteCachedDC() {
  if (m_hPrintDC) ::DeleteDC(m_hPrintDC);
  m_hPrintDC = nullptr;
}

// The blocks are the model: an archive or a copy works without the implementation.
void CGXPrintDevice::SetDeviceInfo(const BYTE* names, std::size_t namesSize, const BYTE* mode, std::size_t modeSize) {
  if (m_pPrintDeviceImp)
    m_pPrintDeviceImp->SetDeviceInfo(this, names, namesSize, mode, modeSize);
  else
    StoreBlocks(names, namesSize, mode, modeSize);
}

void CGXPrintDevice::FreeDevice() {
  if (m_pPrintDeviceImp)
    m_pPrintDeviceImp->FreeDevice(this);
  else
    StoreBlocks(nullptr, 0, nullptr, 0);
}

void CGXPrintDevice::SetDeviceHandles(HGLOBAL devNames, HGLOBAL devMode) {
  if (m_pPrintDeviceImp) m_pPrintDeviceImp->SetDeviceHandles(this, devNames, devMode);
}

void CGXPrintDevice::CopyToAppDevice() {
  if (m_pPrintDeviceImp) m_pPrintDeviceImp->CopyToAppDevice(this);
}

INT_PTR CGXPrintDevice::DoPrintDialog(CPrintDialog* dialog) {
  return m_pPrintDeviceImp ? m_pPrintDeviceImp->DoPrintDialog(this, dialog) : 0;
}

BOOL CGXPrintDevice::PreparePrinting(CView* view, CPrintInfo* info) {
  return m_pPrintDeviceImp ? m_pPrintDeviceImp->PreparePrinting(view, this, info) : FALSE;
}

void CGXPrintDevice::GetDefaultDevice() {
  if (m_pPrintDeviceImp) m_pPrintDeviceImp->GetDefaultDevice(this);
}

void CGXPrintDevice::NeedDeviceInfo() {
  if (m_names.empty()) GetDefaultDevice();
}

void CGXPrintDevice::CopyToHandles(HGLOBAL* devNames, HGLOBAL* devMode) {
  if (devNames) *devNames = nullptr;
  if (devMode) *devMode = nullptr;
  if (m_pPrintDeviceImp) m_pPrintDeviceImp->CopyToHandles(this, devNames, devMode);
}

BOOL CGXPrintDevice::IsSameDevice(HGLOBAL devNames, HGLOBAL devMode) {
  return m_pPrintDeviceImp ? m_pPrintDeviceImp->IsSameDevice(this, devNames, devMode) : FALSE;
}

BOOL CGXPrintDevice::CompareDeviceInfo(const BYTE* names, std::size_t namesSize, const BYTE* mode,
                                       std::size_t modeSize) {
  return m_pPrintDeviceImp ? m_pPrintDeviceImp->CompareDeviceInfo(this, names, namesSize, mode, modeSize) : FALSE;
}

HDC CGXPrintDevice::GetPrinterDC() { return m_pPrintDeviceImp ? m_pPrintDeviceImp->GetPrinterDC(this) : nullptr; }

void CGXPrintDevice::ResetPrinterDC() {
  if (m_pPrintDeviceImp)
    m_pPrintDeviceImp->ResetPrinterDC(this);
  else
    DeleteCachedDC();
}

namespace {

void ReadBlock(CArchive& ar, std::vector<BYTE>& block) {
  DWORD size = 0;
  ar >> size;
  if (size > ar.GetBytesLeft()) gx::ThrowBadIndex();
  block.resize(size);
  if (size && ar.Read(block.data(), size) != size) gx::ThrowBadIndex();
}

}  // namespace

void CGXPrintDevice::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << WORD{1};
    ar << static_cast<DWORD>(m_names.size());
    if (!m_names.empty()) ar.Write(m_names.data(), static_cast<UINT>(m_names.size()));
    ar << static_cast<DWORD>(m_mode.size());
    if (!m_mode.empty()) ar.Write(m_mode.data(), static_cast<UINT>(m_mode.size()));
    return;
  }
  WORD schema = 0;
  ar >> schema;
  if (schema != 1) gx::ThrowBadSchema();
  std::vector<BYTE> names, mode;
  ReadBlock(ar, names);
  ReadBlock(ar, mode);
  SetDeviceInfo(names.data(), names.size(), mode.data(), mode.size());
}
