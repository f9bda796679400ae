#include "foundation/ButtonBitmap.h"

#include <cstring>
#include <string>
#include <vector>

#include "foundation/StyleColors.h"
#include "platform/base/ResourceTable.h"
#include "platform/gdi/SysColors.h"
#include "platform/window/windowapi.h"

namespace foundation {
namespace {

constexpr UINT kDownArrowBitmap = 23000;
constexpr UINT kRightArrowBitmap = 23001;
constexpr UINT kOtherCaption = 23100;

void RegisterOwnResources() {
  // '#' black, '.' light grey (which becomes the button face).
  static const RGBQUAD palette[] = {{0, 0, 0, 0}, {192, 192, 192, 0}};
  static const std::vector<BYTE> down = MakePackedDib4({"#######", ".#####.", "..###..", "...#..."}, "#.", palette);
  static const std::vector<BYTE> right =
      MakePackedDib4({"#...", "##..", "###.", "####", "###.", "##..", "#..."}, "#.", palette);
  static const bool once = [] {
    const HINSTANCE m = plat::ResourceTable::ModuleHandle("foundation");
    plat::ResourceTable::AddResource(m, RT_BITMAP, MAKEINTRESOURCE(kDownArrowBitmap), down);
    plat::ResourceTable::AddResource(m, RT_BITMAP, MAKEINTRESOURCE(kRightArrowBitmap), right);
    plat::ResourceTable::AddString(m, kOtherCaption, "&Other...");
    return true;
  }();
  (void)once;
}

// The bytes of a packed bitmap resource, or an empty span.
std::span<const BYTE> FindBitmapResource(LPCSTR name, HINSTANCE fallback) {
  RegisterOwnResources();
  for (HINSTANCE module : {AfxFindResourceHandle(name, RT_BITMAP), fallback, FoundationModule()}) {
    if (!module) continue;
    HRSRC found = FindResource(module, name, RT_BITMAP);
    if (!found) continue;
    HGLOBAL loaded = LoadResource(module, found);
    const auto* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!bytes) return {};
    return {bytes, SizeofResource(module, found)};
  }
  return {};
}

// The size of the colour table and the pixel rows, or false when the packed bitmap is not one the buttons use
// or does not fit its resource.
bool CheckPackedBitmap(std::span<const BYTE> dib, std::size_t& colours, std::size_t& bitsSize) {
  if (dib.size() < sizeof(BITMAPINFOHEADER)) return false;
  BITMAPINFOHEADER h;
  std::memcpy(&h, dib.data(), sizeof h);
  if (h.biSize != sizeof(BITMAPINFOHEADER)) return false;
  if (h.biBitCount != 1 && h.biBitCount != 4 && h.biBitCount != 8) return false;
  if (h.biCompression != BI_RGB || h.biPlanes != 1) return false;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > 0x7FFF || h.biHeight > 0x7FFF || h.biHeight < -0x7FFF)
    return false;
  const std::size_t maxColours = std::size_t{1} << h.biBitCount;
  if (h.biClrUsed > maxColours) return false;
  colours = h.biClrUsed ? h.biClrUsed : maxColours;
  const std::size_t stride = ((static_cast<std::size_t>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
  bitsSize = stride * static_cast<std::size_t>(h.biHeight < 0 ? -h.biHeight : h.biHeight);
  return sizeof h + colours * sizeof(RGBQUAD) + bitsSize <= dib.size();
}

struct MemoryDc {
  explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
  ~MemoryDc() {
    if (dc && old) SelectObject(dc, old);
    if (dc) DeleteDC(dc);
    if (bitmap) DeleteObject(bitmap);
  }
  bool Make(HDC like, int cx, int cy, bool mono = false) {
    if (!dc) return false;
    bitmap = mono ? CreateBitmap(cx, cy, 1, 1, nullptr) : CreateCompatibleBitmap(like, cx, cy);
    if (!bitmap) return false;
    old = SelectObject(dc, bitmap);
    return true;
  }
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
};

// The colour the source bitmap really stores for `colour` (its device form).
COLORREF DeviceForm(HDC dc, COLORREF colour) {
  const COLORREF kept = GetPixel(dc, 0, 0);
  const COLORREF device = SetPixel(dc, 0, 0, colour);
  SetPixel(dc, 0, 0, kept);
  return device;
}

}  // namespace

std::vector<BYTE> MakePackedDib4(const std::vector<std::string_view>& rows, std::string_view key,
                                 std::span<const RGBQUAD> palette) {
  const std::size_t h = rows.size();
  const std::size_t w = h ? rows[0].size() : 0;
  if (w == 0 || key.size() > 16 || palette.size() > 16) return {};
  for (std::string_view row : rows)
    if (row.size() != w) return {};
  const std::size_t stride = ((w * 4 + 31) / 32) * 4;
  std::vector<BYTE> dib(40 + 16 * 4 + stride * h, 0);
  const BITMAPINFOHEADER header{40, static_cast<LONG>(w), static_cast<LONG>(h), 1, 4, BI_RGB,
                                static_cast<DWORD>(stride * h), 0, 0, 16, 0};
  std::memcpy(dib.data(), &header, sizeof header);
  std::memcpy(dib.data() + 40, palette.data(), palette.size() * sizeof(RGBQUAD));
  BYTE* bits = dib.data() + 40 + 64;
  for (std::size_t y = 0; y < h; ++y) {
    const std::string_view row = rows[h - 1 - y];  // bottom-up
    for (std::size_t x = 0; x < w; ++x) {
      const std::size_t found = key.find(row[x]);
      if (found == std::string_view::npos) return {};
      const BYTE index = static_cast<BYTE>(found);
      bits[y * stride + x / 2] |= static_cast<BYTE>(x % 2 ? index : index << 4);
    }
  }
  return dib;
}

HDC ScreenDC() {
  // The display's information DC: bitmaps compatible with it have the screen's colour depth.
  static HDC screen = CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  return screen;
}

HINSTANCE FoundationModule() {
  RegisterOwnResources();
  return plat::ResourceTable::ModuleHandle("foundation");
}

CString LoadFoundationString(UINT id) {
  CString text;
  if (text.LoadString(id)) return text;
  if (const std::string_view* own = plat::ResourceTable::FindString(FoundationModule(), id)) return CString(*own);
  return text;
}

}  // namespace foundation

BOOL LoadButtonBitmap(CBitmap& bitmap, LPCSTR name, HINSTANCE fallback) {
  bitmap.DeleteObject();
  const std::span<const BYTE> dib = foundation::FindBitmapResource(name, fallback);
  std::size_t colours = 0, bitsSize = 0;
  if (dib.empty() || !foundation::CheckPackedBitmap(dib, colours, bitsSize)) return FALSE;

  // 1. Header and colour table copied, the four reference colours replaced by today's system colours.
  const std::size_t infoSize = sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD);
  std::vector<BYTE> info(dib.begin(), dib.begin() + static_cast<std::ptrdiff_t>(infoSize));
  for (std::size_t i = 0; i < colours; ++i) {
    BYTE* entry = info.data() + sizeof(BITMAPINFOHEADER) + i * sizeof(RGBQUAD);
    for (const SECBitmapColorMap& map : GetBitmapColorMap()) {
      const BYTE reference[4] = {GetBValue(map.reference), GetGValue(map.reference), GetRValue(map.reference), 0};
      if (std::memcmp(entry, reference, 4) != 0) continue;
      const COLORREF now = GetSysColor(map.sysColor);
      entry[0] = GetBValue(now);
      entry[1] = GetGValue(now);
      entry[2] = GetRValue(now);
      entry[3] = 0;
      break;
    }
  }
  BITMAPINFOHEADER header;
  std::memcpy(&header, info.data(), sizeof header);
  const int w = header.biWidth;
  const int h = header.biHeight < 0 ? -header.biHeight : header.biHeight;

  // 2. A screen-compatible bitmap drawn from the pixel rows through the modified table.
  HDC screen = foundation::ScreenDC();
  const BOOL made = bitmap.Attach(CreateCompatibleBitmap(screen, w, h));
  HDC memory = made ? CreateCompatibleDC(screen) : nullptr;
  if (!made) return FALSE;
  if (!memory) return FALSE;  // a bitmap without content, as when the DC cannot be had
  HGDIOBJ old = SelectObject(memory, bitmap.m_hObject);
  StretchDIBits(memory, 0, 0, w, h, 0, 0, w, h, dib.data() + infoSize, reinterpret_cast<const BITMAPINFO*>(info.data()),
                DIB_RGB_COLORS, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  return TRUE;
}

void DrawBitmapTransparent(CDC* dst, int x, int y, int cx, int cy, CDC* src, int sx, int sy, COLORREF transparent,
                           BOOL highlight) {
  if (!dst || !src || cx <= 0 || cy <= 0) return;
  foundation::MemoryDc work(dst->m_hDC), copy(dst->m_hDC);
  if (!work.Make(dst->m_hDC, cx, cy) || !copy.Make(dst->m_hDC, cx, cy)) return;
  BitBlt(work.dc, 0, 0, cx, cy, dst->m_hDC, x, y, SRCCOPY);
  BitBlt(copy.dc, 0, 0, cx, cy, src->m_hDC, sx, sy, SRCCOPY);
  const COLORREF device = foundation::DeviceForm(copy.dc, transparent);
  for (int row = 0; row < cy; ++row) {
    for (int col = 0; col < cx; ++col) {
      COLORREF pixel = GetPixel(copy.dc, col, row);
      if (pixel == device) continue;
      if (highlight) {
        const unsigned l = 77u * GetRValue(pixel) + 153u * GetGValue(pixel) + 26u * GetBValue(pixel);
        if (l > 64768) pixel = RGB(0, 0, 0);
        else if (l < 25600) pixel = RGB(255, 255, 255);
        pixel = LightenColor(pixel, 32);
      }
      SetPixel(work.dc, col, row, pixel);
    }
  }
  BitBlt(dst->m_hDC, x, y, cx, cy, work.dc, 0, 0, SRCCOPY);
}

void DrawBitmapDisabled(CDC* dst, int x, int y, int cx, int cy, CDC* src, int sx, int sy, COLORREF transparent,
                        COLORREF fill) {
  if (!dst || !src || cx <= 0 || cy <= 0) return;
  foundation::MemoryDc work(dst->m_hDC), copy(dst->m_hDC), mask(dst->m_hDC);
  if (!work.Make(dst->m_hDC, cx, cy) || !copy.Make(dst->m_hDC, cx, cy) || !mask.Make(dst->m_hDC, cx, cy, true))
    return;
  PatBlt(work.dc, 0, 0, cx, cy, BLACKNESS);
  BitBlt(copy.dc, 0, 0, cx, cy, src->m_hDC, sx, sy, SRCCOPY);
  const COLORREF device = foundation::DeviceForm(copy.dc, transparent);
  const COLORREF white = RGB(255, 255, 255);
  for (int row = 0; row < cy; ++row) {
    for (int col = 0; col < cx; ++col) {
      const COLORREF pixel = GetPixel(copy.dc, col, row);
      if (pixel == device) {
        SetPixel(work.dc, col, row, white);
      } else if ((pixel & 0xFFFFFF) != 0) {
        const unsigned l = 26u * GetBValue(pixel) + 153u * GetGValue(pixel) + 77u * GetRValue(pixel);
        SetPixel(work.dc, col, row, l < 46081 ? RGB(0, 0, 0) : white);
      }
    }
  }
  // White work pixels become 1 in the mask, the dark ones 0.
  SetBkColor(work.dc, white);
  BitBlt(mask.dc, 0, 0, cx, cy, work.dc, 0, 0, SRCCOPY);
  // Mask 0 shows as the text colour (white: the brush), 1 as the background (black: the destination).
  HBRUSH brush = CreateSolidBrush(fill);
  HGDIOBJ oldBrush = SelectObject(dst->m_hDC, brush);
  const COLORREF oldText = SetTextColor(dst->m_hDC, white);
  const COLORREF oldBk = SetBkColor(dst->m_hDC, RGB(0, 0, 0));
  BitBlt(dst->m_hDC, x, y, cx, cy, mask.dc, 0, 0, 0x00E20746);
  SetBkColor(dst->m_hDC, oldBk);
  SetTextColor(dst->m_hDC, oldText);
  SelectObject(dst->m_hDC, oldBrush);
  DeleteObject(brush);
}
