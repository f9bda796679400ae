// CImageList: a row of equal-sized images with an optional transparency mask, drawn into any DC.
//
// Images are kept as pixels (colour plus "transparent" bit), not as GDI bitmaps: adding reads the bitmap's
// pixels once, drawing writes the opaque ones. A strip bitmap added with a mask colour (the module's strips
// use magenta 0xFF00FF) gives one image per cx pixels; pixels of the mask colour become transparent. The list
// grows by nGrow images when full (capacity only: the count is what was added).
#pragma once

#include <vector>

#include "platform/base/CObject.h"
#include "platform/base/geometry.h"
#include "platform/controls/winctrl.h"  // ILC_*, ILD_*, CLR_NONE, CLR_DEFAULT

class CDC;
class CBitmap;

constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILD_MASK = 0x0010;

class CImageList : public CObject {
 public:
  CImageList() = default;
  ~CImageList() override;
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  // From a bitmap strip in the resource table.
  BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
  BOOL Create(LPCSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask);
  BOOL DeleteImageList();
  // Adds every cx-wide image of the bitmap; the index of the first, -1 on failure.
  int Add(CBitmap* pbmImage, COLORREF crMask);
  int Add(CBitmap* pbmImage, CBitmap* pbmMask);
  BOOL Remove(int nImage);  // -1 removes all
  int GetImageCount() const { return static_cast<int>(images_.size()); }
  BOOL GetImageSize(SIZE* size) const;
  COLORREF SetBkColor(COLORREF cr);
  COLORREF GetBkColor() const { return background_; }
  // ILD_TRANSPARENT (or a CLR_NONE background) leaves the masked pixels alone; ILD_NORMAL paints them in the
  // background colour; ILD_MASK draws the mask (black opaque, white transparent).
  BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
  BOOL IsValid() const { return created_; }

  // The images as a handle the controls take (tree view, tab control): made on the first request, kept in step
  // with later additions and removals, destroyed with the list. Null before Create.
  HIMAGELIST GetSafeHandle() const;
  // The list object that made a handle, or null for handles made elsewhere.
  static CImageList* FromHandlePermanent(HIMAGELIST hImageList);

 private:
  struct Image {
    std::vector<COLORREF> pixels;
    std::vector<bool> transparent;
  };
  int AddPixels(const std::vector<COLORREF>& pixels, const std::vector<bool>* maskBits, COLORREF maskColour,
                int width, int height);

  bool created_ = false;
  bool masked_ = false;
  int cx_ = 0, cy_ = 0, grow_ = 1;
  std::size_t capacity_ = 0;
  COLORREF background_ = CLR_NONE;
  std::vector<Image> images_;
  mutable HIMAGELIST handle_ = nullptr;
  void SyncHandle() const;
  void DestroyHandle();
};
