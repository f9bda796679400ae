// The classic desktop API's fundamental types, constants and helper macros.
//
// Widths follow the 64-bit classic model: BYTE/WORD/DWORD are 8/16/32 bits, LONG is 32 bits, WPARAM and
// LPARAM are pointer-sized. Handles are opaque pointer types whose values are tokens into the platform's
// handle tables (index and generation), never addresses of live objects.
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using CHAR = char;
using UCHAR = unsigned char;
using WCHAR = char16_t;
using LONGLONG = long long;  // not int64_t: on Linux that is `long`, which archives store as 32 bits
using ULONGLONG = unsigned long long;
using DWORD_PTR = std::uintptr_t;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HRESULT = std::int32_t;
using COLORREF = DWORD;
using ATOM = WORD;
using SIZE_T = std::size_t;
using LCID = DWORD;
using LANGID = WORD;

using LPSTR = char*;
using LPCSTR = const char*;
using LPTSTR = char*;
using LPCTSTR = const char*;
using TCHAR = char;
using LPVOID = void*;
using LPCVOID = const void*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPWORD = WORD*;
using LPLONG = LONG*;
using PBYTE = BYTE*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define BRIM_DECLARE_HANDLE(name) \
  struct name##__ {               \
    int unused;                   \
  };                              \
  using name = name##__*

BRIM_DECLARE_HANDLE(HWND);
BRIM_DECLARE_HANDLE(HINSTANCE);
BRIM_DECLARE_HANDLE(HMENU);
BRIM_DECLARE_HANDLE(HDC);
BRIM_DECLARE_HANDLE(HBRUSH);
BRIM_DECLARE_HANDLE(HPEN);
BRIM_DECLARE_HANDLE(HFONT);
BRIM_DECLARE_HANDLE(HBITMAP);
BRIM_DECLARE_HANDLE(HRGN);
BRIM_DECLARE_HANDLE(HPALETTE);
BRIM_DECLARE_HANDLE(HICON);
BRIM_DECLARE_HANDLE(HHOOK);
BRIM_DECLARE_HANDLE(HKEY);
BRIM_DECLARE_HANDLE(HMONITOR);
BRIM_DECLARE_HANDLE(HRSRC);

using HANDLE = void*;
using HGDIOBJ = void*;
using HGLOBAL = void*;
using HLOCAL = void*;
using HCURSOR = HICON;
using HMODULE = HINSTANCE;
using HTHEME = void*;
using HDWP = void*;

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));
constexpr int MAX_PATH = 260;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

constexpr WORD LOWORD(DWORD_PTR v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(DWORD_PTR v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(DWORD_PTR v) { return static_cast<BYTE>(v & 0xFF); }
constexpr BYTE HIBYTE(DWORD_PTR v) { return static_cast<BYTE>((v >> 8) & 0xFF); }
constexpr LONG MAKELONG(DWORD_PTR lo, DWORD_PTR hi) {
  return static_cast<LONG>(static_cast<DWORD>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
constexpr WORD MAKEWORD(DWORD_PTR lo, DWORD_PTR hi) { return static_cast<WORD>((lo & 0xFF) | ((hi & 0xFF) << 8)); }
constexpr WPARAM MAKEWPARAM(DWORD_PTR lo, DWORD_PTR hi) { return static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(lo, hi))); }
constexpr LPARAM MAKELPARAM(DWORD_PTR lo, DWORD_PTR hi) { return static_cast<LPARAM>(MAKELONG(lo, hi)); }
constexpr LRESULT MAKELRESULT(DWORD_PTR lo, DWORD_PTR hi) { return static_cast<LRESULT>(MAKELONG(lo, hi)); }
// Mouse coordinates travel as two signed 16-bit halves.
constexpr int GET_X_LPARAM(LPARAM lp) { return static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lp))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lp))); }

// An integer resource id travels as a name below 0x10000.
inline LPCSTR MAKEINTRESOURCE(UINT id) { return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(id))); }
inline bool IS_INTRESOURCE(LPCSTR name) { return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0; }

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }
constexpr COLORREF PALETTEINDEX(WORD i) { return 0x01000000u | i; }
constexpr COLORREF PALETTERGB(BYTE r, BYTE g, BYTE b) { return 0x02000000u | RGB(r, g, b); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

struct POINT {
  LONG x;
  LONG y;
};
struct SIZE {
  LONG cx;
  LONG cy;
};
// Half-open: x in [left, right), y in [top, bottom).
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
struct POINTS {
  SHORT x;
  SHORT y;
};
using LPPOINT = POINT*;
using LPSIZE = SIZE*;
using LPRECT = RECT*;
using LPCRECT = const RECT*;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};
struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

// An iteration position in the classic collections; null means "no more elements".
struct PositionTag {};
using POSITION = PositionTag*;
