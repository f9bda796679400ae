#include "grid/core/CGXDIB.h"

#include <algorithm>
#include <cstring>

#include "platform/base/GlobalMemory.h"
#include "platform/base/ResourceTable.h"
#include "platform/gdi/CDC.h"

IMPLEMENT_DYNCREATE(CGXDIB, CObject)

UINT GetDibColorCount(const BITMAPINFOHEADER& h) {
  if (h.biClrUsed) return h.biClrUsed;
  switch (h.biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

namespace gx {

bool InspectDib(const void* block, std::size_t size, DibInfo& info) {
  if (!block || size < sizeof(BITMAPINFOHEADER)) return false;
  std::memcpy(&info.header, block, sizeof info.header);
  const BITMAPINFOHEADER& h = info.header;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > size || h.biWidth <= 0 || h.biHeight == 0) return false;
  if (h.biBitCount == 0 || h.biBitCount > 32 || h.biWidth > 0x7FFF || h.biHeight > 0x7FFF || h.biHeight < -0x7FFF)
    return false;
  const UINT colors = GetDibColorCount(h);
  if (colors > 256) return false;
  info.colors = colors;
  info.bitsOffset = h.biSize + static_cast<std::size_t>(colors) * 4 +
                    (h.biCompression == 3 /* BI_BITFIELDS */ && h.biSize == 40 ? 12 : 0);
  // Uncompressed rows are padded to four bytes; the block must hold every row.
  const std::size_t stride = ((static_cast<std::size_t>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
  const std::size_t rows = static_cast<std::size_t>(h.biHeight < 0 ? -h.biHeight : h.biHeight);
  const std::size_t needed = h.biCompression == 0 || h.biCompression == 3 ? stride * rows : h.biSizeImage;
  return info.bitsOffset <= size && needed <= size - info.bitsOffset;
}

std::vector<BYTE> MakeDib24(int width, int height, const std::function<COLORREF(int x, int y)>& colour) {
  BITMAPINFOHEADER hdr{};
  hdr.biSize = sizeof hdr;
  hdr.biWidth = width;
  hdr.biHeight = height;
  hdr.biPlanes = 1;
  hdr.biBitCount = 24;
  const std::size_t stride = ((static_cast<std::size_t>(width) * 24 + 31) / 32) * 4;
  std::vector<BYTE> out(sizeof hdr + stride * static_cast<std::size_t>(height), 0);
  std::memcpy(out.data(), &hdr, sizeof hdr);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      BYTE* p = out.data() + sizeof hdr + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3;
      const COLORREF c = colour(x, y);
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  return out;
}

}  // namespace gx

HGLOBAL LoadDibResource(HINSTANCE module, LPCSTR name) {
  HRSRC res = FindResource(module, name, RT_BITMAP);
  if (!res) return nullptr;
  HGLOBAL loaded = LoadResource(module, res);
  if (!loaded) return nullptr;
  const DWORD size = SizeofResource(module, res);
  const void* bytes = LockResource(loaded);
  HGLOBAL copy = bytes && size ? GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size) : nullptr;
  if (copy) {
    if (void* dst = GlobalLock(copy)) {
      std::memcpy(dst, bytes, size);
      GlobalUnlock(copy);
    } else {
      copy = GlobalFree(copy);
    }
  }
  FreeResource(loaded);
  return copy;
}

HGLOBAL LoadDibResourceAnyModule(LPCSTR name) {
  if (HGLOBAL h = LoadDibResource(AfxGetResourceHandle(), name)) return h;
  if (HGLOBAL h = LoadDibResource(AfxGetInstanceHandle(), name)) return h;
  return LoadDibResource(plat::ResourceTable::ModuleHandle("grid"), name);
}

void CGXDIB::Release() {
  if (m_hDIB) GlobalFree(m_hDIB);
  m_hDIB = nullptr;
  m_nColors = 0;
  m_nWidth = m_nHeight = 0;
}

BOOL CGXDIB::Attach(HGLOBAL dib) {
  Release();
  if (!dib) return FALSE;
  gx::DibInfo info;
  const void* p = GlobalLock(dib);
  const bool ok = gx::InspectDib(p, GlobalSize(dib), info);
  GlobalUnlock(dib);
  if (!ok) return FALSE;
  m_hDIB = dib;
  m_nColors = info.colors;
  m_nWidth = info.header.biWidth;
  m_nHeight = info.header.biHeight < 0 ? -info.header.biHeight : info.header.biHeight;
  return TRUE;
}

HGLOBAL CGXDIB::Detach() {
  HGLOBAL h = m_hDIB;
  m_hDIB = nullptr;
  m_nColors = 0;
  m_nWidth = m_nHeight = 0;
  return h;
}

void CGXDIB::Draw(CDC* pDC, HGLOBAL dib, const RECT* dest, UINT mode, BYTE align, const RECT* srcRect) {
  if (!pDC || !dib || !dest) return;
  const auto* block = static_cast<const BYTE*>(GlobalLock(dib));
  gx::DibInfo info;
  if (!gx::InspectDib(block, GlobalSize(dib), info)) {
    if (block) GlobalUnlock(dib);
    return;
  }
  const LONG width = info.header.biWidth;
  const LONG height = info.header.biHeight < 0 ? -info.header.biHeight : info.header.biHeight;
  RECT src = srcRect ? *srcRect : RECT{0, 0, width, height};
  RECT dst = *dest;
  const LONG dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  const LONG sw = src.right - src.left, sh = src.bottom - src.top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) {
    GlobalUnlock(dib);
    return;
  }
  auto placeH = [&](LONG w) {
    const LONG free = dw - w;
    dst.left += (align & hRight) ? free : (align & hCenter) ? free / 2 : 0;
    dst.right = dst.left + w;
  };
  auto placeV = [&](LONG h) {
    const LONG free = dh - h;
    dst.top += (align & vBottom) ? free : (align & vCenter) ? free / 2 : 0;
    dst.bottom = dst.top + h;
  };
  if (mode == natural) {
    if (sw < dw)
      placeH(sw);
    else
      src.right = src.left + dw;
    if (sh < dh) {
      placeV(sh);
    } else if (align & vBottom) {
      src.bottom = src.top + dh;  // DIB rows count from the bottom: the bottom rows
    } else {
      src.top = src.bottom - dh;  // the top rows
    }
  } else if (mode == scaleToFit) {
    const long long rx = 1000LL * dw / sw, ry = 1000LL * dh / sh;
    const long long r = std::min(rx, ry);
    placeH(static_cast<LONG>(sw * r / 1000));
    placeV(static_cast<LONG>(sh * r / 1000));
  }
  ::StretchDIBits(pDC->m_hDC, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, src.left, src.top,
                  src.right - src.left, src.bottom - src.top, block + info.bitsOffset,
                  reinterpret_cast<const BITMAPINFO*>(block), DIB_RGB_COLORS, SRCCOPY);
  GlobalUnlock(dib);
}
