#pragma once
// Locale-independent reading of the numbers in model files. The C library's "%le" depends on the C locale's
// decimal point; these do not.

#include <cstddef>

// Reads the number at the start of [b, e) as "%le" would (optional sign, decimal or infinity/NaN forms).
// Returns the position after it, or nullptr when the text does not begin with a number.
const char* ParseLeadingDouble(const char* b, const char* e, double* value);

// True when the whole of [b, e) is one number.
bool ParseWholeDouble(const char* b, const char* e, double* value);
