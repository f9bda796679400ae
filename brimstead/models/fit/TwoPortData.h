#pragma once
// Reader of two-port Touchstone 1.x files for the curve fit: the option line (frequency unit, parameter kind,
// number format, reference impedance) and the network data as transmission coefficients S21.

#include <complex>
#include <cstddef>
#include <string>
#include <vector>

struct TwoPortData {
    std::vector<double> frequencies;             // hertz, not decreasing
    std::vector<std::complex<double>> s21;       // at the reference impedance (two-ports only)
    double referenceImpedance = 50.0;            // ohms
};

// Reads the text of a two-port Touchstone 1.x file.
// Option line "# <unit> <parameter> <format> R <ohms>", any order, letter case ignored, defaults GHz S MA R 50:
// units Hz, kHz, MHz, GHz; formats RI, MA, DB; parameters S, and Z and Y (normalised to R, as Touchstone 1.x
// writes them), which are converted to S21. Only the first option line counts, and it comes before the data.
// Comments run from a "!" or "%" to the line end, as a "#" behind data does (the port count's rules). A data
// point is 9 values: frequency, then S11, S21, S12, S22 as pairs; a point may run over several lines, the first
// with an odd count of values. A point of 5 values after the network data, at a frequency not above their last
// one, starts the noise parameters, where reading stops (at a higher frequency it is a point cut short, an
// error). A UTF-8 byte-order mark before the first line is passed over. Every value of a point is a finite
// number (one too large to hold, such as "1e999", is not), and so is its S21. Returns false with a one-line
// reason in `error` for anything else.
bool ReadTwoPortTouchstone(const char* text, std::size_t size, TwoPortData& data, std::string& error);

// The same reading for a file of 1 to 9 ports (a point of 2 P^2 + 1 values; noise parameters only after two-port
// data): the frequencies of every point, and S21 only for two ports. It tells whether the whole of a model's
// network data can be read, not only its first point.
bool ReadTouchstoneNetwork(const char* text, std::size_t size, int ports, TwoPortData& data, std::string& error);

// The whole of a file's bytes; false with the reason in `error` (plat::FileReadReason: the system's text) when it
// cannot be opened or read, is not a regular file, is larger than modelfile::kMaxModelFileBytes or changed while
// it was read.
bool ReadModelFileText(const char* path, std::string& text, std::string& error);

// Whether the network data of a Touchstone file of `ports` ports read whole (ReadTouchstoneNetwork); false with
// the reason (the line and what is wrong there) in `error`. A file with keyword lines ("[Version] 2.0"), whose
// data follow other rules, is not judged (true).
bool CheckTouchstoneFile(const char* path, int ports, std::string& error);
