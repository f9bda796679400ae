// The registration call of the grid's formatted-input cells (grid_extras): their creators with the control
// factory, their user attributes, texts and bitmaps. A program makes it before InitGridLibrary; it is safe
// to repeat.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/wintypes.h"

void GXRegisterExtras();
// The date and time cells' part of it: the date-time cells (52543, 52544), their attributes and texts.
void GXRegisterDateTimeCells();
// The masked-edit cell (52535) and its attributes.
void GXRegisterMaskCells();
// The OLE object cell (20132, for OLE-capable grids only) and its attribute and texts.
void GXRegisterOleCells();

// The currency cell's control id.
constexpr WORD GX_IDS_CTRL_CURRENCY = 52545;

namespace gx {

// Texts of the calculator.
constexpr UINT kCalculatorEnterText = 20124, kCalculatorErrorText = 20125;
// Bitmaps: the currency cell's calculator button and the calculator's Enter key.
constexpr UINT kCurrencyButtonBitmap = 20036, kCalculatorEnterBitmap = 20037;
// The choice lists of the negative and positive currency patterns.
constexpr UINT kNegativeCurrencyChoices = 20064, kPositiveCurrencyChoices = 20065;

// The popup-active flag of the grid globals: while set, a grid that loses the focus keeps its current
// cell's control editing (a popup of that control has the focus).
void SetPopupActive(BOOL active);

// A number printed with "%.<digits>f" in the C runtime's conventions, of any length.
CString FormatFixed(double value, int digits);

}  // namespace gx
