// Image lists: equally sized images kept with a transparency mask, drawn onto any DC. The handle is
// checked on every call (a destroyed or foreign list answers the classic failure value).
#pragma once

#include "platform/controls/winctrl.h"
#include "platform/gdi/gdiapi.h"

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// Adds every image of the strip (its width / cx of them); returns the first new index or -1. A mask
// bitmap marks transparent pixels white; AddMasked treats pixels of `mask` colour as transparent.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
BOOL ImageList_Remove(HIMAGELIST list, int index);  // -1 removes all
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
