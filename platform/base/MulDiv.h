// MulDiv: a * b / c with a 64-bit intermediate, rounded half away from zero; -1 when c is 0 or the
// result does not fit in 32 bits (the classic call's failure value).
#pragma once

int MulDiv(int number, int numerator, int denominator);
