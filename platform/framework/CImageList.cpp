#include "platform/framework/CImageList.h"

#include <map>

#include "platform/base/ResourceTable.h"
#include "platform/controls/ImageList.h"
#include "platform/gdi/CDC.h"

namespace {

// The pixels of a bitmap, read through a memory DC; false when it cannot be selected.
bool ReadPixels(HBITMAP bitmap, std::vector<COLORREF>& out, int& width, int& height) {
  BITMAP info{};
  if (!bitmap || !::GetObject(bitmap, sizeof info, &info)) return false;
  width = info.bmWidth;
  height = info.bmHeight;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  if (!old) {
    ::DeleteDC(dc);
    return false;
  }
  out.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out[static_cast<std::size_t>(y * width + x)] = ::GetPixel(dc, x, y) & 0x00FFFFFF;
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return true;
}

std::map<HIMAGELIST, CImageList*>& Handles() {
  static std::map<HIMAGELIST, CImageList*> handles;
  return handles;
}

// A colour that no opaque pixel of the image uses, to stand for its transparent pixels.
COLORREF KeyColour(const std::vector<COLORREF>& pixels, const std::vector<bool>& transparent) {
  for (COLORREF key = RGB(255, 0, 255);; key = (key + 1) & 0x00FFFFFF) {
    bool used = false;
    for (std::size_t i = 0; i < pixels.size() && !used; ++i) used = !transparent[i] && pixels[i] == key;
    if (!used) return key;
  }
}

}  // namespace

CImageList::~CImageList() { DestroyHandle(); }

CImageList* CImageList::FromHandlePermanent(HIMAGELIST hImageList) {
  auto it = Handles().find(hImageList);
  return it == Handles().end() ? nullptr : it->second;
}

HIMAGELIST CImageList::GetSafeHandle() const {
  if (!created_) return nullptr;
  if (!handle_) {
    handle_ = ::ImageList_Create(cx_, cy_, ILC_COLOR24 | (masked_ ? ILC_MASK : 0), GetImageCount(), grow_);
    if (!handle_) return nullptr;
    Handles()[handle_] = const_cast<CImageList*>(this);
    SyncHandle();
  }
  return handle_;
}

// Refills the handle's list from the images, each through a bitmap with a key colour for its transparent pixels.
void CImageList::SyncHandle() const {
  if (!handle_) return;
  ::ImageList_Remove(handle_, -1);
  HDC dc = ::CreateCompatibleDC(nullptr);
  for (const Image& image : images_) {
    HBITMAP bitmap = ::CreateBitmap(cx_, cy_, 1, 32, nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const COLORREF key = KeyColour(image.pixels, image.transparent);
    for (int y = 0; y < cy_; ++y)
      for (int x = 0; x < cx_; ++x) {
        const std::size_t i = static_cast<std::size_t>(y * cx_ + x);
        ::SetPixel(dc, x, y, image.transparent[i] ? key : image.pixels[i]);
      }
    ::SelectObject(dc, old);
    ::ImageList_AddMasked(handle_, bitmap, key);
    ::DeleteObject(bitmap);
  }
  ::DeleteDC(dc);
}

void CImageList::DestroyHandle() {
  if (!handle_) return;
  Handles().erase(handle_);
  ::ImageList_Destroy(handle_);
  handle_ = nullptr;
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
  if (cx <= 0 || cy <= 0 || nInitial < 0) return FALSE;
  DeleteImageList();
  cx_ = cx;
  cy_ = cy;
  grow_ = nGrow > 0 ? nGrow : 1;
  masked_ = (nFlags & ILC_MASK) != 0;
  capacity_ = static_cast<std::size_t>(nInitial);
  images_.reserve(capacity_);
  created_ = true;
  return TRUE;
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
  return Create(MAKEINTRESOURCE(nBitmapID), cx, nGrow, crMask);
}

BOOL CImageList::Create(LPCSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask) {
  CBitmap strip;
  if (!strip.LoadBitmap(lpszBitmapID)) return FALSE;
  BITMAP info{};
  strip.GetBitmap(&info);
  if (cx <= 0 || info.bmWidth < cx) return FALSE;
  if (!Create(cx, info.bmHeight, crMask != CLR_NONE ? ILC_MASK | ILC_COLOR24 : ILC_COLOR24, info.bmWidth / cx, nGrow))
    return FALSE;
  return Add(&strip, crMask) >= 0;
}

BOOL CImageList::DeleteImageList() {
  const bool was = created_;
  DestroyHandle();
  images_.clear();
  capacity_ = 0;
  created_ = false;
  return was;
}

int CImageList::AddPixels(const std::vector<COLORREF>& pixels, const std::vector<bool>* maskBits, COLORREF maskColour,
                          int width, int height) {
  if (!created_ || height < cy_ || width < cx_) return -1;
  const int first = GetImageCount();
  for (int left = 0; left + cx_ <= width; left += cx_) {
    Image image;
    image.pixels.resize(static_cast<std::size_t>(cx_ * cy_));
    image.transparent.assign(static_cast<std::size_t>(cx_ * cy_), false);
    for (int y = 0; y < cy_; ++y)
      for (int x = 0; x < cx_; ++x) {
        const std::size_t from = static_cast<std::size_t>(y * width + left + x);
        const std::size_t to = static_cast<std::size_t>(y * cx_ + x);
        image.pixels[to] = pixels[from];
        if (masked_) image.transparent[to] = maskBits ? (*maskBits)[from] : pixels[from] == (maskColour & 0x00FFFFFF);
      }
    if (images_.size() == capacity_) {
      capacity_ += static_cast<std::size_t>(grow_);
      images_.reserve(capacity_);
    }
    images_.push_back(std::move(image));
  }
  SyncHandle();
  return first;
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) {
  std::vector<COLORREF> pixels;
  int w = 0, h = 0;
  if (!pbmImage || !ReadPixels(static_cast<HBITMAP>(pbmImage->m_hObject), pixels, w, h)) return -1;
  return AddPixels(pixels, nullptr, crMask == CLR_NONE ? 0xFFFFFFFF : crMask, w, h);
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) {
  std::vector<COLORREF> pixels, mask;
  int w = 0, h = 0, mw = 0, mh = 0;
  if (!pbmImage || !ReadPixels(static_cast<HBITMAP>(pbmImage->m_hObject), pixels, w, h)) return -1;
  std::vector<bool> bits;
  if (pbmMask && ReadPixels(static_cast<HBITMAP>(pbmMask->m_hObject), mask, mw, mh) && mw == w && mh == h) {
    bits.resize(mask.size());
    for (std::size_t i = 0; i < mask.size(); ++i) bits[i] = mask[i] != 0;  // white (1) bits are transparent
    return AddPixels(pixels, &bits, 0, w, h);
  }
  return AddPixels(pixels, nullptr, 0xFFFFFFFF, w, h);
}

BOOL CImageList::Remove(int nImage) {
  if (nImage == -1) {
    images_.clear();
    SyncHandle();
    return created_;
  }
  if (nImage < 0 || nImage >= GetImageCount()) return FALSE;
  images_.erase(images_.begin() + nImage);
  SyncHandle();
  return TRUE;
}

BOOL CImageList::GetImageSize(SIZE* size) const {
  if (!created_ || !size) return FALSE;
  *size = SIZE{cx_, cy_};
  return TRUE;
}

COLORREF CImageList::SetBkColor(COLORREF cr) {
  COLORREF old = background_;
  background_ = cr;
  return old;
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) {
  if (!pDC || nImage < 0 || nImage >= GetImageCount()) return FALSE;
  const Image& image = images_[static_cast<std::size_t>(nImage)];
  const bool transparent = (nStyle & ILD_TRANSPARENT) || background_ == CLR_NONE;
  for (int y = 0; y < cy_; ++y)
    for (int x = 0; x < cx_; ++x) {
      const std::size_t i = static_cast<std::size_t>(y * cx_ + x);
      COLORREF colour = image.pixels[i];
      if (nStyle & ILD_MASK) {
        colour = image.transparent[i] ? RGB(255, 255, 255) : RGB(0, 0, 0);
      } else if (image.transparent[i]) {
        if (transparent) continue;
        colour = background_;
      }
      ::SetPixelV(pDC->m_hDC, pt.x + x, pt.y + y, colour);
    }
  return TRUE;
}
