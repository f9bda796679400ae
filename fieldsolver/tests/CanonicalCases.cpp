#include "CanonicalCases.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace canonical {

double EllipticK(double k)
{
    double a = 1.0, b = std::sqrt(1.0 - k * k);
    for (int i = 0; i < 64 && std::fabs(a - b) > 1e-16 * a; ++i) {
        const double an = 0.5 * (a + b);
        b = std::sqrt(a * b);
        a = an;
    }
    return kPi / (2.0 * a);
}

double MicrostripZ0Air(double u)
{
    const double f = 6.0 + (2.0 * kPi - 6.0) * std::exp(-std::pow(30.666 / u, 0.7528));
    return kEta0 / (2.0 * kPi) * std::log(f / u + std::sqrt(1.0 + 4.0 / (u * u)));
}

double MicrostripEpsEff(double u, double e)
{
    const double a = 1.0 + std::log((std::pow(u, 4) + std::pow(u / 52.0, 2)) / (std::pow(u, 4) + 0.432)) / 49.0
                     + std::log(1.0 + std::pow(u / 18.1, 3)) / 18.7;
    const double b = 0.564 * std::pow((e - 0.9) / (e + 3.0), 0.053);
    return (e + 1.0) / 2.0 + (e - 1.0) / 2.0 * std::pow(1.0 + 10.0 / u, -a * b);
}

FieldSolverInput CrossSection::Input() const
{
    FieldSolverInput in;
    in.layerCount = int(layers.size());
    in.layers = layers.data();
    in.traceCount = int(traces.size());
    in.traces = traces.data();
    in.LeftEdgeX = leftEdge;
    in.RightEdgeX = rightEdge;
    in.SpaceDielConstant = spaceEps;
    return in;
}

int CrossSection::Conductors() const
{
    int n = 0;
    for (const auto& t : traces)
        n = std::max(n, int(t.conductor));
    return n;
}

OutputRoom::OutputRoom(int count) : room(std::size_t(12) * count * count, 0.0f), n(count)
{
    float* p = room.data();
    const std::size_t nn = std::size_t(count) * count;
    for (float** f : {&output.capacitance, &output.inductance, &output.speeds, &output.modesToTraces, &output.tracesToModes,
                      &output.impedance, &output.equivalentResistors, &output.dcResistance, &output.extraMatrixA, &output.extraMatrixB,
                      &output.extraMatrixC, &output.extraMatrixD}) {
        *f = p;
        p += nn;
    }
    output.conductorCount = count;
}

FieldSolverLayer Layer(float thickness, int type, float eps)
{
    FieldSolverLayer l{};
    l.Thickness = thickness;
    l.LayerType = type;
    l.DielConstant = eps;
    return l;
}

FieldSolverTrace Trace(int layer, float centre, float width, int conductor, float toPlane)
{
    FieldSolverTrace t{};
    t.LayerIndex = layer;
    t.Center = centre;
    t.TopWidth = t.BottomWidth = width;
    t.conductor = conductor;
    t.LeftXtoPlane = t.RightXtoPlane = toPlane;
    return t;
}

namespace {

double L11(const OutputRoom& o) { return o.output.inductance[0]; }
double C11(const OutputRoom& o) { return o.output.capacitance[0]; }
double Z11(const OutputRoom& o) { return std::sqrt(double(o.output.inductance[0]) / o.output.capacitance[0]); }
double Speed(const OutputRoom& o) { return o.output.speeds[0]; }

std::string Format(const char* f, double v)
{
    char text[64];
    std::snprintf(text, sizeof text, f, v);
    return text;
}

} // namespace

std::vector<Case> AllCases()
{
    std::vector<Case> cases;
    const float mil = 2.54e-5f;
    const float planeT = 1.4f * mil;

    // Round wire over ground.
    for (double ratio : {2.0, 10.0}) {
        const float r = 4.0f * mil, h = float(ratio) * r;
        Case c;
        c.name = Format("wire over ground H/r=%g", ratio);
        c.section.layers = {Layer(2 * r, FS_LAYER_ROUTING), Layer(h - r, FS_LAYER_DIELECTRIC), Layer(planeT, FS_LAYER_PLANE)};
        c.section.traces = {Trace(1, 0.0f, 0.0f, 1)};
        const double a = std::acosh(ratio);
        c.checks = {{"L", kMu0 / (2 * kPi) * a, L11}, {"C", 2 * kPi * kEps0 / a, C11}};
        cases.push_back(c);
    }
    // Two-wire line.
    for (double ratio : {2.0, 5.0}) {
        const float d = 8.0f * mil, spacing = float(ratio) * d;
        Case c;
        c.name = Format("two-wire D/d=%g", ratio);
        c.section.layers = {Layer(d, FS_LAYER_ROUTING)};
        c.section.traces = {Trace(1, -spacing / 2, 0.0f, 1), Trace(1, spacing / 2, 0.0f, 0)};
        const double a = std::acosh(ratio);
        c.checks = {{"L", kMu0 / kPi * a, L11}, {"C", kPi * kEps0 / a, C11}};
        cases.push_back(c);
    }
    // Zero-thickness microstrip, in air and on eps_r 4.3.
    for (double u : {0.5, 1.0, 2.0, 5.0, 10.0}) {
        const float h = 4.0f * mil;
        for (double eps : {1.0, 4.3}) {
            Case c;
            c.name = Format("microstrip w/h=%g", u) + (eps > 1 ? " er=4.3" : " air");
            c.section.layers = {Layer(0.0f, FS_LAYER_ROUTING), Layer(h, FS_LAYER_DIELECTRIC, float(eps)), Layer(planeT, FS_LAYER_PLANE)};
            c.section.traces = {Trace(1, 0.0f, float(u) * h, 1)};
            const double z = MicrostripZ0Air(u);
            if (eps == 1.0) {
                c.checks = {{"Z0", z, Z11}, {"L", z / kC0, L11}};
            } else {
                const double ee = MicrostripEpsEff(u, eps);
                c.checks = {{"L", z / kC0, L11}, {"C", ee / (kC0 * z), C11}, {"v", kC0 / std::sqrt(ee), Speed}};
            }
            cases.push_back(c);
        }
    }
    // Centred zero-thickness stripline.
    for (double wb : {0.25, 0.5, 1.0, 2.0}) {
        const float b = 8.0f * mil;
        Case c;
        c.name = Format("stripline w/b=%g", wb);
        c.section.layers = {Layer(planeT, FS_LAYER_PLANE), Layer(b / 2, FS_LAYER_DIELECTRIC), Layer(0.0f, FS_LAYER_ROUTING),
                            Layer(b / 2, FS_LAYER_DIELECTRIC), Layer(planeT, FS_LAYER_PLANE)};
        c.section.traces = {Trace(3, 0.0f, float(wb) * b, 1)};
        const double k = 1.0 / std::cosh(kPi * wb / 2.0);
        const double z = kEta0 / 4.0 * EllipticK(k) / EllipticK(std::sqrt(1 - k * k));
        c.checks = {{"Z0", z, Z11}, {"L", z / kC0, L11}};
        cases.push_back(c);
    }
    // Edge-coupled zero-thickness stripline.
    for (double sb : {0.1, 0.5}) {
        const float b = 8.0f * mil, w = 0.5f * b, s = float(sb) * b;
        Case c;
        c.name = Format("coupled stripline w/b=0.5 s/b=%g", sb);
        c.section.layers = {Layer(planeT, FS_LAYER_PLANE), Layer(b / 2, FS_LAYER_DIELECTRIC), Layer(0.0f, FS_LAYER_ROUTING),
                            Layer(b / 2, FS_LAYER_DIELECTRIC), Layer(planeT, FS_LAYER_PLANE)};
        c.section.traces = {Trace(3, -(w + s) / 2, w, 1), Trace(3, (w + s) / 2, w, 2)};
        const double t1 = std::tanh(kPi * w / (2.0 * b)), t2 = std::tanh(kPi * (w + s) / (2.0 * b));
        const double ke = t1 * t2, ko = t1 / t2;
        auto z = [](double k) { return kEta0 / 4.0 * EllipticK(std::sqrt(1 - k * k)) / EllipticK(k); };
        auto even = [](const OutputRoom& o) {
            const float* L = o.output.inductance;
            const float* C = o.output.capacitance;
            return std::sqrt((double(L[0]) + L[1]) / (double(C[0]) + C[1]));
        };
        auto odd = [](const OutputRoom& o) {
            const float* L = o.output.inductance;
            const float* C = o.output.capacitance;
            return std::sqrt((double(L[0]) - L[1]) / (double(C[0]) - C[1]));
        };
        c.checks = {{"Z0e", z(ke), even}, {"Z0o", z(ko), odd}};
        cases.push_back(c);
    }
    // Zero-thickness coplanar waveguide in air.
    for (double ws : {1.0, 2.0}) {
        const float s = 4.0f * mil, w = float(ws) * s;
        Case c;
        c.name = Format("coplanar w/s=%g", ws);
        c.section.layers = {Layer(0.0f, FS_LAYER_PLANE)};
        c.section.traces = {Trace(1, 0.0f, w, 1, s)};
        const double k = w / (w + 2.0 * s);
        const double z = kEta0 / 4.0 * EllipticK(std::sqrt(1 - k * k)) / EllipticK(k);
        c.checks = {{"Z0", z, Z11}};
        cases.push_back(c);
    }
    // A round wire midway between two planes, the whole filled with eps_r 2.2: the shielded line of
    // a coaxial cable's kind. For d << b the wire is an equipotential of its line charge and the images
    // in the planes, L = mu0/(2 pi) ln(4 b/(pi d)) (the next term is of order (d/b)^4).
    {
        const float b = 40.0f * mil, d = 2.0f * mil;
        const double er = 2.2;
        Case c;
        c.name = "wire between planes d/b=0.05 er=2.2";
        c.section.layers = {Layer(planeT, FS_LAYER_PLANE, float(er)), Layer((b - d) / 2, FS_LAYER_DIELECTRIC, float(er)),
                            Layer(d, FS_LAYER_ROUTING, float(er)), Layer((b - d) / 2, FS_LAYER_DIELECTRIC, float(er)),
                            Layer(planeT, FS_LAYER_PLANE, float(er))};
        c.section.traces = {Trace(3, 0.0f, 0.0f, 1)};
        const double l = kMu0 / (2 * kPi) * std::log(4.0 * b / (kPi * d));
        c.checks = {{"L", l, L11}, {"C", er / (kC0 * kC0 * l), C11}, {"v", kC0 / std::sqrt(er), Speed}};
        cases.push_back(c);
    }
    // Homogeneous dielectric: the stripline w/b = 1 filled with eps_r 4.
    {
        const float b = 8.0f * mil;
        const double er = 4.0;
        Case c;
        c.name = "stripline w/b=1 er=4 homogeneous";
        c.section.layers = {Layer(planeT, FS_LAYER_PLANE, 4), Layer(b / 2, FS_LAYER_DIELECTRIC, 4), Layer(0.0f, FS_LAYER_ROUTING, 4),
                            Layer(b / 2, FS_LAYER_DIELECTRIC, 4), Layer(planeT, FS_LAYER_PLANE, 4)};
        c.section.traces = {Trace(3, 0.0f, b, 1)};
        const double k = 1.0 / std::cosh(kPi / 2.0);
        const double z = kEta0 / 4.0 * EllipticK(k) / EllipticK(std::sqrt(1 - k * k));
        c.checks = {{"L", z / kC0, L11}, {"C", er / (kC0 * z), C11}, {"v", kC0 / std::sqrt(er), Speed}};
        cases.push_back(c);
    }
    return cases;
}

double CaseError(const Case& c, const OutputRoom& out)
{
    double worst = 0.0;
    for (const auto& check : c.checks) {
        const double v = check.measure(out);
        const double e = std::fabs(v - check.reference) / std::fabs(check.reference);
        if (!std::isfinite(e))
            return std::numeric_limits<double>::infinity();
        worst = std::max(worst, e);
    }
    return worst;
}

} // namespace canonical
