// The standard controls' classic numbers: class names, styles, messages, notifications and the owner-draw
// structures. Values are part of the contract (resources and stored dialogs carry them).
#pragma once

#include "platform/window/windowapi.h"

// ---- Class names ------------------------------------------------------------------------------------------
inline constexpr const char* WC_BUTTON = "Button";
inline constexpr const char* WC_STATIC = "Static";
inline constexpr const char* WC_EDIT = "Edit";
inline constexpr const char* WC_LISTBOX = "ListBox";
inline constexpr const char* WC_COMBOBOX = "ComboBox";
inline constexpr const char* WC_COMBOLBOX = "ComboLBox";
inline constexpr const char* WC_SCROLLBAR = "ScrollBar";
inline constexpr const char* TRACKBAR_CLASS = "msctls_trackbar32";
inline constexpr const char* PROGRESS_CLASS = "msctls_progress32";
inline constexpr const char* UPDOWN_CLASS = "msctls_updown32";
inline constexpr const char* WC_TABCONTROL = "SysTabControl32";
inline constexpr const char* TOOLTIPS_CLASS = "tooltips_class32";
inline constexpr const char* WC_TREEVIEW = "SysTreeView32";
inline constexpr const char* RICHEDIT_CLASS = "RichEdit20A";

// ---- Dialog codes -----------------------------------------------------------------------------------------
#ifndef BRIM_DLGC_DEFINED
#define BRIM_DLGC_DEFINED
constexpr UINT DLGC_WANTARROWS = 0x0001;
constexpr UINT DLGC_WANTTAB = 0x0002;
constexpr UINT DLGC_WANTALLKEYS = 0x0004;
constexpr UINT DLGC_WANTMESSAGE = 0x0004;
constexpr UINT DLGC_HASSETSEL = 0x0008;
constexpr UINT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr UINT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr UINT DLGC_RADIOBUTTON = 0x0040;
constexpr UINT DLGC_WANTCHARS = 0x0080;
constexpr UINT DLGC_STATIC = 0x0100;
constexpr UINT DLGC_BUTTON = 0x2000;
#endif

// ---- Owner draw -------------------------------------------------------------------------------------------
constexpr UINT ODT_MENU = 1;
constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODT_COMBOBOX = 3;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODT_STATIC = 5;
constexpr UINT ODA_DRAWENTIRE = 1;
constexpr UINT ODA_SELECT = 2;
constexpr UINT ODA_FOCUS = 4;
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_GRAYED = 0x0002;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_CHECKED = 0x0008;
constexpr UINT ODS_FOCUS = 0x0010;
constexpr UINT ODS_DEFAULT = 0x0020;
constexpr UINT ODS_COMBOBOXEDIT = 0x1000;

struct DRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;
  RECT rcItem;
  ULONG_PTR itemData;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

struct MEASUREITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemWidth;
  UINT itemHeight;
  ULONG_PTR itemData;
};
using LPMEASUREITEMSTRUCT = MEASUREITEMSTRUCT*;

struct COMPAREITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  HWND hwndItem;
  UINT itemID1;
  ULONG_PTR itemData1;
  UINT itemID2;
  ULONG_PTR itemData2;
  DWORD dwLocaleId;
};
using LPCOMPAREITEMSTRUCT = COMPAREITEMSTRUCT*;

struct DELETEITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  HWND hwndItem;
  ULONG_PTR itemData;
};
using LPDELETEITEMSTRUCT = DELETEITEMSTRUCT*;

struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};
using LPNMHDR = NMHDR*;

constexpr UINT NM_CLICK = static_cast<UINT>(-2);
constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
constexpr UINT NM_RETURN = static_cast<UINT>(-4);
constexpr UINT NM_RCLICK = static_cast<UINT>(-5);

// ---- Button -----------------------------------------------------------------------------------------------
constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD BS_CHECKBOX = 0x2;
constexpr DWORD BS_AUTOCHECKBOX = 0x3;
constexpr DWORD BS_RADIOBUTTON = 0x4;
constexpr DWORD BS_3STATE = 0x5;
constexpr DWORD BS_AUTO3STATE = 0x6;
constexpr DWORD BS_GROUPBOX = 0x7;
constexpr DWORD BS_USERBUTTON = 0x8;
constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
constexpr DWORD BS_OWNERDRAW = 0xB;
constexpr DWORD BS_TYPEMASK = 0xF;
constexpr DWORD BS_LEFTTEXT = 0x20;
constexpr DWORD BS_LEFT = 0x100;
constexpr DWORD BS_RIGHT = 0x200;
constexpr DWORD BS_CENTER = 0x300;
constexpr DWORD BS_TOP = 0x400;
constexpr DWORD BS_BOTTOM = 0x800;
constexpr DWORD BS_VCENTER = 0xC00;
constexpr DWORD BS_PUSHLIKE = 0x1000;
constexpr DWORD BS_MULTILINE = 0x2000;
constexpr DWORD BS_NOTIFY = 0x4000;
constexpr DWORD BS_FLAT = 0x8000;

constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;
constexpr UINT BM_GETIMAGE = 0x00F6;
constexpr UINT BM_SETIMAGE = 0x00F7;
constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;
constexpr UINT BST_INDETERMINATE = 2;
constexpr UINT BST_PUSHED = 4;
constexpr UINT BST_FOCUS = 8;

constexpr UINT BN_CLICKED = 0;
constexpr UINT BN_PAINT = 1;
constexpr UINT BN_DOUBLECLICKED = 5;
constexpr UINT BN_DBLCLK = 5;
constexpr UINT BN_SETFOCUS = 6;
constexpr UINT BN_KILLFOCUS = 7;

// ---- Static -----------------------------------------------------------------------------------------------
constexpr DWORD SS_LEFT = 0x0;
constexpr DWORD SS_CENTER = 0x1;
constexpr DWORD SS_RIGHT = 0x2;
constexpr DWORD SS_ICON = 0x3;
constexpr DWORD SS_BLACKRECT = 0x4;
constexpr DWORD SS_GRAYRECT = 0x5;
constexpr DWORD SS_WHITERECT = 0x6;
constexpr DWORD SS_BLACKFRAME = 0x7;
constexpr DWORD SS_GRAYFRAME = 0x8;
constexpr DWORD SS_WHITEFRAME = 0x9;
constexpr DWORD SS_SIMPLE = 0xB;
constexpr DWORD SS_LEFTNOWORDWRAP = 0xC;
constexpr DWORD SS_OWNERDRAW = 0xD;
constexpr DWORD SS_BITMAP = 0xE;
constexpr DWORD SS_ETCHEDHORZ = 0x10;
constexpr DWORD SS_ETCHEDVERT = 0x11;
constexpr DWORD SS_ETCHEDFRAME = 0x12;
constexpr DWORD SS_TYPEMASK = 0x1F;
constexpr DWORD SS_NOPREFIX = 0x80;
constexpr DWORD SS_NOTIFY = 0x100;
constexpr DWORD SS_CENTERIMAGE = 0x200;
constexpr DWORD SS_SUNKEN = 0x1000;
constexpr DWORD SS_ENDELLIPSIS = 0x4000;

constexpr UINT STM_SETICON = 0x0170;
constexpr UINT STM_GETICON = 0x0171;
constexpr UINT STM_SETIMAGE = 0x0172;
constexpr UINT STM_GETIMAGE = 0x0173;
constexpr UINT STN_CLICKED = 0;
constexpr UINT STN_DBLCLK = 1;
constexpr UINT STN_ENABLE = 2;
constexpr UINT STN_DISABLE = 3;
constexpr WPARAM IMAGE_BITMAP = 0;
constexpr WPARAM IMAGE_ICON = 1;

// ---- Edit -------------------------------------------------------------------------------------------------
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;

constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_GETRECT = 0x00B2;
constexpr UINT EM_SETRECT = 0x00B3;
constexpr UINT EM_SETRECTNP = 0x00B4;
constexpr UINT EM_SCROLL = 0x00B5;
constexpr UINT EM_LINESCROLL = 0x00B6;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = 0x00C5;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_FMTLINES = 0x00C8;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_SETMARGINS = 0x00D3;
constexpr UINT EM_GETMARGINS = 0x00D4;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EM_POSFROMCHAR = 0x00D6;
constexpr UINT EM_CHARFROMPOS = 0x00D7;
constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
constexpr WPARAM EC_USEFONTINFO = 0xFFFF;

constexpr UINT EN_SETFOCUS = 0x0100;
constexpr UINT EN_KILLFOCUS = 0x0200;
constexpr UINT EN_CHANGE = 0x0300;
constexpr UINT EN_UPDATE = 0x0400;
constexpr UINT EN_ERRSPACE = 0x0500;
constexpr UINT EN_MAXTEXT = 0x0501;
constexpr UINT EN_HSCROLL = 0x0601;
constexpr UINT EN_VSCROLL = 0x0602;

// ---- List box ---------------------------------------------------------------------------------------------
constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_SORT = 0x0002;
constexpr DWORD LBS_NOREDRAW = 0x0004;
constexpr DWORD LBS_MULTIPLESEL = 0x0008;
constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD LBS_HASSTRINGS = 0x0040;
constexpr DWORD LBS_USETABSTOPS = 0x0080;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr DWORD LBS_MULTICOLUMN = 0x0200;
constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x0400;
constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;
constexpr DWORD LBS_NODATA = 0x2000;
constexpr DWORD LBS_NOSEL = 0x4000;
constexpr DWORD LBS_STANDARD = LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER;

constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_SELITEMRANGEEX = 0x0183;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETSEL = 0x0185;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETSEL = 0x0187;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_SELECTSTRING = 0x018C;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_FINDSTRING = 0x018F;
constexpr UINT LB_GETSELCOUNT = 0x0190;
constexpr UINT LB_GETSELITEMS = 0x0191;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_SELITEMRANGE = 0x019B;
constexpr UINT LB_SETANCHORINDEX = 0x019C;
constexpr UINT LB_GETANCHORINDEX = 0x019D;
constexpr UINT LB_SETCARETINDEX = 0x019E;
constexpr UINT LB_GETCARETINDEX = 0x019F;
constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
constexpr UINT LB_GETHORIZONTALEXTENT = 0x0193;
constexpr UINT LB_SETHORIZONTALEXTENT = 0x0194;
constexpr UINT LB_ITEMFROMPOINT = 0x01A9;
// The platform's own list-box message (no classic number; class-private like the trackbar's): appends
// wParam items from the LBAPPENDITEM array at lParam at the end of the list, in that order, each as
// LB_INSERTSTRING at -1 and LB_SETITEMDATA would add it (a sorted list does not sort them; an owner-drawn list
// without strings keeps the data only; a variable-height list measures each), with one repaint and one
// scroll-bar update for all of them. Answers the index of the first appended item, or LB_ERR (nothing
// appended for a null array; the list gone while an item was measured).
constexpr UINT LB_APPENDITEMS = WM_USER + 0x0180;
struct LBAPPENDITEM {
  LPCSTR text;     // copied; null is an empty text
  ULONG_PTR data;  // the item data
};
constexpr LRESULT LB_OKAY = 0;
constexpr LRESULT LB_ERR = -1;
constexpr LRESULT LB_ERRSPACE = -2;

constexpr UINT LBN_ERRSPACE = static_cast<UINT>(-2);
constexpr UINT LBN_SELCHANGE = 1;
constexpr UINT LBN_DBLCLK = 2;
constexpr UINT LBN_SELCANCEL = 3;
constexpr UINT LBN_SETFOCUS = 4;
constexpr UINT LBN_KILLFOCUS = 5;

// ---- Combo box --------------------------------------------------------------------------------------------
constexpr DWORD CBS_SIMPLE = 0x0001;
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD CBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
constexpr DWORD CBS_OEMCONVERT = 0x0080;
constexpr DWORD CBS_SORT = 0x0100;
constexpr DWORD CBS_HASSTRINGS = 0x0200;
constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;
constexpr DWORD CBS_DISABLENOSCROLL = 0x0800;
constexpr DWORD CBS_UPPERCASE = 0x2000;
constexpr DWORD CBS_LOWERCASE = 0x4000;

constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_SETEDITSEL = 0x0142;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_DIR = 0x0145;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_GETDROPPEDCONTROLRECT = 0x0152;
constexpr UINT CB_SETITEMHEIGHT = 0x0153;
constexpr UINT CB_GETITEMHEIGHT = 0x0154;
constexpr UINT CB_SETEXTENDEDUI = 0x0155;
constexpr UINT CB_GETEXTENDEDUI = 0x0156;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr LRESULT CB_OKAY = 0;
constexpr LRESULT CB_ERR = -1;
constexpr LRESULT CB_ERRSPACE = -2;

constexpr UINT CBN_ERRSPACE = static_cast<UINT>(-1);
constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT CBN_DBLCLK = 2;
constexpr UINT CBN_SETFOCUS = 3;
constexpr UINT CBN_KILLFOCUS = 4;
constexpr UINT CBN_EDITCHANGE = 5;
constexpr UINT CBN_EDITUPDATE = 6;
constexpr UINT CBN_DROPDOWN = 7;
constexpr UINT CBN_CLOSEUP = 8;
constexpr UINT CBN_SELENDOK = 9;
constexpr UINT CBN_SELENDCANCEL = 10;

// ---- Scroll bar control -----------------------------------------------------------------------------------
constexpr DWORD SBS_HORZ = 0x0000;
constexpr DWORD SBS_VERT = 0x0001;
constexpr DWORD SBS_TOPALIGN = 0x0002;
constexpr DWORD SBS_LEFTALIGN = 0x0002;
constexpr DWORD SBS_BOTTOMALIGN = 0x0004;
constexpr DWORD SBS_RIGHTALIGN = 0x0004;
constexpr DWORD SBS_SIZEBOX = 0x0008;
constexpr DWORD SBS_SIZEGRIP = 0x0010;

constexpr UINT SBM_SETPOS = 0x00E0;
constexpr UINT SBM_GETPOS = 0x00E1;
constexpr UINT SBM_SETRANGE = 0x00E2;
constexpr UINT SBM_GETRANGE = 0x00E3;
constexpr UINT SBM_ENABLE_ARROWS = 0x00E4;
constexpr UINT SBM_SETRANGEREDRAW = 0x00E6;
constexpr UINT SBM_SETSCROLLINFO = 0x00E9;
constexpr UINT SBM_GETSCROLLINFO = 0x00EA;

// ---- Common controls: shared ---------------------------------------------------------------------------
constexpr UINT CCM_FIRST = 0x2000;
constexpr UINT CCM_SETBKCOLOR = CCM_FIRST + 1;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;

// ---- Trackbar ---------------------------------------------------------------------------------------------
constexpr DWORD TBS_AUTOTICKS = 0x0001;
constexpr DWORD TBS_VERT = 0x0002;
constexpr DWORD TBS_HORZ = 0x0000;
constexpr DWORD TBS_TOP = 0x0004;
constexpr DWORD TBS_LEFT = 0x0004;
constexpr DWORD TBS_BOTH = 0x0008;
constexpr DWORD TBS_NOTICKS = 0x0010;
constexpr DWORD TBS_NOTHUMB = 0x0080;

constexpr UINT TBM_GETPOS = WM_USER;
constexpr UINT TBM_GETRANGEMIN = WM_USER + 1;
constexpr UINT TBM_GETRANGEMAX = WM_USER + 2;
constexpr UINT TBM_SETPOS = WM_USER + 5;
constexpr UINT TBM_SETRANGE = WM_USER + 6;
constexpr UINT TBM_SETRANGEMIN = WM_USER + 7;
constexpr UINT TBM_SETRANGEMAX = WM_USER + 8;
constexpr UINT TBM_SETTICFREQ = WM_USER + 20;
constexpr UINT TBM_SETPAGESIZE = WM_USER + 21;
constexpr UINT TBM_GETPAGESIZE = WM_USER + 22;
constexpr UINT TBM_SETLINESIZE = WM_USER + 23;
constexpr UINT TBM_GETLINESIZE = WM_USER + 24;
constexpr UINT TBM_GETTHUMBRECT = WM_USER + 25;
constexpr UINT TBM_GETCHANNELRECT = WM_USER + 26;

constexpr WORD TB_LINEUP = 0;
constexpr WORD TB_LINEDOWN = 1;
constexpr WORD TB_PAGEUP = 2;
constexpr WORD TB_PAGEDOWN = 3;
constexpr WORD TB_THUMBPOSITION = 4;
constexpr WORD TB_THUMBTRACK = 5;
constexpr WORD TB_TOP = 6;
constexpr WORD TB_BOTTOM = 7;
constexpr WORD TB_ENDTRACK = 8;

// ---- Progress bar -----------------------------------------------------------------------------------------
constexpr DWORD PBS_SMOOTH = 0x01;
constexpr DWORD PBS_VERTICAL = 0x04;
constexpr UINT PBM_SETRANGE = WM_USER + 1;
constexpr UINT PBM_SETPOS = WM_USER + 2;
constexpr UINT PBM_DELTAPOS = WM_USER + 3;
constexpr UINT PBM_SETSTEP = WM_USER + 4;
constexpr UINT PBM_STEPIT = WM_USER + 5;
constexpr UINT PBM_SETRANGE32 = WM_USER + 6;
constexpr UINT PBM_GETRANGE = WM_USER + 7;
constexpr UINT PBM_GETPOS = WM_USER + 8;
constexpr UINT PBM_SETBARCOLOR = WM_USER + 9;
constexpr UINT PBM_SETBKCOLOR = CCM_SETBKCOLOR;
struct PBRANGE {
  int iLow;
  int iHigh;
};

// ---- Up-down ----------------------------------------------------------------------------------------------
constexpr DWORD UDS_WRAP = 0x0001;
constexpr DWORD UDS_SETBUDDYINT = 0x0002;
constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
constexpr DWORD UDS_ALIGNLEFT = 0x0008;
constexpr DWORD UDS_AUTOBUDDY = 0x0010;
constexpr DWORD UDS_ARROWKEYS = 0x0020;
constexpr DWORD UDS_HORZ = 0x0040;
constexpr DWORD UDS_NOTHOUSANDS = 0x0080;

constexpr UINT UDM_SETRANGE = WM_USER + 101;
constexpr UINT UDM_GETRANGE = WM_USER + 102;
constexpr UINT UDM_SETPOS = WM_USER + 103;
constexpr UINT UDM_GETPOS = WM_USER + 104;
constexpr UINT UDM_SETBUDDY = WM_USER + 105;
constexpr UINT UDM_GETBUDDY = WM_USER + 106;
constexpr UINT UDM_SETACCEL = WM_USER + 107;
constexpr UINT UDM_GETACCEL = WM_USER + 108;
constexpr UINT UDM_SETBASE = WM_USER + 109;
constexpr UINT UDM_GETBASE = WM_USER + 110;
constexpr UINT UDM_SETRANGE32 = WM_USER + 111;
constexpr UINT UDM_GETRANGE32 = WM_USER + 112;
constexpr UINT UDM_SETPOS32 = WM_USER + 113;
constexpr UINT UDM_GETPOS32 = WM_USER + 114;
constexpr UINT UDN_FIRST = static_cast<UINT>(-721);
constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;
struct NMUPDOWN {
  NMHDR hdr;
  int iPos;
  int iDelta;
};
using LPNMUPDOWN = NMUPDOWN*;
struct UDACCEL {
  UINT nSec;
  UINT nInc;
};

// ---- Tab control ------------------------------------------------------------------------------------------
constexpr DWORD TCS_BUTTONS = 0x0100;
constexpr DWORD TCS_MULTILINE = 0x0200;
constexpr DWORD TCS_FOCUSNEVER = 0x8000;
constexpr UINT TCM_FIRST = 0x1300;
constexpr UINT TCM_GETIMAGELIST = TCM_FIRST + 2;
constexpr UINT TCM_SETIMAGELIST = TCM_FIRST + 3;
constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4;
constexpr UINT TCM_GETITEM = TCM_FIRST + 5;
constexpr UINT TCM_SETITEM = TCM_FIRST + 6;
constexpr UINT TCM_INSERTITEM = TCM_FIRST + 7;
constexpr UINT TCM_DELETEITEM = TCM_FIRST + 8;
constexpr UINT TCM_DELETEALLITEMS = TCM_FIRST + 9;
constexpr UINT TCM_GETITEMRECT = TCM_FIRST + 10;
constexpr UINT TCM_GETCURSEL = TCM_FIRST + 11;
constexpr UINT TCM_SETCURSEL = TCM_FIRST + 12;
constexpr UINT TCM_HITTEST = TCM_FIRST + 13;
constexpr UINT TCM_ADJUSTRECT = TCM_FIRST + 40;
constexpr UINT TCM_GETCURFOCUS = TCM_FIRST + 47;
constexpr UINT TCM_SETCURFOCUS = TCM_FIRST + 48;
constexpr UINT TCIF_TEXT = 0x0001;
constexpr UINT TCIF_IMAGE = 0x0002;
constexpr UINT TCIF_PARAM = 0x0008;
constexpr UINT TCIF_STATE = 0x0010;
constexpr UINT TCHT_NOWHERE = 0x0001;
constexpr UINT TCHT_ONITEM = 0x0006;
constexpr UINT TCN_FIRST = static_cast<UINT>(-550);
constexpr UINT TCN_KEYDOWN = TCN_FIRST - 0;
constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1;
constexpr UINT TCN_SELCHANGING = TCN_FIRST - 2;
struct TCITEM {
  UINT mask;
  DWORD dwState;
  DWORD dwStateMask;
  LPSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
};
using TCITEMA = TCITEM;
using LPTCITEM = TCITEM*;
struct TCHITTESTINFO {
  POINT pt;
  UINT flags;
};

// ---- Tooltip ----------------------------------------------------------------------------------------------
constexpr DWORD TTS_ALWAYSTIP = 0x01;
constexpr DWORD TTS_NOPREFIX = 0x02;
constexpr UINT TTF_IDISHWND = 0x0001;
constexpr UINT TTF_CENTERTIP = 0x0002;
constexpr UINT TTF_SUBCLASS = 0x0010;
constexpr UINT TTF_TRACK = 0x0020;
constexpr UINT TTF_ABSOLUTE = 0x0080;
constexpr UINT TTF_TRANSPARENT = 0x0100;
constexpr UINT TTDT_AUTOMATIC = 0;
constexpr UINT TTDT_RESHOW = 1;
constexpr UINT TTDT_AUTOPOP = 2;
constexpr UINT TTDT_INITIAL = 3;
constexpr UINT TTM_ACTIVATE = WM_USER + 1;
constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
constexpr UINT TTM_ADDTOOL = WM_USER + 4;
constexpr UINT TTM_DELTOOL = WM_USER + 5;
constexpr UINT TTM_NEWTOOLRECT = WM_USER + 6;
constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
constexpr UINT TTM_GETTOOLINFO = WM_USER + 8;
constexpr UINT TTM_SETTOOLINFO = WM_USER + 9;
constexpr UINT TTM_GETTEXT = WM_USER + 11;
constexpr UINT TTM_UPDATETIPTEXT = WM_USER + 12;
constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
constexpr UINT TTM_GETDELAYTIME = WM_USER + 21;
constexpr UINT TTM_POP = WM_USER + 28;
constexpr UINT TTM_UPDATE = WM_USER + 29;
constexpr UINT TTN_FIRST = static_cast<UINT>(-520);
constexpr UINT TTN_GETDISPINFO = TTN_FIRST - 0;
constexpr UINT TTN_SHOW = TTN_FIRST - 1;
constexpr UINT TTN_POP = TTN_FIRST - 2;
inline LPSTR const LPSTR_TEXTCALLBACK = reinterpret_cast<LPSTR>(-1);
struct TOOLINFO {
  UINT cbSize;
  UINT uFlags;
  HWND hwnd;
  UINT_PTR uId;
  RECT rect;
  HINSTANCE hinst;
  LPSTR lpszText;
  LPARAM lParam;
};
using TOOLINFOA = TOOLINFO;
using LPTOOLINFO = TOOLINFO*;
struct NMTTDISPINFO {
  NMHDR hdr;
  LPSTR lpszText;
  char szText[80];
  HINSTANCE hinst;
  UINT uFlags;
  LPARAM lParam;
};

// ---- Image lists ------------------------------------------------------------------------------------------
struct ImageListTag;
using HIMAGELIST = ImageListTag*;
constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_SELECTED = 0x0004;

// ---- Tree view --------------------------------------------------------------------------------------------
struct TreeItemTag;
using HTREEITEM = TreeItemTag*;
inline HTREEITEM const TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x10000));
inline HTREEITEM const TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFF));
inline HTREEITEM const TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFE));
inline HTREEITEM const TVI_SORT = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFD));

constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;
constexpr DWORD TVS_EDITLABELS = 0x0008;
constexpr DWORD TVS_DISABLEDRAGDROP = 0x0010;
constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;

constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_PARAM = 0x0004;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_HANDLE = 0x0010;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
constexpr UINT TVIF_CHILDREN = 0x0040;
constexpr UINT TVIS_SELECTED = 0x0002;
constexpr UINT TVIS_EXPANDED = 0x0020;
constexpr UINT TVE_COLLAPSE = 0x0001;
constexpr UINT TVE_EXPAND = 0x0002;
constexpr UINT TVE_TOGGLE = 0x0003;
constexpr UINT TVGN_ROOT = 0x0000;
constexpr UINT TVGN_NEXT = 0x0001;
constexpr UINT TVGN_PREVIOUS = 0x0002;
constexpr UINT TVGN_PARENT = 0x0003;
constexpr UINT TVGN_CHILD = 0x0004;
constexpr UINT TVGN_FIRSTVISIBLE = 0x0005;
constexpr UINT TVGN_NEXTVISIBLE = 0x0006;
constexpr UINT TVGN_PREVIOUSVISIBLE = 0x0007;
constexpr UINT TVGN_CARET = 0x0009;
constexpr int TVSIL_NORMAL = 0;
constexpr int TVSIL_STATE = 2;
constexpr UINT TVC_UNKNOWN = 0x0000;
constexpr UINT TVC_BYMOUSE = 0x0001;
constexpr UINT TVC_BYKEYBOARD = 0x0002;
constexpr UINT TVHT_NOWHERE = 0x0001;
constexpr UINT TVHT_ONITEMICON = 0x0002;
constexpr UINT TVHT_ONITEMLABEL = 0x0004;
constexpr UINT TVHT_ONITEMINDENT = 0x0008;
constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL;

constexpr UINT TV_FIRST = 0x1100;
constexpr UINT TVM_INSERTITEM = TV_FIRST + 0;
constexpr UINT TVM_DELETEITEM = TV_FIRST + 1;
constexpr UINT TVM_EXPAND = TV_FIRST + 2;
constexpr UINT TVM_GETITEMRECT = TV_FIRST + 4;
constexpr UINT TVM_GETCOUNT = TV_FIRST + 5;
constexpr UINT TVM_GETINDENT = TV_FIRST + 6;
constexpr UINT TVM_SETINDENT = TV_FIRST + 7;
constexpr UINT TVM_GETIMAGELIST = TV_FIRST + 8;
constexpr UINT TVM_SETIMAGELIST = TV_FIRST + 9;
constexpr UINT TVM_GETNEXTITEM = TV_FIRST + 10;
constexpr UINT TVM_SELECTITEM = TV_FIRST + 11;
constexpr UINT TVM_GETITEM = TV_FIRST + 12;
constexpr UINT TVM_SETITEM = TV_FIRST + 13;
constexpr UINT TVM_HITTEST = TV_FIRST + 17;
constexpr UINT TVM_ENSUREVISIBLE = TV_FIRST + 20;
constexpr UINT TVM_GETITEMHEIGHT = TV_FIRST + 28;

constexpr UINT TVN_FIRST = static_cast<UINT>(-400);
constexpr UINT TVN_SELCHANGING = TVN_FIRST - 1;
constexpr UINT TVN_SELCHANGED = TVN_FIRST - 2;
constexpr UINT TVN_GETDISPINFO = TVN_FIRST - 3;
constexpr UINT TVN_ITEMEXPANDING = TVN_FIRST - 5;
constexpr UINT TVN_ITEMEXPANDED = TVN_FIRST - 6;
constexpr UINT TVN_DELETEITEM = TVN_FIRST - 9;
constexpr UINT TVN_KEYDOWN = TVN_FIRST - 12;

struct TVITEM {
  UINT mask;
  HTREEITEM hItem;
  UINT state;
  UINT stateMask;
  LPSTR pszText;
  int cchTextMax;
  int iImage;
  int iSelectedImage;
  int cChildren;
  LPARAM lParam;
};
using TVITEMA = TVITEM;
using LPTVITEM = TVITEM*;
struct TVINSERTSTRUCT {
  HTREEITEM hParent;
  HTREEITEM hInsertAfter;
  TVITEM item;
};
using TVINSERTSTRUCTA = TVINSERTSTRUCT;
using LPTVINSERTSTRUCT = TVINSERTSTRUCT*;
struct NMTREEVIEW {
  NMHDR hdr;
  UINT action;
  TVITEM itemOld;
  TVITEM itemNew;
  POINT ptDrag;
};
using LPNMTREEVIEW = NMTREEVIEW*;
struct NMTVDISPINFO {
  NMHDR hdr;
  TVITEM item;
};
struct TVHITTESTINFO {
  POINT pt;
  UINT flags;
  HTREEITEM hItem;
};
struct NMTVKEYDOWN {
  NMHDR hdr;
  WORD wVKey;
  UINT flags;
};

// ---- Rich edit --------------------------------------------------------------------------------------------
constexpr UINT EM_CANPASTE = 0x0432;
constexpr UINT EM_EXGETSEL = 0x0434;
constexpr UINT EM_EXLIMITTEXT = 0x0435;
constexpr UINT EM_EXLINEFROMCHAR = 0x0436;
constexpr UINT EM_EXSETSEL = 0x0437;
constexpr UINT EM_FORMATRANGE = 0x0439;
constexpr UINT EM_GETCHARFORMAT = 0x043A;
constexpr UINT EM_GETEVENTMASK = 0x043B;
constexpr UINT EM_GETPARAFORMAT = 0x043D;
constexpr UINT EM_GETSELTEXT = 0x043E;
constexpr UINT EM_REQUESTRESIZE = 0x0441;
constexpr UINT EM_SETBKGNDCOLOR = 0x0443;
constexpr UINT EM_SETCHARFORMAT = 0x0444;
constexpr UINT EM_SETEVENTMASK = 0x0445;
constexpr UINT EM_SETPARAFORMAT = 0x0447;
constexpr UINT EM_SETTARGETDEVICE = 0x0448;
constexpr UINT EM_STREAMIN = 0x0449;
constexpr UINT EM_STREAMOUT = 0x044A;
constexpr UINT EM_SETOPTIONS = 0x044D;
constexpr UINT EM_GETOPTIONS = 0x044E;
constexpr UINT EM_FINDTEXTEX = 0x044F;

constexpr UINT EN_REQUESTRESIZE = 0x0701;
constexpr UINT EN_SELCHANGE = 0x0702;
constexpr UINT EN_PROTECTED = 0x0704;

constexpr DWORD ENM_NONE = 0x00000000;
constexpr DWORD ENM_CHANGE = 0x00000001;
constexpr DWORD ENM_UPDATE = 0x00000002;
constexpr DWORD ENM_SCROLL = 0x00000004;
constexpr DWORD ENM_REQUESTRESIZE = 0x00040000;
constexpr DWORD ENM_SELCHANGE = 0x00080000;
constexpr DWORD ENM_PROTECTED = 0x00200000;

constexpr WPARAM ECOOP_SET = 1;
constexpr WPARAM ECOOP_OR = 2;
constexpr WPARAM ECOOP_AND = 3;
constexpr WPARAM ECOOP_XOR = 4;
constexpr DWORD ECO_AUTOWORDSELECTION = 0x00000001;
constexpr DWORD ECO_AUTOVSCROLL = 0x00000040;
constexpr DWORD ECO_AUTOHSCROLL = 0x00000080;
constexpr DWORD ECO_NOHIDESEL = 0x00000100;
constexpr DWORD ECO_READONLY = 0x00000800;
constexpr DWORD ECO_WANTRETURN = 0x00001000;
constexpr DWORD ECO_SAVESEL = 0x00008000;
// Rich edit style: a scroll bar stays shown (disabled) when the content fits.
constexpr DWORD ES_DISABLENOSCROLL = 0x00002000;
constexpr DWORD ECO_SELECTIONBAR = 0x01000000;

constexpr UINT SF_TEXT = 0x0001;
constexpr UINT SF_RTF = 0x0002;
constexpr UINT SFF_SELECTION = 0x8000;

constexpr DWORD CFM_BOLD = 0x00000001;
constexpr DWORD CFM_ITALIC = 0x00000002;
constexpr DWORD CFM_UNDERLINE = 0x00000004;
constexpr DWORD CFM_STRIKEOUT = 0x00000008;
constexpr DWORD CFM_PROTECTED = 0x00000010;
constexpr DWORD CFM_CHARSET = 0x08000000;
constexpr DWORD CFM_OFFSET = 0x10000000;
constexpr DWORD CFM_FACE = 0x20000000;
constexpr DWORD CFM_COLOR = 0x40000000;
constexpr DWORD CFM_SIZE = 0x80000000;
constexpr DWORD CFE_BOLD = 0x0001;
constexpr DWORD CFE_ITALIC = 0x0002;
constexpr DWORD CFE_UNDERLINE = 0x0004;
constexpr DWORD CFE_STRIKEOUT = 0x0008;
constexpr DWORD CFE_PROTECTED = 0x0010;
constexpr DWORD CFE_AUTOCOLOR = 0x40000000;
constexpr WPARAM SCF_DEFAULT = 0x0000;
constexpr WPARAM SCF_SELECTION = 0x0001;
constexpr WPARAM SCF_WORD = 0x0002;
constexpr WPARAM SCF_ALL = 0x0004;

constexpr DWORD PFM_STARTINDENT = 0x00000001;
constexpr DWORD PFM_RIGHTINDENT = 0x00000002;
constexpr DWORD PFM_OFFSET = 0x00000004;
constexpr DWORD PFM_ALIGNMENT = 0x00000008;
constexpr DWORD PFM_TABSTOPS = 0x00000010;
constexpr DWORD PFM_NUMBERING = 0x00000020;
constexpr WORD PFA_LEFT = 1;
constexpr WORD PFA_RIGHT = 2;
constexpr WORD PFA_CENTER = 3;
constexpr int MAX_TAB_STOPS = 32;

constexpr WORD SEL_EMPTY = 0x0000;
constexpr WORD SEL_TEXT = 0x0001;
constexpr WORD SEL_MULTICHAR = 0x0004;

// Search flags shared with the find dialog (CFindReplaceDialog.h).
constexpr DWORD FR_DOWN = 0x00000001;
constexpr DWORD FR_WHOLEWORD = 0x00000002;
constexpr DWORD FR_MATCHCASE = 0x00000004;

struct CHARFORMATA {
  UINT cbSize;
  DWORD dwMask;
  DWORD dwEffects;
  LONG yHeight;  // twips
  LONG yOffset;
  COLORREF crTextColor;
  BYTE bCharSet;
  BYTE bPitchAndFamily;
  char szFaceName[32];
};
using CHARFORMAT = CHARFORMATA;
static_assert(sizeof(CHARFORMAT) == 60);

struct PARAFORMAT {
  UINT cbSize;
  DWORD dwMask;
  WORD wNumbering;
  WORD wReserved;
  LONG dxStartIndent;
  LONG dxRightIndent;
  LONG dxOffset;
  WORD wAlignment;
  SHORT cTabCount;
  LONG rgxTabs[MAX_TAB_STOPS];
};
static_assert(sizeof(PARAFORMAT) == 156);

struct CHARRANGE {
  LONG cpMin;
  LONG cpMax;
};

struct FINDTEXTEXA {
  CHARRANGE chrg;
  LPCSTR lpstrText;
  CHARRANGE chrgText;
};
using FINDTEXTEX = FINDTEXTEXA;

struct FORMATRANGE {
  HDC hdc;
  HDC hdcTarget;
  RECT rc;      // area to render into, twips
  RECT rcPage;  // the whole page, twips
  CHARRANGE chrg;
};

using EDITSTREAMCALLBACK = DWORD (*)(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG* pcb);
struct EDITSTREAM {
  DWORD_PTR dwCookie;
  DWORD dwError;
  EDITSTREAMCALLBACK pfnCallback;
};

struct REQRESIZE {
  NMHDR nmhdr;
  RECT rc;
};

struct SELCHANGE {
  NMHDR nmhdr;
  CHARRANGE chrg;
  WORD seltyp;
};
