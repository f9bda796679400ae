// CAnchorLayout: keeps child windows glued to the edges of their parent when the parent is resized.
//
// Each entry names a child (by window, or by control id when the window is null) and the edges it follows:
// 1 left, 2 top, 4 right, 8 bottom. A child anchored left and right stretches; right only moves with the right
// edge; left only stays put; the same holds for top and bottom. An entry's rectangle is read from the child at
// the first relayout after it was added or reset, so entries may be added before the parent is shown.
#pragma once

#include "platform/base/geometry.h"
#include "platform/window/windowapi.h"

class CWnd;
class CAnchorLayout;

enum : int { AnchorLeft = 1, AnchorTop = 2, AnchorRight = 4, AnchorBottom = 8 };

struct CAnchorLayoutEntry {
  HWND parent = nullptr;
  HWND child = nullptr;
  int controlId = 0;                  // 0: use `child`
  CAnchorLayoutEntry* next = nullptr;
  CAnchorLayout* layout = nullptr;
  int flags = 0;
  RECT rect{-1, -1, -1, -1};          // all -1: read the child's rectangle at the next relayout
};

class CAnchorLayout {
public:
  // Remembers the parent's client rectangle.
  explicit CAnchorLayout(CWnd* parent);
  ~CAnchorLayout();
  CAnchorLayout(const CAnchorLayout&) = delete;
  CAnchorLayout& operator=(const CAnchorLayout&) = delete;

  // Appends an entry for `child` (a window of the parent); its rectangle is read at the next relayout.
  CAnchorLayoutEntry* Add(CWnd* child, int flags);
  // An entry for the parent's child with control id `controlId`, looked up at each relayout.
  CAnchorLayoutEntry* AddControl(int controlId, int flags);
  // New flags unless -1; the rectangle is read again at the next relayout.
  static void Reset(CAnchorLayoutEntry* entry, int flags = -1);
  void Relayout();

  const CAnchorLayoutEntry* First() const { return m_pFirst; }

private:
  CAnchorLayoutEntry* Append(HWND child, int controlId, int flags);

  HWND m_hParent;
  CRect m_Client;
  CAnchorLayoutEntry* m_pFirst = nullptr;
};

// The new span [low, high] of a child on one axis after the parent's far edge moved by `delta`; `nearFlag` and
// `farFlag` are the anchors of the axis. The near edge of the parent never moves (client coordinates).
void AnchorSpan(int flags, int nearFlag, int farFlag, int delta, LONG& low, LONG& high);
