// SECBitmapButton: an owner-draw button with a bitmap in the current system colours beside, above, below or
// instead of its caption.
//
// Alignment modes: 0 bitmap left of the caption, 1 right of it, 2 above, 3 below, 4 centred without caption.
// Attaching to a dialog item keeps the item's size (SizeToContent sizes on request only).
#pragma once

#include "foundation/SECOwnerDrawButton.h"

constexpr UINT SEC_BMP_LEFT = 0;
constexpr UINT SEC_BMP_RIGHT = 1;
constexpr UINT SEC_BMP_TOP = 2;
constexpr UINT SEC_BMP_BOTTOM = 3;
constexpr UINT SEC_BMP_ONLY = 4;

class SECBitmapButton : public SECOwnerDrawButton {
 public:
  SECBitmapButton() = default;
  ~SECBitmapButton() override = default;

  using SECOwnerDrawButton::AttachButton;
  using SECOwnerDrawButton::Create;
  virtual BOOL AttachButton(UINT nID, UINT nAlign, LPCSTR lpszBitmap, CWnd* pParent, DWORD nExtStyle = 0);
  virtual BOOL AttachButton(UINT nID, UINT nAlign, UINT nBitmapID, CWnd* pParent, DWORD nExtStyle = 0);
  virtual BOOL Create(LPCSTR lpszCaption, DWORD dwStyle, UINT nAlign, UINT nBitmapID, const RECT& rect,
                      CWnd* pParent, UINT nID, DWORD nExtStyle = 0);
  virtual BOOL Create(LPCSTR lpszCaption, DWORD dwStyle, UINT nAlign, LPCSTR lpszBitmap, const RECT& rect,
                      CWnd* pParent, UINT nID, DWORD nExtStyle = 0);
  virtual void CalcLayout();

  void DrawFocusFrame(CDC* pDC, CRect rect) override;
  void DrawContent(CDC* pDC, LPDRAWITEMSTRUCT lpDIS, CRect interior) override;

  BOOL SetBitmap(LPCSTR lpszBitmap);
  BOOL SetBitmap(UINT nBitmapID) { return SetBitmap(MAKEINTRESOURCE(nBitmapID)); }
  void SetMargins(int cx, int cy);
  CSize GetMargins() const { return CSize(m_cxMargin, m_cyMargin); }
  void SizeToContent();

  UINT GetAlignment() const { return m_nAlign; }
  const CRect& GetBitmapRect() const { return m_rcBitmap; }
  const CRect& GetTextRect() const { return m_rcText; }
  CBitmap& GetBitmap() { return m_bitmap; }

 protected:
  // A resource name as given: a text, or an integer id in MAKEINTRESOURCE form.
  class ResourceName {
   public:
    void Set(LPCSTR name);
    LPCSTR Get() const { return m_id ? MAKEINTRESOURCE(m_id) : (m_text.IsEmpty() ? nullptr : (LPCSTR)m_text); }

   private:
    UINT m_id = 0;
    CString m_text;
  };
  BOOL LoadBitmapNamed(LPCSTR name);
  CFont* CaptionFont() const;

  ResourceName m_bitmapName;
  CBitmap m_bitmap;
  int m_cxMargin = 5;
  int m_cyMargin = 5;
  CRect m_rcBitmap;
  CRect m_rcText;
  UINT m_nAlign = SEC_BMP_LEFT;

  afx_msg void OnSysColorChange();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()
};
