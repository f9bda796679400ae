// A button made of up to three bitmaps (normal, pressed, focus) in global-memory DIBs, drawn unscaled at its
// rectangle's top-left corner. With only the normal bitmap, pressing shows no change and is not redrawn.
#pragma once

#include "grid/controls/CGXButton.h"

class CGXBitmapButtonChild : public CGXButton {
 public:
  using CGXButton::CGXButton;
  ~CGXBitmapButtonChild() override;

  // Loads the bitmap resources (0 = none; the normal one is required), freeing the previous ones. TRUE only
  // when every requested bitmap loaded; a resource that is no sound DIB counts as missing.
  BOOL LoadBitmaps(UINT normal, UINT pressed = 0, UINT focus = 0);
  // The pressed bitmap while pressed (else the normal one), the focus bitmap while the owner's active child
  // (else the normal one); the active flag is not consulted.
  void Draw(CDC* dc, BOOL active) override;
  // The largest width and height of the three bitmaps (a missing one counts 0 by 0).
  virtual CSize GetBitmapSize() const;
  BOOL HasFocusBitmap() const { return m_hFocus != nullptr; }

 private:
  void FreeBitmaps();

  HGLOBAL m_hNormal = nullptr;
  HGLOBAL m_hPressed = nullptr;
  HGLOBAL m_hFocus = nullptr;
};
