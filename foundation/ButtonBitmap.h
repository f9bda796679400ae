// Bitmap helpers of the owner-draw buttons: loading a palette bitmap resource in the current system colours,
// and drawing a bitmap with a transparent colour or in the greyed "disabled" look.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "platform/gdi/CDC.h"

// Loads the RT_BITMAP resource `name` (a text or MAKEINTRESOURCE id) into `bitmap` as a device bitmap, after
// replacing black, dark grey, light grey and white in its colour table by the button text, shadow, face and
// highlight colours. Searches the resource module, the instance module, `fallback` (when given), then this
// library's own resources.
// Accepts only packed bitmaps with the 40-byte header, no compression, 1, 4 or 8 bits per pixel, and a colour
// table and pixel rows that fit the resource; anything else is refused. FALSE leaves `bitmap` empty.
BOOL LoadButtonBitmap(CBitmap& bitmap, LPCSTR name, HINSTANCE fallback = nullptr);

// Copies cx × cy of `src` at (sx, sy) to `dst` at (x, y), leaving the destination visible where the source
// holds `transparent`. With `highlight` dark pixels turn black, light ones white and everything is lightened.
void DrawBitmapTransparent(CDC* dst, int x, int y, int cx, int cy, CDC* src, int sx, int sy, COLORREF transparent,
                           BOOL highlight);

// Paints the dark pixels of the source area in `fill` at (x, y); light and transparent pixels leave the
// destination as it was (the disabled look of a themed bitmap button).
void DrawBitmapDisabled(CDC* dst, int x, int y, int cx, int cy, CDC* src, int sx, int sy, COLORREF transparent,
                        COLORREF fill);

namespace foundation {
// A packed 4-bit bitmap (40-byte header, a 16-entry colour table, bottom-up rows) drawn from rows of
// characters: the position of a character in `key` is its palette index, `palette` the first colours of the
// table (the rest black). Empty when the rows are empty or of unequal width, or hold a character not in `key`.
std::vector<BYTE> MakePackedDib4(const std::vector<std::string_view>& rows, std::string_view key,
                                 std::span<const RGBQUAD> palette);
// The screen's information DC, for bitmaps compatible with the screen.
HDC ScreenDC();
// This library's own resources: the menu button's arrows (23000 down, 23001 right) and the "Other" caption
// (string 23100), registered on first use.
HINSTANCE FoundationModule();
// The text of string `id` from the resource and instance modules, else this library's own.
CString LoadFoundationString(UINT id);
}  // namespace foundation
