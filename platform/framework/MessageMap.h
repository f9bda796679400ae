// Message maps: each class lists the messages it handles in a static table; dispatch walks the table of the
// object's class, then its base classes' tables, then falls back to the default procedure.
//
//   class CMyDlg : public CDialog {
//     ...
//     afx_msg void OnPaint();
//     afx_msg void OnApply();
//     DECLARE_MESSAGE_MAP()
//   };
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//     ON_WM_PAINT()
//     ON_BN_CLICKED(IDC_APPLY, OnApply)
//   END_MESSAGE_MAP()
//
// How it works. An entry holds what it matches (message, notification code, id range, or a pointer to a
// registered message number) and a thunk: a plain function, stamped out by a template for each handler,
// that unpacks WPARAM/LPARAM once into the handler's typed arguments and calls the member. The member
// pointer is a template argument, so a table is a constant array of small records and no handler needs
// a particular base-class signature beyond what its message defines. A thunk answers whether it handled
// the message: the "_EX" forms let a handler decline (FALSE) so the search goes on.
#pragma once

#include <type_traits>

#include "platform/base/geometry.h"
#include "platform/framework/ControlCodes.h"

class CCmdTarget;
class CWnd;
class CDC;
class CCmdUI;
class CScrollBar;

#define afx_msg

namespace plat {

// The arguments of one message as they travel through the maps.
struct MessageArgs {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;
  // WM_COMMAND / WM_NOTIFY / update-UI routing.
  UINT id = 0;
  UINT code = 0;
  void* extra = nullptr;  // CCmdUI* for update handlers
};

enum class EntryKind : BYTE {
  End,
  Message,         // a window message (typed or raw)
  Registered,      // a registered message, its number read from a variable at dispatch
  Command,         // WM_COMMAND (and reflected WM_COMMAND) with a code and an id range
  Notify,          // WM_NOTIFY (and reflected WM_NOTIFY) with a code and an id range
  UpdateCommandUI  // command-UI update for an id range
};

using Thunk = bool (*)(CCmdTarget* target, MessageArgs& args);

struct MessageMapEntry {
  EntryKind kind = EntryKind::End;
  UINT message = 0;  // for Command/Notify: WM_COMMAND, WM_NOTIFY or their reflected numbers
  UINT code = 0;
  UINT idFirst = 0;
  UINT idLast = 0;
  const UINT* registered = nullptr;
  Thunk thunk = nullptr;
};

struct MessageMap {
  const MessageMap* (*base)();  // null for the root
  const MessageMapEntry* entries;
};

// Reflected messages: a parent offers a child's notification back to the child's object as this + message.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

// The class a member pointer belongs to.
template <class T>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
  using Class = C;
  using Result = R;
};

template <auto F>
using ClassOf = typename MemberOf<decltype(F)>::Class;

// Wrappers the thunks need from CWnd and CDC without including them here.
CWnd* WndFromHandle(HWND hwnd);
CDC* DcFromHandle(HDC hdc);

inline CPoint PointFrom(LPARAM l) { return CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l)); }

// ---- Thunks ---------------------------------------------------------------------------------------------

// Typed window messages: one place that knows how each message packs its arguments.
template <UINT M, auto F>
bool WindowMessageThunk(CCmdTarget* target, MessageArgs& a) {
  auto* t = static_cast<ClassOf<F>*>(target);
  const WPARAM w = a.wParam;
  const LPARAM l = a.lParam;
  if constexpr (M == WM_PAINT || M == WM_DESTROY || M == WM_NCDESTROY || M == WM_CLOSE ||
                M == WM_CANCELMODE || M == WM_SYSCOLORCHANGE || M == WM_NCPAINT || M == WM_MOUSELEAVE) {
    (t->*F)();
  } else if constexpr (M == WM_CREATE) {
    a.result = (t->*F)(reinterpret_cast<LPCREATESTRUCT>(l));
  } else if constexpr (M == WM_SIZE) {
    (t->*F)(static_cast<UINT>(w), static_cast<int>(LOWORD(l)), static_cast<int>(HIWORD(l)));
  } else if constexpr (M == WM_MOVE) {
    (t->*F)(GET_X_LPARAM(l), GET_Y_LPARAM(l));
  } else if constexpr (M == WM_SETFOCUS || M == WM_KILLFOCUS) {
    (t->*F)(WndFromHandle(reinterpret_cast<HWND>(w)));
  } else if constexpr (M == WM_ENABLE) {
    (t->*F)(static_cast<BOOL>(w));
  } else if constexpr (M == WM_SHOWWINDOW) {
    (t->*F)(static_cast<BOOL>(w), static_cast<UINT>(l));
  } else if constexpr (M == WM_KEYDOWN || M == WM_KEYUP || M == WM_CHAR || M == WM_SYSKEYDOWN ||
                       M == WM_SYSKEYUP || M == WM_SYSCHAR || M == WM_DEADCHAR) {
    (t->*F)(static_cast<UINT>(w), static_cast<UINT>(LOWORD(l)), static_cast<UINT>(HIWORD(l)));
  } else if constexpr ((M >= WM_MOUSEMOVE && M <= WM_MBUTTONDBLCLK)) {
    (t->*F)(static_cast<UINT>(w), PointFrom(l));
  } else if constexpr (M == WM_MOUSEWHEEL) {
    a.result = (t->*F)(static_cast<UINT>(LOWORD(w)), static_cast<short>(HIWORD(w)), PointFrom(l));
  } else if constexpr (M >= WM_NCMOUSEMOVE && M <= WM_NCMBUTTONDBLCLK) {
    (t->*F)(static_cast<UINT>(w), PointFrom(l));
  } else if constexpr (M == WM_TIMER) {
    (t->*F)(static_cast<UINT_PTR>(w));
  } else if constexpr (M == WM_HSCROLL || M == WM_VSCROLL) {
    (t->*F)(static_cast<UINT>(LOWORD(w)), static_cast<UINT>(static_cast<short>(HIWORD(w))),
            reinterpret_cast<CScrollBar*>(WndFromHandle(reinterpret_cast<HWND>(l))));
  } else if constexpr (M == WM_ERASEBKGND) {
    a.result = (t->*F)(DcFromHandle(reinterpret_cast<HDC>(w)));
  } else if constexpr (M == WM_CTLCOLORDLG) {  // the one ON_WM_CTLCOLOR entry stands for all seven
    a.result = reinterpret_cast<LRESULT>(
        (t->*F)(DcFromHandle(reinterpret_cast<HDC>(w)), WndFromHandle(reinterpret_cast<HWND>(l)), a.code));
  } else if constexpr (M == WM_GETDLGCODE) {
    a.result = static_cast<LRESULT>((t->*F)());
  } else if constexpr (M == WM_SETCURSOR) {
    a.result = (t->*F)(WndFromHandle(reinterpret_cast<HWND>(w)), static_cast<UINT>(LOWORD(l)),
                       static_cast<UINT>(HIWORD(l)));
  } else if constexpr (M == WM_NCHITTEST) {
    a.result = static_cast<LRESULT>((t->*F)(PointFrom(l)));
  } else if constexpr (M == WM_MOUSEACTIVATE) {
    a.result = (t->*F)(WndFromHandle(reinterpret_cast<HWND>(w)), static_cast<UINT>(LOWORD(l)),
                       static_cast<UINT>(HIWORD(l)));
  } else if constexpr (M == WM_ACTIVATE) {
    (t->*F)(static_cast<UINT>(LOWORD(w)), WndFromHandle(reinterpret_cast<HWND>(l)), static_cast<BOOL>(HIWORD(w)));
  } else if constexpr (M == WM_CAPTURECHANGED) {
    (t->*F)(WndFromHandle(reinterpret_cast<HWND>(l)));
  } else if constexpr (M == WM_DRAWITEM) {
    (t->*F)(static_cast<int>(w), reinterpret_cast<LPDRAWITEMSTRUCT>(l));
  } else if constexpr (M == WM_MEASUREITEM) {
    (t->*F)(static_cast<int>(w), reinterpret_cast<LPMEASUREITEMSTRUCT>(l));
  } else if constexpr (M == WM_COMPAREITEM) {
    a.result = (t->*F)(static_cast<int>(w), reinterpret_cast<LPCOMPAREITEMSTRUCT>(l));
  } else if constexpr (M == WM_DELETEITEM) {
    (t->*F)(static_cast<int>(w), reinterpret_cast<LPDELETEITEMSTRUCT>(l));
  } else if constexpr (M == WM_CONTEXTMENU) {
    (t->*F)(WndFromHandle(reinterpret_cast<HWND>(w)), PointFrom(l));
  } else if constexpr (M == WM_NCCALCSIZE) {
    (t->*F)(static_cast<BOOL>(w), reinterpret_cast<NCCALCSIZE_PARAMS*>(l));
  } else if constexpr (M == WM_GETMINMAXINFO) {
    (t->*F)(reinterpret_cast<MINMAXINFO*>(l));
  } else if constexpr (M == WM_WINDOWPOSCHANGED || M == WM_WINDOWPOSCHANGING) {
    (t->*F)(reinterpret_cast<WINDOWPOS*>(l));
  } else if constexpr (M == WM_SYSCOMMAND) {
    (t->*F)(static_cast<UINT>(w), l);
  } else if constexpr (M == WM_SETTINGCHANGE) {
    (t->*F)(static_cast<UINT>(w), reinterpret_cast<LPCSTR>(l));
  } else {
    static_assert(M != M, "no typed form for this message: use ON_MESSAGE");
  }
  return true;
}

// ON_MESSAGE / ON_REGISTERED_MESSAGE: LRESULT handler(WPARAM, LPARAM).
template <auto F>
bool RawMessageThunk(CCmdTarget* target, MessageArgs& a) {
  a.result = (static_cast<ClassOf<F>*>(target)->*F)(a.wParam, a.lParam);
  return true;
}

// Commands: void f(), void f(UINT id) for ranges, BOOL f(UINT id) for the _EX forms (FALSE declines).
template <auto F>
bool CommandThunk(CCmdTarget* target, MessageArgs& a) {
  auto* t = static_cast<ClassOf<F>*>(target);
  using R = typename MemberOf<decltype(F)>::Result;
  if constexpr (std::is_invocable_v<decltype(F), ClassOf<F>*>) {
    if constexpr (std::is_same_v<R, void>) {
      (t->*F)();
      return true;
    } else {
      return (t->*F)() != FALSE;  // reflected _EX: FALSE lets the parent see it too
    }
  } else {
    if constexpr (std::is_same_v<R, void>) {
      (t->*F)(a.id);
      return true;
    } else {
      return (t->*F)(a.id) != FALSE;
    }
  }
}

// Notifications: void f(NMHDR*, LRESULT*), void f(UINT id, NMHDR*, LRESULT*), BOOL for _EX.
template <auto F>
bool NotifyThunk(CCmdTarget* target, MessageArgs& a) {
  auto* t = static_cast<ClassOf<F>*>(target);
  auto* header = reinterpret_cast<NMHDR*>(a.lParam);
  using R = typename MemberOf<decltype(F)>::Result;
  if constexpr (std::is_invocable_v<decltype(F), ClassOf<F>*, NMHDR*, LRESULT*>) {
    if constexpr (std::is_same_v<R, void>) {
      (t->*F)(header, &a.result);
      return true;
    } else {
      return (t->*F)(header, &a.result) != FALSE;
    }
  } else {
    if constexpr (std::is_same_v<R, void>) {
      (t->*F)(a.id, header, &a.result);
      return true;
    } else {
      return (t->*F)(a.id, header, &a.result) != FALSE;
    }
  }
}

template <auto F>
bool UpdateUiThunk(CCmdTarget* target, MessageArgs& a) {
  (static_cast<ClassOf<F>*>(target)->*F)(static_cast<CCmdUI*>(a.extra));
  return true;
}

// Reflected owner-draw and colour messages: the child draws itself.
template <UINT M, auto F>
bool ReflectThunk(CCmdTarget* target, MessageArgs& a) {
  auto* t = static_cast<ClassOf<F>*>(target);
  if constexpr (M == WM_DRAWITEM) {
    (t->*F)(reinterpret_cast<LPDRAWITEMSTRUCT>(a.lParam));
  } else if constexpr (M == WM_MEASUREITEM) {
    (t->*F)(reinterpret_cast<LPMEASUREITEMSTRUCT>(a.lParam));
  } else if constexpr (M == WM_COMPAREITEM) {
    a.result = (t->*F)(reinterpret_cast<LPCOMPAREITEMSTRUCT>(a.lParam));
  } else if constexpr (M == WM_DELETEITEM) {
    (t->*F)(reinterpret_cast<LPDELETEITEMSTRUCT>(a.lParam));
  } else if constexpr (M == WM_CTLCOLORDLG) {
    HBRUSH brush = (t->*F)(DcFromHandle(reinterpret_cast<HDC>(a.wParam)), a.code);
    if (!brush) return false;  // a null brush hands the colours back to the parent
    a.result = reinterpret_cast<LRESULT>(brush);
  } else if constexpr (M == WM_HSCROLL || M == WM_VSCROLL) {
    (t->*F)(static_cast<UINT>(LOWORD(a.wParam)), static_cast<UINT>(static_cast<short>(HIWORD(a.wParam))));
  } else {
    static_assert(M != M, "no reflected form for this message");
  }
  return true;
}

// ---- Entry builders -------------------------------------------------------------------------------------

template <UINT M, auto F>
constexpr MessageMapEntry Message() {
  return {EntryKind::Message, M, 0, 0, 0, nullptr, &WindowMessageThunk<M, F>};
}
template <auto F>
constexpr MessageMapEntry RawMessage(UINT message) {
  return {EntryKind::Message, message, 0, 0, 0, nullptr, &RawMessageThunk<F>};
}
template <auto F>
constexpr MessageMapEntry Registered(const UINT* number) {
  return {EntryKind::Registered, 0, 0, 0, 0, number, &RawMessageThunk<F>};
}
template <auto F>
constexpr MessageMapEntry Command(UINT message, UINT code, UINT first, UINT last) {
  return {EntryKind::Command, message, code, first, last, nullptr, &CommandThunk<F>};
}
template <auto F>
constexpr MessageMapEntry Notify(UINT message, UINT code, UINT first, UINT last) {
  return {EntryKind::Notify, message, code, first, last, nullptr, &NotifyThunk<F>};
}
template <auto F>
constexpr MessageMapEntry UpdateUi(UINT first, UINT last) {
  return {EntryKind::UpdateCommandUI, 0, 0, first, last, nullptr, &UpdateUiThunk<F>};
}
template <UINT M, auto F>
constexpr MessageMapEntry Reflect() {
  return {EntryKind::Message, WM_REFLECT_BASE + M, 0, 0, 0, nullptr, &ReflectThunk<M, F>};
}

bool EntryMatches(const MessageMapEntry& entry, const MessageArgs& args, EntryKind kind);
// The first entry of `map` or its bases that takes the message; null when none.
const MessageMapEntry* FindEntry(const MessageMap* map, const MessageArgs& args, EntryKind kind);

}  // namespace plat

// ---- Declaration and table macros ---------------------------------------------------------------------------

#define DECLARE_MESSAGE_MAP()                           \
 protected:                                             \
  static const ::plat::MessageMap* GetThisMessageMap(); \
  const ::plat::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                          \
  const ::plat::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }            \
  const ::plat::MessageMap* theClass::GetThisMessageMap() {                                            \
    using ThisClass = theClass;                                                                        \
    using TheBaseClass = baseClass;                                                                    \
    static const ::plat::MessageMapEntry entries[] = {
// A map without entries names ThisClass nowhere else: the assertion uses it, so that no such map warns.
#define END_MESSAGE_MAP()                                                                         \
  ::plat::MessageMapEntry{}                                                                       \
  }                                                                                               \
  ;                                                                                               \
  static_assert(sizeof(ThisClass) > 0);                                                           \
  static const ::plat::MessageMap map{&TheBaseClass::GetThisMessageMap, entries};                 \
  return &map;                                                                                    \
  }

// ---- Generic entries ------------------------------------------------------------------------------------------
#define ON_MESSAGE(message, memberFxn) ::plat::RawMessage<&ThisClass::memberFxn>(message),
#define ON_REGISTERED_MESSAGE(numberVariable, memberFxn) ::plat::Registered<&ThisClass::memberFxn>(&(numberVariable)),
#define ON_COMMAND(id, memberFxn) ::plat::Command<&ThisClass::memberFxn>(WM_COMMAND, 0, (id), (id)),
#define ON_COMMAND_EX(id, memberFxn) ON_COMMAND(id, memberFxn)
#define ON_COMMAND_RANGE(idFirst, idLast, memberFxn) \
  ::plat::Command<&ThisClass::memberFxn>(WM_COMMAND, 0, (idFirst), (idLast)),
#define ON_CONTROL(code, id, memberFxn) ::plat::Command<&ThisClass::memberFxn>(WM_COMMAND, (code), (id), (id)),
#define ON_CONTROL_RANGE(code, idFirst, idLast, memberFxn) \
  ::plat::Command<&ThisClass::memberFxn>(WM_COMMAND, (code), (idFirst), (idLast)),
#define ON_NOTIFY(code, id, memberFxn) ::plat::Notify<&ThisClass::memberFxn>(WM_NOTIFY, (code), (id), (id)),
#define ON_NOTIFY_RANGE(code, idFirst, idLast, memberFxn) \
  ::plat::Notify<&ThisClass::memberFxn>(WM_NOTIFY, (code), (idFirst), (idLast)),
#define ON_UPDATE_COMMAND_UI(id, memberFxn) ::plat::UpdateUi<&ThisClass::memberFxn>((id), (id)),
#define ON_UPDATE_COMMAND_UI_RANGE(idFirst, idLast, memberFxn) ::plat::UpdateUi<&ThisClass::memberFxn>((idFirst), (idLast)),

// ---- Control notifications ----------------------------------------------------------------------------------
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)

// ---- Reflected notifications (handled by the control's own object) ------------------------------------------
#define ON_CONTROL_REFLECT(code, memberFxn) \
  ::plat::Command<&ThisClass::memberFxn>(::plat::WM_REFLECT_BASE + WM_COMMAND, (code), 0, 0xFFFF),
#define ON_CONTROL_REFLECT_EX(code, memberFxn) ON_CONTROL_REFLECT(code, memberFxn)
#define ON_NOTIFY_REFLECT(code, memberFxn) \
  ::plat::Notify<&ThisClass::memberFxn>(::plat::WM_REFLECT_BASE + WM_NOTIFY, (code), 0, 0xFFFF),
#define ON_NOTIFY_REFLECT_EX(code, memberFxn) ON_NOTIFY_REFLECT(code, memberFxn)
#define ON_WM_DRAWITEM_REFLECT() ::plat::Reflect<WM_DRAWITEM, &ThisClass::DrawItem>(),
#define ON_WM_MEASUREITEM_REFLECT() ::plat::Reflect<WM_MEASUREITEM, &ThisClass::MeasureItem>(),
#define ON_WM_COMPAREITEM_REFLECT() ::plat::Reflect<WM_COMPAREITEM, &ThisClass::CompareItem>(),
#define ON_WM_DELETEITEM_REFLECT() ::plat::Reflect<WM_DELETEITEM, &ThisClass::DeleteItem>(),
#define ON_WM_CTLCOLOR_REFLECT() ::plat::Reflect<WM_CTLCOLORDLG, &ThisClass::CtlColor>(),
#define ON_WM_HSCROLL_REFLECT() ::plat::Reflect<WM_HSCROLL, &ThisClass::HScroll>(),
#define ON_WM_VSCROLL_REFLECT() ::plat::Reflect<WM_VSCROLL, &ThisClass::VScroll>(),
#define ON_BN_CLICKED_REFLECT(memberFxn) ON_CONTROL_REFLECT(BN_CLICKED, memberFxn)

// ---- Typed window messages ----------------------------------------------------------------------------------
#define BRIM_ON_WM(message, memberFxn) ::plat::Message<message, &ThisClass::memberFxn>(),
#define ON_WM_CREATE() BRIM_ON_WM(WM_CREATE, OnCreate)
#define ON_WM_DESTROY() BRIM_ON_WM(WM_DESTROY, OnDestroy)
#define ON_WM_NCDESTROY() BRIM_ON_WM(WM_NCDESTROY, OnNcDestroy)
#define ON_WM_CLOSE() BRIM_ON_WM(WM_CLOSE, OnClose)
#define ON_WM_SIZE() BRIM_ON_WM(WM_SIZE, OnSize)
#define ON_WM_MOVE() BRIM_ON_WM(WM_MOVE, OnMove)
#define ON_WM_PAINT() BRIM_ON_WM(WM_PAINT, OnPaint)
#define ON_WM_NCPAINT() BRIM_ON_WM(WM_NCPAINT, OnNcPaint)
#define ON_WM_ERASEBKGND() BRIM_ON_WM(WM_ERASEBKGND, OnEraseBkgnd)
#define ON_WM_SETFOCUS() BRIM_ON_WM(WM_SETFOCUS, OnSetFocus)
#define ON_WM_KILLFOCUS() BRIM_ON_WM(WM_KILLFOCUS, OnKillFocus)
#define ON_WM_ENABLE() BRIM_ON_WM(WM_ENABLE, OnEnable)
#define ON_WM_SHOWWINDOW() BRIM_ON_WM(WM_SHOWWINDOW, OnShowWindow)
#define ON_WM_KEYDOWN() BRIM_ON_WM(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() BRIM_ON_WM(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() BRIM_ON_WM(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() BRIM_ON_WM(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() BRIM_ON_WM(WM_SYSKEYUP, OnSysKeyUp)
#define ON_WM_SYSCHAR() BRIM_ON_WM(WM_SYSCHAR, OnSysChar)
#define ON_WM_MOUSEMOVE() BRIM_ON_WM(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() BRIM_ON_WM(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() BRIM_ON_WM(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() BRIM_ON_WM(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() BRIM_ON_WM(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() BRIM_ON_WM(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() BRIM_ON_WM(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() BRIM_ON_WM(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() BRIM_ON_WM(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MOUSEWHEEL() BRIM_ON_WM(WM_MOUSEWHEEL, OnMouseWheel)
#define ON_WM_NCLBUTTONDOWN() BRIM_ON_WM(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCMOUSEMOVE() BRIM_ON_WM(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_TIMER() BRIM_ON_WM(WM_TIMER, OnTimer)
#define ON_WM_HSCROLL() BRIM_ON_WM(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() BRIM_ON_WM(WM_VSCROLL, OnVScroll)
#define ON_WM_CTLCOLOR() BRIM_ON_WM(WM_CTLCOLORDLG, OnCtlColor)
#define ON_WM_GETDLGCODE() BRIM_ON_WM(WM_GETDLGCODE, OnGetDlgCode)
#define ON_WM_SETCURSOR() BRIM_ON_WM(WM_SETCURSOR, OnSetCursor)
#define ON_WM_NCHITTEST() BRIM_ON_WM(WM_NCHITTEST, OnNcHitTest)
#define ON_WM_NCCALCSIZE() BRIM_ON_WM(WM_NCCALCSIZE, OnNcCalcSize)
#define ON_WM_MOUSEACTIVATE() BRIM_ON_WM(WM_MOUSEACTIVATE, OnMouseActivate)
#define ON_WM_ACTIVATE() BRIM_ON_WM(WM_ACTIVATE, OnActivate)
#define ON_WM_CAPTURECHANGED() BRIM_ON_WM(WM_CAPTURECHANGED, OnCaptureChanged)
#define ON_WM_CANCELMODE() BRIM_ON_WM(WM_CANCELMODE, OnCancelMode)
#define ON_WM_DRAWITEM() BRIM_ON_WM(WM_DRAWITEM, OnDrawItem)
#define ON_WM_MEASUREITEM() BRIM_ON_WM(WM_MEASUREITEM, OnMeasureItem)
#define ON_WM_COMPAREITEM() BRIM_ON_WM(WM_COMPAREITEM, OnCompareItem)
#define ON_WM_DELETEITEM() BRIM_ON_WM(WM_DELETEITEM, OnDeleteItem)
#define ON_WM_CONTEXTMENU() BRIM_ON_WM(WM_CONTEXTMENU, OnContextMenu)
#define ON_WM_GETMINMAXINFO() BRIM_ON_WM(WM_GETMINMAXINFO, OnGetMinMaxInfo)
#define ON_WM_WINDOWPOSCHANGED() BRIM_ON_WM(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
#define ON_WM_WINDOWPOSCHANGING() BRIM_ON_WM(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
#define ON_WM_SYSCOMMAND() BRIM_ON_WM(WM_SYSCOMMAND, OnSysCommand)
#define ON_WM_SYSCOLORCHANGE() BRIM_ON_WM(WM_SYSCOLORCHANGE, OnSysColorChange)
#define ON_WM_SETTINGCHANGE() BRIM_ON_WM(WM_SETTINGCHANGE, OnSettingChange)
#define ON_WM_MOUSELEAVE() BRIM_ON_WM(WM_MOUSELEAVE, OnMouseLeave)
