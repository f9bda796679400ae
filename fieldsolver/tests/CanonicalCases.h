// Canonical cross-sections with closed-form references, shared by the accuracy tests and the
// benchmark. Every reference is computed here from its formula (elliptic integrals by the
// arithmetic-geometric mean), never copied.
#pragma once

#include "fieldsolver/FieldSolverRecords.h"

#include <functional>
#include <string>
#include <vector>

namespace canonical {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kC0 = 299792458.0;
inline constexpr double kMu0 = 4e-7 * kPi;   // the solver's own units assume the classical value
inline constexpr double kEps0 = 1.0 / (kMu0 * kC0 * kC0);
inline constexpr double kEta0 = kMu0 * kC0;

// Complete elliptic integral of the first kind, K(k) = pi / (2 AGM(1, sqrt(1 - k^2))).
double EllipticK(double k);
// Hammerstad-Jensen zero-thickness microstrip: air impedance and effective permittivity.
double MicrostripZ0Air(double u);
double MicrostripEpsEff(double u, double epsR);

// An owned cross-section that can hand out a FieldSolverInput.
struct CrossSection {
    std::vector<FieldSolverLayer> layers;
    std::vector<FieldSolverTrace> traces;
    float spaceEps = 1.0f;
    float leftEdge = -1.0f, rightEdge = 1.0f;
    FieldSolverInput Input() const;
    int Conductors() const;
};

// Output arrays owned by the caller, sized for n conductors.
struct OutputRoom {
    explicit OutputRoom(int n);
    std::vector<float> room;
    FieldSolverOutput output;
    int n;
    double At(const float* m, int i, int j) const { return m[i * n + j]; }
};

struct Check {
    std::string what;
    double reference;
    std::function<double(const OutputRoom&)> measure;
};

struct Case {
    std::string name;
    CrossSection section;
    std::vector<Check> checks;
};

FieldSolverLayer Layer(float thickness, int type, float eps = 1.0f);
FieldSolverTrace Trace(int layer, float centre, float width, int conductor, float toPlane = 0.0f);

// Every canonical case of the accuracy suite.
std::vector<Case> AllCases();

// Largest relative error over a case's checks after a solve (infinity when the solve failed).
double CaseError(const Case& c, const OutputRoom& out);

} // namespace canonical
