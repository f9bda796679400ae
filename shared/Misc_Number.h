// Numbers in files, independent of the C locale: "." is the decimal point whatever the process locale is.
#pragma once

// strtod's reading: leading white space and a sign, then the longest decimal number (with exponent), "inf" or
// "nan"; no number gives 0.0. `end` (optional) receives where the reading stopped (`text` when nothing was read).
double ParseDouble(const char* text, const char** end = nullptr);
