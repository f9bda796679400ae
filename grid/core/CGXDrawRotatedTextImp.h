// Text drawn at an angle: the font selected by the caller carries the orientation; this object finds the
// starting point that places the rotated text in its rectangle by the alignment flags.
#pragma once

#include "grid/core/CGXGridGlobals.h"
#include "platform/base/wintypes.h"

class CDC;

class CGXDrawRotatedTextImp : public CGXImpBase {
 public:
  // length -1: the whole text. format: 1 centre, 2 right, 4 vertical centre, 8 bottom. angle in tenths of
  // a degree (any value; a full turn draws like none). Clipped to `clip`, or to the text rectangle.
  virtual int DrawRotatedText(CDC* dc, LPCSTR text, int length, int left, int top, int right, int bottom,
                              UINT format, LONG angle, const RECT* clip);
};

// Installs the process-wide object once; null until then (rotated text is then not drawn).
void InstallDrawRotatedTextImp();
CGXDrawRotatedTextImp* GetDrawRotatedTextImp();
