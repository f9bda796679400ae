#pragma once
// Fit of a series R-L-C (a capacitor with its ESR and ESL) to the transmission coefficient S21 of a two-port
// fixture, for the two ways a capacitor is measured:
//   series-through: the capacitor in series between the ports,  S21 = 2 Z0 / (2 Z0 + Z)
//   shunt-through:  the capacitor from the through line to ground, S21 = 2 Z / (2 Z + Z0)
// with Z = R + j w L + 1 / (j w C).
//
// Contract: frequencies in hertz, > 0 (other points are ignored); Z0 > 0. The model is linear in
// (R, L, D = 1/C) through Z, so
//   1. Z is recovered from each measured S21 by inverting the fixture equation, and a linear least-squares fit
//      of R and of (L, D), weighted by |dS21/dZ|^2 so that it approximates a fit in S21, gives the start;
//   2. Levenberg-Marquardt on the weighted complex residuals S21_model - S21_measured refines (R, L, D), columns scaled
//      to unit norm so that ohms, henries and inverse farads condition alike.
// Nothing is constrained: a fit of the wrong fixture may give non-physical (negative) values, which only its
// misfit judges. Cost O(iterations x points).
//
// Each point is weighted by 1 / (|S21|^2 + floor^2), floor = 1e-3 of the largest |S21|, since analyser errors
// grow with the measured magnitude. The misfit is the normalised weighted RMS error
//   sqrt(sum w |S21_model - S21|^2 / sum w |S21|^2),
// about the RMS error relative to the measured magnitude.

#include <complex>
#include <limits>
#include <span>

enum class FitFixture { SeriesThrough, ShuntThrough };

struct RlcFitResult {
    enum class Status { NotRun, Success, TooFewPoints, NumericalIssue };
    Status status = Status::NotRun;
    double resistance = 0.0;  // ohms (ESR)
    double inductance = 0.0;  // henries (ESL)
    double capacitance = 0.0; // farads; infinite when the fitted 1/C is 0
    double misfit = std::numeric_limits<double>::infinity();
    int iterations = 0;
};

RlcFitResult FitSeriesRlc(std::span<const double> frequencies, std::span<const std::complex<double>> s21,
                          double z0, FitFixture fixture, int maxIterations);

// S21 that the fixture gives for an R-L-C at one frequency (the forward model, also for generating test data).
std::complex<double> FixtureS21(FitFixture fixture, double z0, double frequency, double r, double l, double c);
