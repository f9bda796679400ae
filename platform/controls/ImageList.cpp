#include "platform/controls/ImageList.h"

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "platform/gdi/SysColors.h"

struct ImageListTag {
  int cx = 16, cy = 16;
  UINT flags = 0;
  // Per image, cx*cy colours; CLR_NONE marks a transparent pixel.
  std::vector<std::vector<COLORREF>> images;
};

namespace {

std::set<HIMAGELIST>& Live() {
  static std::set<HIMAGELIST> live;
  return live;
}

ImageListTag* Find(HIMAGELIST list) { return list && Live().count(list) ? list : nullptr; }

// Reads a bitmap's pixels through a memory DC.
bool ReadPixels(HBITMAP bitmap, int* width, int* height, std::vector<COLORREF>* out) {
  BITMAP bm{};
  if (!bitmap || !GetObject(bitmap, sizeof(bm), &bm)) return false;
  *width = bm.bmWidth;
  *height = bm.bmHeight;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  out->resize(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int x = 0; x < bm.bmWidth; ++x)
      (*out)[static_cast<size_t>(y) * static_cast<size_t>(bm.bmWidth) + static_cast<size_t>(x)] = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return true;
}

template <class Transparent>
int AddStrip(ImageListTag* list, HBITMAP image, Transparent transparent) {
  int w = 0, h = 0;
  std::vector<COLORREF> pixels;
  if (!ReadPixels(image, &w, &h, &pixels)) return -1;
  const int first = static_cast<int>(list->images.size());
  for (int i = 0; (i + 1) * list->cx <= w; ++i) {
    std::vector<COLORREF> img(static_cast<size_t>(list->cx) * static_cast<size_t>(list->cy), CLR_NONE);
    for (int y = 0; y < std::min(h, list->cy); ++y)
      for (int x = 0; x < list->cx; ++x) {
        const int sx = i * list->cx + x;
        const COLORREF c = pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(sx)];
        if (!transparent(sx, y, c))
          img[static_cast<size_t>(y) * static_cast<size_t>(list->cx) + static_cast<size_t>(x)] = c;
      }
    list->images.push_back(std::move(img));
  }
  return static_cast<int>(list->images.size()) > first ? first : -1;
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int) {
  if (cx <= 0 || cy <= 0) return nullptr;
  auto* list = new ImageListTag;
  list->cx = cx;
  list->cy = cy;
  list->flags = flags;
  Live().insert(list);
  return list;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
  ImageListTag* l = Find(list);
  if (!l) return FALSE;
  Live().erase(l);
  delete l;
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST list) {
  ImageListTag* l = Find(list);
  return l ? static_cast<int>(l->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
  ImageListTag* l = Find(list);
  if (!l || !cx || !cy) return FALSE;
  *cx = l->cx;
  *cy = l->cy;
  return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  ImageListTag* l = Find(list);
  if (!l) return -1;
  int mw = 0, mh = 0;
  std::vector<COLORREF> maskPixels;
  const bool useMask = (l->flags & ILC_MASK) && ReadPixels(mask, &mw, &mh, &maskPixels);
  return AddStrip(l, image, [&](int x, int y, COLORREF) {
    if (!useMask || x >= mw || y >= mh) return false;
    return maskPixels[static_cast<size_t>(y) * static_cast<size_t>(mw) + static_cast<size_t>(x)] == RGB(255, 255, 255);
  });
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask) {
  ImageListTag* l = Find(list);
  if (!l) return -1;
  return AddStrip(l, image, [&](int, int, COLORREF c) { return c == mask; });
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
  ImageListTag* l = Find(list);
  if (!l) return FALSE;
  if (index == -1) {
    l->images.clear();
    return TRUE;
  }
  if (index < 0 || index >= static_cast<int>(l->images.size())) return FALSE;
  l->images.erase(l->images.begin() + index);
  return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  ImageListTag* l = Find(list);
  if (!l || !dc || index < 0 || index >= static_cast<int>(l->images.size())) return FALSE;
  const auto& img = l->images[static_cast<size_t>(index)];
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  for (int j = 0; j < l->cy; ++j)
    for (int i = 0; i < l->cx; ++i) {
      COLORREF c = img[static_cast<size_t>(j) * static_cast<size_t>(l->cx) + static_cast<size_t>(i)];
      if (c == CLR_NONE) continue;
      // A selected image is blended half-way towards the highlight colour.
      if (style & ILD_SELECTED)
        c = RGB((GetRValue(c) + GetRValue(highlight)) / 2, (GetGValue(c) + GetGValue(highlight)) / 2,
                (GetBValue(c) + GetBValue(highlight)) / 2);
      SetPixelV(dc, x + i, y + j, c);
    }
  return TRUE;
}
