// How the cells read a number from a text: a cell's value, a bound or an index kept as a text. One reading for
// every reader of the same thing, so that no reader takes a shorter form of the number (its leading digits, its
// low 32 bits) for the number the cell keeps:
//   DecimalNumber  the validation's bounds and the value they judge (CGXControl::BreaksBounds)
//   WholeNumber    the spin cell's value, bounds and start value; the progress cell's value and bounds
//   ChoiceIndex    the index a radio-button cell or an index-valued choice box shows and selects
#pragma once

#include <cstdint>
#include <optional>

#include "grid/core/CGXStyle.h"

namespace gx {

// Decimal floating-point text: leading white space, an optional sign, digits with an optional point, an optional
// exponent. Only that is a number: the C library's readers also take "nan", "inf" and hexadecimal text, and a NaN
// compares false with either bound, so a user could type past every bound. The reading does not depend on the
// process locale. `whole` tells whether nothing but white space follows the number; no number at all reads as 0
// (`whole` false). A number past the double range reads as infinite, one below it as 0.
double DecimalNumber(const char* text, bool* whole = nullptr);

// A text as a whole number of 64 bits: an integer text exactly ("9007199254740993"), a number with a fraction or
// an exponent as its whole part ("2.5" is 2, "1e+15" is 10^15). A text that is no number reads as 0. Empty where
// the number lies past 64 bits or is no finite number: "1e400", "-1e400", "inf" and "nan" alike.
std::optional<int64_t> WholeNumber(const char* text);

// The same number saturated: one past 64 bits (or infinite) at the end of the range it lies past; "nan" is 0.
int64_t SaturatedWholeNumber(const char* text);

// A style's user attribute as a number's text: a number set as one (a double) written so that it reads back as
// that number, which its own text ("%.13g") may not; any other attribute its text; empty when the style lacks it.
CString NumberAttributeText(const CGXStyle& style, WORD id);

// The 0-based place a value names in a list of choices counted from `base` (0 or 1): -1 unless the value is a
// whole number (blanks around it allowed, "1.0" and "1e0" are 1) at least `base` and within the places an int
// counts. "4294967297" and "1e400" name no place, as "2" names none in a list of two; an empty text none.
int ChoiceIndex(const char* text, int base);

}  // namespace gx
