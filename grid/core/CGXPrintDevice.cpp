#include "grid/core/CGXPrintDevice.h"

#include "grid/core/gxarchive.h"
#include "platform/base/CArchive.h"

IMPLEMENT_SERIAL(CGXPrintDevice, CObject, 1)

CGXPrintDevice& CGXPrintDevice::operator=(const CGXPrintDevice& other) {
  if (this != &other) SetDeviceInfo(other.m_names.data(), other.m_names.size(), other.m_mode.data(), other.m_mode.size());
  return *this;
}

void CGXPrintDevice::SetDeviceInfo(const BYTE* names, std::size_t namesSize, const BYTE* mode, std::size_t modeSize) {
  std::vector<BYTE> n(names && namesSize ? names : nullptr, names && namesSize ? names + namesSize : nullptr);
  std::vector<BYTE> m(mode && modeSize ? mode : nullptr, mode && modeSize ? mode + modeSize : nullptr);
  m_names = std::move(n);
  m_mode = std::move(m);
}

void CGXPrintDevice::FreeDevice() {
  m_names.clear();
  m_mode.clear();
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
