#pragma once
// Port counts of model files, told from their contents. The callers resolve relative names first
// (CDecouplingModelsHelper); these take a path as it is.

#include <cstddef>
#include <cstdio>

// Port count of a Touchstone file from the number of values in its first data point: a point of N values
// (frequency and N - 1 numbers) belongs to P ports when 2 P^2 + 1 = N. 0 when the file cannot be opened or
// its first point fits no port count, and (CountTouchstonePortsInFile) when the file's extension names another
// port count (see TouchstonePortsOfExtension).
//
// Reading rules, line by line (a line ends at a line feed or a carriage return):
//  - from the first "!", "%" or "#" on the rest of the line is dropped; the line's count is its number of
//    white-space separated pieces, or 0 when a piece does not begin with a number (0-count lines are skipped);
//  - the first line with an odd count starts the first point (even lines before it are skipped), following even
//    lines add to it, and the next odd line or the end of the reading ends it;
//  - a UTF-8 byte-order mark before the first line is passed over;
//  - a last line without a line end is not used, and a line of kMaxTouchstoneLine or more characters ends the
//    reading.
int CountTouchstonePortsInFile(const char* path);
int CountTouchstonePortsInStream(std::FILE* file);
int CountTouchstonePortsInText(const char* data, std::size_t size);

constexpr std::size_t kMaxTouchstoneLine = 100000;

// The port count that a file name's extension gives: 1 to 9 for ".s1p" to ".s9p" (and the "z" and "y" forms,
// letter case ignored); 0 for any other name (".sNp" included), whose data alone tell.
int TouchstonePortsOfExtension(const char* path);

// Port count written in the header of a "pls" file: a UTF-8 byte-order mark before the first line is passed over,
// lines that begin with "!" and line ends are skipped, one leading Y, Z, P or S (either case) is passed over, then a
// decimal integer follows. 0 when the file cannot be opened or no integer follows; a negative number or one beyond
// the int range also gives 0 (no port count).
int ReadHeaderPortCountInFile(const char* path);
int ReadHeaderPortCountInStream(std::FILE* file);
