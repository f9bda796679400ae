// CDC: the class-library device context. Thin forwarding to the HDC functions, with the class library's own
// helpers (FillSolidRect, Draw3dRect, the CString overloads) and typed SelectObject.
//
// m_hDC is the output DC and m_hAttribDC the one queried for attributes; on this platform both are the same DC
// (every DC is its own attribute DC). The window DCs (CPaintDC, CClientDC, CWindowDC) derive from it in the
// framework. A CDC created here (CreateDC, CreateCompatibleDC, CreateIC) deletes its DC when destroyed; one made
// by Attach or FromHandle does not own it unless DeleteDC is called.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPalette.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"

class CDC : public CObject {
 public:
  CDC() = default;
  ~CDC() override;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC m_hDC = nullptr;
  HDC m_hAttribDC = nullptr;
  BOOL m_bPrinting = FALSE;

  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  static CDC* FromHandle(HDC h);
  static void DeleteTempMap() { plat::DeleteTempGdiObjects(); }
  BOOL Attach(HDC h);
  HDC Detach();
  virtual void SetAttribDC(HDC h) { m_hAttribDC = h; }
  virtual void SetOutputDC(HDC h) { m_hDC = h; }
  virtual void ReleaseAttribDC() { m_hAttribDC = nullptr; }
  virtual void ReleaseOutputDC() { m_hDC = nullptr; }

  BOOL CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devmode);
  BOOL CreateIC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devmode);
  BOOL CreateCompatibleDC(CDC* dc);
  BOOL DeleteDC();
  virtual int SaveDC() { return ::SaveDC(m_hDC); }
  virtual BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hAttribDC, index); }
  BOOL IsPrinting() const { return m_bPrinting; }

  // ---- objects ----
  CPen* SelectObject(CPen* p);
  CBrush* SelectObject(CBrush* b);
  virtual CFont* SelectObject(CFont* f);
  CBitmap* SelectObject(CBitmap* b);
  int SelectObject(CRgn* r);
  CGdiObject* SelectObject(CGdiObject* o);
  HGDIOBJ SelectObject(HGDIOBJ h) { return ::SelectObject(m_hDC, h); }
  virtual CGdiObject* SelectStockObject(int index);
  CPalette* SelectPalette(CPalette* p, BOOL background);
  UINT RealizePalette() { return ::RealizePalette(m_hDC); }
  CPen* GetCurrentPen() const { return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN))); }
  CBrush* GetCurrentBrush() const {
    return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
  }
  CFont* GetCurrentFont() const { return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT))); }
  CBitmap* GetCurrentBitmap() const {
    return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
  }

  // ---- attributes ----
  COLORREF GetTextColor() const { return ::GetTextColor(m_hAttribDC); }
  virtual COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hAttribDC); }
  virtual COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  int GetBkMode() const { return ::GetBkMode(m_hAttribDC); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  UINT GetTextAlign() const { return ::GetTextAlign(m_hAttribDC); }
  UINT SetTextAlign(UINT a) { return ::SetTextAlign(m_hDC, a); }
  int GetROP2() const { return ::GetROP2(m_hAttribDC); }
  int SetROP2(int r) { return ::SetROP2(m_hDC, r); }
  int GetStretchBltMode() const { return ::GetStretchBltMode(m_hAttribDC); }
  int SetStretchBltMode(int m) { return ::SetStretchBltMode(m_hDC, m); }
  int GetPolyFillMode() const { return ::GetPolyFillMode(m_hAttribDC); }
  int SetPolyFillMode(int m) { return ::SetPolyFillMode(m_hDC, m); }
  int SetTextCharacterExtra(int e) { return ::SetTextCharacterExtra(m_hDC, e); }
  CPoint GetBrushOrg() const;
  CPoint SetBrushOrg(int x, int y);
  CPoint SetBrushOrg(POINT p) { return SetBrushOrg(p.x, p.y); }

  // ---- mapping ----
  int GetMapMode() const { return ::GetMapMode(m_hAttribDC); }
  virtual int SetMapMode(int m) { return ::SetMapMode(m_hDC, m); }
  CPoint GetViewportOrg() const;
  virtual CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
  virtual CPoint OffsetViewportOrg(int dx, int dy);
  CSize GetViewportExt() const;
  virtual CSize SetViewportExt(int cx, int cy);
  CSize SetViewportExt(SIZE s) { return SetViewportExt(s.cx, s.cy); }
  virtual CSize ScaleViewportExt(int xn, int xd, int yn, int yd);
  CPoint GetWindowOrg() const;
  CPoint SetWindowOrg(int x, int y);
  CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
  CPoint OffsetWindowOrg(int dx, int dy);
  CSize GetWindowExt() const;
  virtual CSize SetWindowExt(int cx, int cy);
  CSize SetWindowExt(SIZE s) { return SetWindowExt(s.cx, s.cy); }
  virtual CSize ScaleWindowExt(int xn, int xd, int yn, int yd);
  void DPtoLP(LPPOINT pts, int count = 1) const { ::DPtoLP(m_hAttribDC, pts, count); }
  void DPtoLP(LPRECT r) const { ::DPtoLP(m_hAttribDC, reinterpret_cast<LPPOINT>(r), 2); }
  void DPtoLP(LPSIZE s) const;
  void LPtoDP(LPPOINT pts, int count = 1) const { ::LPtoDP(m_hAttribDC, pts, count); }
  void LPtoDP(LPRECT r) const { ::LPtoDP(m_hAttribDC, reinterpret_cast<LPPOINT>(r), 2); }
  void LPtoDP(LPSIZE s) const;

  // ---- clipping ----
  virtual int GetClipBox(LPRECT r) const { return ::GetClipBox(m_hDC, r); }
  int SelectClipRgn(CRgn* r) { return ::SelectClipRgn(m_hDC, r ? static_cast<HRGN>(r->m_hObject) : nullptr); }
  int SelectClipRgn(CRgn* r, int mode) {
    return ::ExtSelectClipRgn(m_hDC, r ? static_cast<HRGN>(r->m_hObject) : nullptr, mode);
  }
  int ExcludeClipRect(int l, int t, int r, int b) { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
  int ExcludeClipRect(LPCRECT r) { return ExcludeClipRect(r->left, r->top, r->right, r->bottom); }
  int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
  int IntersectClipRect(LPCRECT r) { return IntersectClipRect(r->left, r->top, r->right, r->bottom); }
  int OffsetClipRgn(int dx, int dy) { return ::OffsetClipRgn(m_hDC, dx, dy); }
  BOOL PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
  BOOL PtVisible(POINT p) const { return PtVisible(p.x, p.y); }
  BOOL RectVisible(LPCRECT r) const { return ::RectVisible(m_hDC, r); }

  // ---- lines and shapes ----
  CPoint GetCurrentPosition() const;
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
  BOOL Polyline(const POINT* pts, int count) { return ::Polyline(m_hDC, pts, count); }
  BOOL PolyPolyline(const POINT* pts, const DWORD* counts, int polys) {
    return ::PolyPolyline(m_hDC, pts, counts, static_cast<DWORD>(polys));
  }
  BOOL Polygon(const POINT* pts, int count) { return ::Polygon(m_hDC, pts, count); }
  BOOL PolyPolygon(const POINT* pts, const INT* counts, int polys) { return ::PolyPolygon(m_hDC, pts, counts, polys); }
  BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
  BOOL Rectangle(LPCRECT r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
  BOOL RoundRect(int l, int t, int r, int b, int w, int h) { return ::RoundRect(m_hDC, l, t, r, b, w, h); }
  BOOL RoundRect(LPCRECT r, POINT p) { return RoundRect(r->left, r->top, r->right, r->bottom, p.x, p.y); }
  BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
  BOOL Ellipse(LPCRECT r) { return Ellipse(r->left, r->top, r->right, r->bottom); }
  void FillRect(LPCRECT r, CBrush* b) { ::FillRect(m_hDC, r, static_cast<HBRUSH>(b->m_hObject)); }
  void FrameRect(LPCRECT r, CBrush* b) { ::FrameRect(m_hDC, r, static_cast<HBRUSH>(b->m_hObject)); }
  void InvertRect(LPCRECT r) { ::InvertRect(m_hDC, r); }
  void DrawFocusRect(LPCRECT r) { ::DrawFocusRect(m_hDC, r); }
  BOOL FillRgn(CRgn* r, CBrush* b) { return ::FillRgn(m_hDC, *r, *b); }
  BOOL FrameRgn(CRgn* r, CBrush* b, int w, int h) { return ::FrameRgn(m_hDC, *r, *b, w, h); }
  BOOL InvertRgn(CRgn* r) { return ::InvertRgn(m_hDC, *r); }
  BOOL PaintRgn(CRgn* r) { return ::PaintRgn(m_hDC, *r); }
  // The background colour becomes `color` (it is not restored) and the rectangle is filled through ExtTextOut.
  void FillSolidRect(LPCRECT r, COLORREF color);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
  void Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
  BOOL DrawEdge(LPRECT r, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, r, edge, flags); }
  BOOL DrawFrameControl(LPRECT r, UINT type, UINT state) { return ::DrawFrameControl(m_hDC, r, type, state); }
  COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
  COLORREF SetPixel(POINT p, COLORREF c) { return SetPixel(p.x, p.y, c); }
  BOOL SetPixelV(int x, int y, COLORREF c) { return ::SetPixelV(m_hDC, x, y, c); }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }
  COLORREF GetNearestColor(COLORREF c) const { return ::GetNearestColor(m_hAttribDC, c); }

  // ---- raster ----
  BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
  BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop);
  }
  BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, sw, sh, rop);
  }

  // ---- text ----
  BOOL GetTextMetrics(LPTEXTMETRIC tm) const { return ::GetTextMetricsA(m_hAttribDC, tm); }
  BOOL GetOutputTextMetrics(LPTEXTMETRIC tm) const { return ::GetTextMetricsA(m_hDC, tm); }
  int GetTextFace(int count, LPSTR out) const { return ::GetTextFaceA(m_hAttribDC, count, out); }
  int GetTextFace(CString& face) const;
  CSize GetTextExtent(LPCSTR text, int count) const;
  CSize GetTextExtent(const CString& s) const { return GetTextExtent(s, s.GetLength()); }
  CSize GetOutputTextExtent(LPCSTR text, int count) const { return GetTextExtent(text, count); }
  CSize GetOutputTextExtent(const CString& s) const { return GetTextExtent(s); }
  CSize GetTabbedTextExtent(LPCSTR text, int count, int tabs, LPINT positions) const;
  CSize GetTabbedTextExtent(const CString& s, int tabs, LPINT positions) const {
    return GetTabbedTextExtent(s, s.GetLength(), tabs, positions);
  }
  BOOL GetCharWidth(UINT first, UINT last, LPINT out) const { return ::GetCharWidth32A(m_hAttribDC, first, last, out); }
  BOOL GetTextExtentExPoint(LPCSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE out) const {
    return ::GetTextExtentExPointA(m_hAttribDC, text, count, maxExtent, fit, dx, out);
  }
  virtual BOOL TextOut(int x, int y, LPCSTR text, int count) { return ::TextOutA(m_hDC, x, y, text, count); }
  BOOL TextOut(int x, int y, const CString& s) { return TextOut(x, y, s, s.GetLength()); }
  virtual BOOL ExtTextOut(int x, int y, UINT options, LPCRECT r, LPCSTR text, UINT count, LPINT dx) {
    return ::ExtTextOutA(m_hDC, x, y, options, r, text, count, dx);
  }
  BOOL ExtTextOut(int x, int y, UINT options, LPCRECT r, const CString& s, LPINT dx) {
    return ExtTextOut(x, y, options, r, s, static_cast<UINT>(s.GetLength()), dx);
  }
  virtual CSize TabbedTextOut(int x, int y, LPCSTR text, int count, int tabs, LPINT positions, int origin);
  CSize TabbedTextOut(int x, int y, const CString& s, int tabs, LPINT positions, int origin) {
    return TabbedTextOut(x, y, s, s.GetLength(), tabs, positions, origin);
  }
  virtual int DrawText(LPCSTR text, int count, LPRECT r, UINT format) { return ::DrawTextA(m_hDC, text, count, r, format); }
  // DT_MODIFYSTRING writes the shortened text back into `s`.
  int DrawText(const CString& s, LPRECT r, UINT format);

  // ---- printing ----
  int StartDoc(LPDOCINFO info) { return ::StartDocA(m_hDC, info); }
  int StartDoc(LPCSTR name);
  int StartPage() { return ::StartPage(m_hDC); }
  int EndPage() { return ::EndPage(m_hDC); }
  int EndDoc() { return ::EndDoc(m_hDC); }
  int AbortDoc() { return ::AbortDoc(m_hDC); }
  int SetAbortProc(ABORTPROC proc) { return ::SetAbortProc(m_hDC, proc); }
  int Escape(int escape, int count, LPCSTR in, LPVOID out) { return ::Escape(m_hDC, escape, count, in, out); }

 private:
  bool owns_ = false;
};

// A DC for the printer named by DEVNAMES/DEVMODE global blocks (either may be null: the default printer and its
// default settings). Null when the names or settings are not acceptable.
HDC AfxCreateDC(HGLOBAL devNames, HGLOBAL devMode);
