// Bounded copy and append of 8-bit texts. A null argument is a programming error that must never happen:
// it ends the process through FatalErrorReport.
#pragma once

// Copies at most `n` characters of `src` and a NUL into `dst`, which holds `n` + 1 bytes; the number of
// characters copied. A negative `n` copies nothing but the NUL.
int CopyStringN(char* dst, const char* src, int n);
// Appends `src` until `dst` holds `n` characters (nothing when it already holds `n` or more), then a NUL;
// `dst` holds `n` + 1 bytes. The new length.
int AppendStringN(char* dst, const char* src, int n);
