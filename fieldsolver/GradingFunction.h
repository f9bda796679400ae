// A mesh density along x: a table across the traces' extent with analytic tails beyond it, and its
// cumulative count. The segmenters place piece ends at equal steps of the cumulative count, so
// segments crowd where conductors are and thin out with distance.
#pragma once

#include <vector>

class GradingFunction {
public:
    enum class Tails { Algebraic = 0, Lorentzian = 1 };

    struct Source {
        float x0, x1;   // the region's x extent
        float density;  // its segments per metre
    };

    void Build(Tails tails, float xMin, float xMax, float tailWidth, const std::vector<Source>& sources);
    double Density(double x) const;
    double Cumulative(double x) const;
    double Inverse(double f) const;
    // Multiplies amplitudes, tables and total by s.
    void Scale(double s);

    double Step() const { return step_; }
    double Total() const { return total_; }

    static constexpr int kPoints = 128;

private:
    double TailFalloff(double t) const;
    double LeftTail(double x) const;     // cumulative left of xMin
    double RightTailRest(double x) const;  // integral from x to +infinity

    Tails tails_ = Tails::Lorentzian;
    double xMin_ = 0, xMax_ = 0, tailWidth_ = 1, step_ = 0, total_ = 0;
    double leftCentre_ = 0, leftAmplitude_ = 0, rightCentre_ = 0, rightAmplitude_ = 0;
    std::vector<double> density_, cumulative_;
};
