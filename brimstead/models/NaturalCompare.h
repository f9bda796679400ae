#pragma once
// Natural text order, used to sort capacitors and groups: "C2" before "C10", "c3" equal to "C3".

// When both texts end in a run of decimal digits (or one does) and the parts before the runs are equally long,
// those parts are compared ignoring case and then the numbers (a missing number counts as less than any number,
// runs of any length compare exactly); otherwise the whole texts are compared ignoring case. A null text sorts
// before any text; two null texts are equal. Returns <0, 0 or >0.
int CompareNatural(const char* a, const char* b);
