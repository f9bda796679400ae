#include "platform/controls/Static.h"

#include <string>

#include "platform/controls/ControlSupport.h"
#include "platform/gdi/SysColors.h"

namespace plat::controls {
namespace {

struct StaticState {
  HFONT font = nullptr;
  HANDLE image = nullptr;  // SS_BITMAP: the bitmap shown; SS_ICON: kept and answered, not drawn
};

UINT TextFormat(DWORD style) {
  UINT f = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
  if (style & SS_ENDELLIPSIS) f |= DT_END_ELLIPSIS;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: return f | DT_CENTER | DT_WORDBREAK;
    case SS_RIGHT: return f | DT_RIGHT | DT_WORDBREAK;
    case SS_SIMPLE: return f | DT_LEFT | DT_SINGLELINE;
    case SS_LEFTNOWORDWRAP: return f | DT_LEFT | DT_EXPANDTABS;
    default: return f | DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS;
  }
}

void PaintText(HWND hwnd, HDC dc, const StaticState& s, DWORD style, const CRect& r) {
  HBRUSH brush = ControlColor(hwnd, WM_CTLCOLORSTATIC, dc);
  FillRect(dc, &r, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
  const std::string text = WindowTextOf(hwnd);
  SelectScope font(dc, FontOr(s.font));
  SetBkMode(dc, TRANSPARENT);
  CRect box = r;
  UINT format = TextFormat(style);
  if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  DrawText(dc, text.c_str(), -1, &box, format);
}

void PaintBitmap(HWND hwnd, HDC dc, const StaticState& s, DWORD style, const CRect& r) {
  HBRUSH brush = ControlColor(hwnd, WM_CTLCOLORSTATIC, dc);
  FillRect(dc, &r, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
  if (!s.image) return;
  BITMAP bm{};
  if (!GetObject(s.image, sizeof(bm), &bm)) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, s.image);
  int x = 0, y = 0;
  if (style & SS_CENTERIMAGE) x = (r.Width() - bm.bmWidth) / 2, y = (r.Height() - bm.bmHeight) / 2;
  BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void Paint(HWND hwnd, HDC dc, const StaticState& s) {
  const DWORD style = StyleOf(hwnd);
  CRect r = ClientRectOf(hwnd);
  switch (style & SS_TYPEMASK) {
    case SS_BLACKRECT: FillRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW)); break;
    case SS_GRAYRECT: FillRect(dc, &r, GetSysColorBrush(COLOR_3DSHADOW)); break;
    case SS_WHITERECT: FillRect(dc, &r, GetSysColorBrush(COLOR_3DHILIGHT)); break;
    case SS_BLACKFRAME: FrameRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW)); break;
    case SS_GRAYFRAME: FrameRect(dc, &r, GetSysColorBrush(COLOR_3DSHADOW)); break;
    case SS_WHITEFRAME: FrameRect(dc, &r, GetSysColorBrush(COLOR_3DHILIGHT)); break;
    case SS_ETCHEDHORZ: DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP); break;
    case SS_ETCHEDVERT: DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT); break;
    case SS_ETCHEDFRAME: DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT); break;
    case SS_BITMAP: PaintBitmap(hwnd, dc, s, style, r); break;
    case SS_ICON: {
      // The GDI layer has no icons (nothing the module shows draws one): the area shows the background.
      HBRUSH brush = ControlColor(hwnd, WM_CTLCOLORSTATIC, dc);
      FillRect(dc, &r, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
      break;
    }
    case SS_OWNERDRAW: {
      DRAWITEMSTRUCT dis{};
      dis.CtlType = ODT_STATIC;
      dis.CtlID = static_cast<UINT>(IdOf(hwnd));
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState = IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED;
      dis.hwndItem = hwnd;
      dis.hDC = dc;
      dis.rcItem = r;
      if (HWND parent = GetParent(hwnd)) SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
      break;
    }
    default: PaintText(hwnd, dc, s, style, r); break;
  }
  if (style & SS_SUNKEN) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
}

LRESULT OnSetImage(HWND hwnd, StaticState& s, WPARAM type, LPARAM image) {
  const DWORD kind = StyleOf(hwnd) & SS_TYPEMASK;
  if ((type == IMAGE_BITMAP && kind != SS_BITMAP) || (type == IMAGE_ICON && kind != SS_ICON)) return 0;
  HANDLE old = s.image;
  s.image = reinterpret_cast<HANDLE>(image);
  InvalidateRect(hwnd, nullptr, TRUE);
  return reinterpret_cast<LRESULT>(old);
}

LRESULT Dispatch(HWND hwnd, StaticState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (const auto answer = PaintMessage(hwnd, s, msg, wParam, Paint)) return *answer;
  switch (msg) {
    case WM_NCHITTEST:
      // Without SS_NOTIFY a static is transparent to the mouse: clicks reach what lies under it.
      if (!(StyleOf(hwnd) & SS_NOTIFY)) return HTTRANSPARENT;
      break;
    case WM_LBUTTONDOWN:
      if (StyleOf(hwnd) & SS_NOTIFY) NotifyParent(hwnd, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (StyleOf(hwnd) & SS_NOTIFY) NotifyParent(hwnd, STN_DBLCLK);
      return 0;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      if (StyleOf(hwnd) & SS_NOTIFY) NotifyParent(hwnd, wParam ? STN_ENABLE : STN_DISABLE);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_SETFONT:
      s.font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case STM_SETIMAGE: return OnSetImage(hwnd, s, wParam, lParam);
    case STM_GETIMAGE: return reinterpret_cast<LRESULT>(s.image);
    case STM_SETICON: return OnSetImage(hwnd, s, IMAGE_ICON, static_cast<LPARAM>(wParam));
    case STM_GETICON: return reinterpret_cast<LRESULT>(s.image);
    default: break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterStaticClass() {
  RegisterControlClass(WC_STATIC, ControlWndProc<StaticState, Dispatch>, CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS);
}

}  // namespace plat::controls
