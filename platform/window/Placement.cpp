#include "platform/window/Placement.h"

#include <algorithm>

namespace plat {

RECT PlacePopup(const RECT& anchor, SIZE size) {
  MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
  GetMonitorInfo(MonitorFromRect(&anchor, MONITOR_DEFAULTTONEAREST), &info);
  const RECT& work = info.rcWork;
  LONG below = work.bottom - anchor.bottom, above = anchor.top - work.top;
  LONG top = anchor.bottom;
  if (size.cy > below && above > below) top = anchor.top - size.cy;  // flip when above has more room
  LONG left = anchor.left;
  if (left + size.cx > work.right) left = work.right - size.cx;
  left = std::max(left, work.left);
  return RECT{left, top, left + size.cx, top + size.cy};
}

RECT KeepOnWorkArea(const RECT& frame) {
  MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
  GetMonitorInfo(MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &info);
  const RECT& work = info.rcWork;
  const LONG width = frame.right - frame.left;
  const LONG height = frame.bottom - frame.top;
  // The right and bottom edges first, then the left and top, which win when the frame is the larger.
  const LONG left = std::max(work.left, std::min(frame.left, work.right - width));
  const LONG top = std::max(work.top, std::min(frame.top, work.bottom - height));
  return RECT{left, top, left + width, top + height};
}

RECT PlaceOwnedFrame(HWND owner, SIZE size) {
  RECT area;
  if (owner && IsWindowVisible(owner)) {
    GetWindowRect(owner, &area);
  } else {
    MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
    GetMonitorInfo(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTONEAREST), &info);
    area = info.rcWork;
  }
  const LONG left = area.left + (area.right - area.left - size.cx) / 2;
  const LONG top = area.top + (area.bottom - area.top - size.cy) / 2;
  return KeepOnWorkArea(RECT{left, top, left + size.cx, top + size.cy});
}

}  // namespace plat
