#include "fieldsolver/GradingFunction.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
}

double GradingFunction::TailFalloff(double t) const
{
    return tails_ == Tails::Lorentzian ? 1.0 / (t * t + 1.0) : std::pow(t * t + 1.0, -1.5);
}

double GradingFunction::LeftTail(double x) const
{
    const double t = (x - leftCentre_) / tailWidth_;
    const double aw = leftAmplitude_ * tailWidth_;
    return tails_ == Tails::Lorentzian ? aw * (std::atan(t) + kPi / 2) : aw * (t / std::sqrt(t * t + 1.0) + 1.0);
}

double GradingFunction::RightTailRest(double x) const
{
    const double t = (x - rightCentre_) / tailWidth_;
    const double aw = rightAmplitude_ * tailWidth_;
    return tails_ == Tails::Lorentzian ? aw * (kPi / 2 - std::atan(t)) : aw * (1.0 - t / std::sqrt(t * t + 1.0));
}

void GradingFunction::Build(Tails tails, float xMin, float xMax, float tailWidth, const std::vector<Source>& sources)
{
    tails_ = tails;
    xMin_ = xMin;
    xMax_ = xMax;
    tailWidth_ = tailWidth > 0 ? tailWidth : 1.0;
    step_ = (xMax_ - xMin_) / (kPoints - 1);
    density_.assign(kPoints, 0.0);
    cumulative_.assign(kPoints, 0.0);
    leftCentre_ = rightCentre_ = 0.5 * (xMin_ + xMax_);
    leftAmplitude_ = rightAmplitude_ = 0.0;
    for (int i = 0; i < kPoints; ++i) {
        const double xi = xMin_ + i * step_;
        double best = 0.0, bestCentre = xi, bestAmplitude = 0.0;
        for (const Source& s : sources) {
            const double xc = std::clamp(xi, double(s.x0), double(s.x1));
            const double f = xc == xi ? 1.0 : TailFalloff((xc - xi) / tailWidth_);
            double u = (double(s.x1) - s.x0) / (2.0 * tailWidth_);
            if (u == 0.0)
                u = 0.5;
            const double g = tails_ == Tails::Lorentzian ? kPi / 2 - std::atan(u) : 0.5 - u / std::sqrt(u * u + 1.0);
            const double a = std::min(1.0, 2.0 / (g / u + 1.0));
            const double value = f * a * s.density;
            if (value > best) {
                best = value;
                bestCentre = xc;
                bestAmplitude = a * s.density;
            }
        }
        density_[i] = best;
        if (i == 0) {
            leftCentre_ = bestCentre;
            leftAmplitude_ = bestAmplitude;
        }
        if (i == kPoints - 1) {
            rightCentre_ = bestCentre;
            rightAmplitude_ = bestAmplitude;
        }
    }
    cumulative_[0] = LeftTail(xMin_);
    for (int i = 1; i < kPoints; ++i)
        cumulative_[i] = cumulative_[i - 1] + (density_[i - 1] + density_[i]) * step_ / 2;
    total_ = cumulative_[kPoints - 1] + RightTailRest(xMax_);
}

void GradingFunction::Scale(double s)
{
    leftAmplitude_ *= s;
    rightAmplitude_ *= s;
    total_ *= s;
    for (auto& d : density_)
        d *= s;
    for (auto& c : cumulative_)
        c *= s;
}

double GradingFunction::Density(double x) const
{
    if (x < xMin_)
        return leftAmplitude_ * TailFalloff((x - leftCentre_) / tailWidth_);
    if (x > xMax_)
        return rightAmplitude_ * TailFalloff((x - rightCentre_) / tailWidth_);
    if (step_ <= 0)
        return density_[0];
    const double pos = (x - xMin_) / step_;
    const int i = int(pos);
    if (i < 0)
        return density_[0];
    if (i >= kPoints - 1)
        return density_[kPoints - 1];
    const double f = pos - i;
    return density_[i] + f * (density_[i + 1] - density_[i]);
}

double GradingFunction::Cumulative(double x) const
{
    if (x < xMin_)
        return LeftTail(x);
    if (x > xMax_)
        return total_ - RightTailRest(x);
    if (step_ <= 0)
        return cumulative_[0];
    const double pos = (x - xMin_) / step_;
    const int i = int(pos);
    if (i < 0)
        return cumulative_[0];
    if (i >= kPoints - 1)
        return cumulative_[kPoints - 1];
    const double f = pos - i;
    return cumulative_[i] + f * (cumulative_[i + 1] - cumulative_[i]);
}

double GradingFunction::Inverse(double f) const
{
    if (f < cumulative_[0]) {
        const double aw = leftAmplitude_ * tailWidth_;
        if (aw <= 0)
            return xMin_;
        const double v = f / aw;
        double t;
        if (tails_ == Tails::Lorentzian) {
            t = std::tan(std::max(v - kPi / 2, -kPi / 2 + 1e-12));
        } else {
            const double w = std::clamp(v - 1.0, -1.0 + 1e-15, 1.0 - 1e-15);
            t = w / std::sqrt(1.0 - w * w);
        }
        return leftCentre_ + t * tailWidth_;
    }
    if (f > cumulative_[kPoints - 1]) {
        const double aw = rightAmplitude_ * tailWidth_;
        if (aw <= 0)
            return xMax_;
        const double rest = (total_ - f) / aw;
        double t;
        if (tails_ == Tails::Lorentzian) {
            t = std::tan(std::min(kPi / 2 - rest, kPi / 2 - 1e-12));
        } else {
            const double w = std::clamp(1.0 - rest, -1.0 + 1e-15, 1.0 - 1e-15);
            t = w / std::sqrt(1.0 - w * w);
        }
        return rightCentre_ + t * tailWidth_;
    }
    // Bisection over the table, then linear interpolation inside the bracket.
    int lo = 0, hi = kPoints - 1;
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (cumulative_[mid] <= f)
            lo = mid;
        else
            hi = mid;
    }
    const double span = cumulative_[hi] - cumulative_[lo];
    const double frac = span > 0 ? (f - cumulative_[lo]) / span : 0.0;
    return xMin_ + (lo + frac) * step_;
}
