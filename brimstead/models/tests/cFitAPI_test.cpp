#include "brimstead/models/TouchstonePorts.h"
#include "brimstead/models/fit/cFitAPI.h"
#include "brimstead/models/fit/TwoPortData.h"
#include "brimstead/models/tests/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;

enum class Decision { None, Series, Shunt };

const char* Name(Decision d)
{
    return d == Decision::Series ? "series" : d == Decision::Shunt ? "shunt" : "none";
}

// The model editor's way of deciding: the fit's own limit first, then 0.1 halved down to 0.0015625.
Decision Decide(cFitAPI& fit)
{
    auto once = [&fit] {
        const bool shunt = fit.IsShunt(), series = fit.IsSeries();
        if (shunt && !series)
            return Decision::Shunt;
        if (series && !shunt)
            return Decision::Series;
        return Decision::None;
    };
    Decision d = once();
    for (double t = 0.1; d == Decision::None && t >= 0.001; t /= 2) {
        fit.SetDecisionLimit(t);
        d = once();
    }
    return d;
}

struct FitDeleter {
    void operator()(cFitAPI* fit) const { fit->Release(); }
};
using FitPtr = std::unique_ptr<cFitAPI, FitDeleter>;

FitPtr MakeFit(cFitParams* params = nullptr)
{
    cFitParams defaults;
    return FitPtr(cFitAPI::Create(params ? params : &defaults));
}

// Deterministic normal deviates (Box-Muller over a fixed 64-bit generator), the same on every machine.
class Noise {
public:
    explicit Noise(std::uint64_t seed) : m_state(seed) {}
    double Gauss()
    {
        const double u1 = (static_cast<double>(Next() >> 11) + 0.5) / 9007199254740992.0;
        const double u2 = (static_cast<double>(Next() >> 11) + 0.5) / 9007199254740992.0;
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
    }

private:
    std::uint64_t Next()
    {
        m_state += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t m_state;
};

struct Rlc {
    const char* part;
    double r, l, c;
};

// ESR, ESL and capacitance from the makers' subcircuits in the shared test data: the main capacitor, the sum of
// the series inductors, and the series resistance of the high-frequency branch.
const Rlc kParts[] = {
    {"C0201C101K3GACTU", 8.2, 7.6e-10, 1.0e-10},
    {"C1206C104K1RACTU", 2.349, 9.2e-10, 9.6366e-08},
    {"GRM21BR71E104JA01", 1.38e-2, 1.57e-10, 9.92e-08},
};

struct Unit {
    const char* name;
    double scale;
};
const Unit kUnits[] = {{"Hz", 1.0}, {"kHz", 1e3}, {"MHz", 1e6}, {"GHz", 1e9}};
const char* const kFormats[] = {"RI", "MA", "DB"};

// Scatter of a network analyser's readings: relative magnitude, phase in degrees, and an additive floor.
struct NoiseLevel {
    double magnitude, phaseDegrees, floor;
};
constexpr NoiseLevel kClean{0, 0, 0};
constexpr NoiseLevel kAnalyser{0.002, 0.1, 1e-5}; // narrow IF bandwidth: about 0.02 dB, 0.1 degree, -100 dB
constexpr NoiseLevel kRough{0.005, 0.3, 3e-5};    // a quick sweep

// A two-port Touchstone file of the R-L-C in the fixture: 301 points from 10 kHz to 5 GHz, with scatter.
std::string MakeTwoPort(const Rlc& part, FitFixture fixture, const char* format, const Unit& unit, double z0,
                        const NoiseLevel& level, std::uint64_t seed)
{
    const bool noisy = level.magnitude > 0 || level.floor > 0;
    Noise noise(seed);
    std::string text = "! generated " + std::string(part.part) + "\n# " + unit.name + " S " + format + " R " +
                       std::to_string(z0) + "\n";
    char buf[512];
    for (int i = 0; i < 301; ++i) {
        const double f = 1e4 * std::pow(10.0, i * std::log10(5e9 / 1e4) / 300.0);
        const double w = 2 * kPi * f;
        const std::complex<double> z(part.r, w * part.l - 1.0 / (w * part.c));
        std::complex<double> s21 = FixtureS21(fixture, z0, f, part.r, part.l, part.c);
        std::complex<double> s11 = fixture == FitFixture::SeriesThrough ? z / (z + 2.0 * z0) : -z0 / (2.0 * z + z0);
        auto disturb = [&](std::complex<double> s) {
            if (!noisy)
                return s;
            s *= std::polar(1.0 + level.magnitude * noise.Gauss(), level.phaseDegrees * kPi / 180.0 * noise.Gauss());
            return s + std::complex<double>(level.floor * noise.Gauss(), level.floor * noise.Gauss());
        };
        s21 = disturb(s21);
        s11 = disturb(s11);
        std::string line;
        std::snprintf(buf, sizeof buf, "%.12g", f / unit.scale);
        line = buf;
        for (const auto& s : {s11, s21, s21, s11}) {
            double a = s.real(), b = s.imag();
            if (std::strcmp(format, "MA") == 0) {
                a = std::abs(s);
                b = std::arg(s) * 180.0 / kPi;
            } else if (std::strcmp(format, "DB") == 0) {
                a = 20.0 * std::log10(std::abs(s));
                b = std::arg(s) * 180.0 / kPi;
            }
            std::snprintf(buf, sizeof buf, " %.10e %.10e", a, b);
            line += buf;
        }
        text += line + "\n";
    }
    return text;
}

double RelErr(double got, double want)
{
    return std::fabs(got - want) / std::fabs(want);
}

} // namespace

TEST(cFitParams, DefaultsAndLayout)
{
    alignas(cFitParams) unsigned char buffer[64];
    std::memset(buffer, 0xAB, sizeof buffer);
    auto* params = new (buffer) cFitParams;
    EXPECT_EQ(params->nMaxPoints, 5001);
    EXPECT_EQ(params->nMaxIterations, 200);
    EXPECT_EQ(buffer[8], 1);
    EXPECT_EQ(buffer[9], 1);
    EXPECT_EQ(buffer[10], 0);
    EXPECT_EQ(buffer[11], 0);
    EXPECT_EQ(params->dReserved16, 400.0);
    EXPECT_EQ(params->dDecisionLimit, 0.005);
    EXPECT_EQ(buffer[32], 0);
    EXPECT_EQ(params->dMaxFrequency, 2e10);
    EXPECT_EQ(buffer[48], 0);
    for (int i : {12, 13, 14, 15, 33, 39, 49, 55, 56, 63})
        EXPECT_EQ(buffer[i], 0xAB) << "byte " << i << " is not the constructor's";
}

TEST(cFitAPI, SeriesAndShuntTwoPortsInEveryFormatAndUnit)
{
    std::uint64_t seed = 1;
    int cases = 0;
    for (const Rlc& part : kParts)
        for (FitFixture fixture : {FitFixture::SeriesThrough, FitFixture::ShuntThrough})
            for (const char* format : kFormats)
                for (const Unit& unit : kUnits)
                    for (bool noisy : {false, true}) {
                        ++cases;
                        const double z0 = (cases % 5 == 0) ? 75.0 : 50.0;
                        const std::string path = modeltest::WriteScratchFile(
                            "gen.s2p", MakeTwoPort(part, fixture, format, unit, z0, noisy ? kAnalyser : kClean, seed++));
                        const bool series = fixture == FitFixture::SeriesThrough;
                        SCOPED_TRACE(std::string(part.part) + (series ? " series " : " shunt ") + format + " " +
                                     unit.name + (noisy ? " noisy" : " clean") + " Z0=" + std::to_string(z0));

                        FitPtr fit = MakeFit();
                        ASSERT_EQ(fit->ReadTouchstone(path.c_str()), 2) << fit->GetLastError();
                        const Decision d = Decide(*fit);
                        EXPECT_STREQ(Name(d), series ? "series" : "shunt")
                            << "misfits: series " << fit->GetSeriesFit().misfit << ", shunt "
                            << fit->GetShuntFit().misfit;

                        const RlcFitResult& r = series ? fit->GetSeriesFit() : fit->GetShuntFit();
                        const double tol = noisy ? 0.05 : 1e-4;
                        EXPECT_LT(RelErr(r.capacitance, part.c), tol) << r.capacitance;
                        EXPECT_LT(RelErr(r.inductance, part.l), tol) << r.inductance;
                        // A few milliohms in series with 50 ohms change S21 by less than the noise: only an ESR
                        // that the fixture resolves is checked on noisy data.
                        if (!noisy || !series || part.r >= 1.0) {
                            EXPECT_LT(RelErr(r.resistance, part.r), noisy ? 0.05 : 1e-4) << r.resistance;
                        }
                    }
    EXPECT_EQ(cases, 144);
}

TEST(cFitAPI, ReadsAPathWrittenWithBackslashes)
{
    std::string path = modeltest::WriteScratchFile(
        "backslash.s2p", MakeTwoPort(kParts[0], FitFixture::SeriesThrough, kFormats[0], kUnits[0], 50.0, kClean, 1));
    path[path.rfind('/')] = '\\';
    FitPtr fit = MakeFit();
    EXPECT_EQ(fit->ReadTouchstone(path.c_str()), 2) << fit->GetLastError();
}

TEST(cFitAPI, RoughSweepsStillDecide)
{
    // With more scatter the fixture's weak spots (a few milliohms in series with 50 ohms, 0.16 nH in series)
    // are no longer resolved, but the decision and the capacitance hold.
    std::uint64_t seed = 1000;
    for (const Rlc& part : kParts)
        for (FitFixture fixture : {FitFixture::SeriesThrough, FitFixture::ShuntThrough})
            for (const char* format : kFormats) {
                const bool series = fixture == FitFixture::SeriesThrough;
                SCOPED_TRACE(std::string(part.part) + (series ? " series " : " shunt ") + format);
                const std::string path = modeltest::WriteScratchFile(
                    "rough.s2p", MakeTwoPort(part, fixture, format, kUnits[1], 50.0, kRough, seed++));
                FitPtr fit = MakeFit();
                ASSERT_EQ(fit->ReadTouchstone(path.c_str()), 2) << fit->GetLastError();
                EXPECT_STREQ(Name(Decide(*fit)), series ? "series" : "shunt");
                const RlcFitResult& r = series ? fit->GetSeriesFit() : fit->GetShuntFit();
                EXPECT_LT(RelErr(r.capacitance, part.c), 0.05) << r.capacitance;
            }
}

TEST(cFitAPI, ImpedanceAndAdmittanceFiles)
{
    // A shunt element has Z parameters, a series element Y parameters (normalised to R in Touchstone 1.x).
    const Rlc& part = kParts[1];
    const double z0 = 50.0;
    std::string zfile = "# MHz Z RI R 50\n", yfile = "# MHz Y RI R 50\n";
    char buf[256];
    for (int i = 0; i < 101; ++i) {
        const double f = 1e5 * std::pow(10.0, i * 4.0 / 100.0);
        const double w = 2 * kPi * f;
        const std::complex<double> z(part.r, w * part.l - 1.0 / (w * part.c));
        const std::complex<double> zn = z / z0, yn = z0 / z;
        std::snprintf(buf, sizeof buf, "%.12g %.12e %.12e %.12e %.12e %.12e %.12e %.12e %.12e\n", f / 1e6, zn.real(),
                      zn.imag(), zn.real(), zn.imag(), zn.real(), zn.imag(), zn.real(), zn.imag());
        zfile += buf;
        std::snprintf(buf, sizeof buf, "%.12g %.12e %.12e %.12e %.12e %.12e %.12e %.12e %.12e\n", f / 1e6, yn.real(),
                      yn.imag(), -yn.real(), -yn.imag(), -yn.real(), -yn.imag(), yn.real(), yn.imag());
        yfile += buf;
    }
    FitPtr fit = MakeFit();
    ASSERT_EQ(fit->ReadTouchstone(modeltest::WriteScratchFile("shunt.z2p", zfile).c_str()), 2) << fit->GetLastError();
    EXPECT_EQ(Decide(*fit), Decision::Shunt);
    EXPECT_LT(RelErr(fit->GetShuntFit().capacitance, part.c), 1e-6);

    fit = MakeFit();
    ASSERT_EQ(fit->ReadTouchstone(modeltest::WriteScratchFile("series.y2p", yfile).c_str()), 2) << fit->GetLastError();
    EXPECT_EQ(Decide(*fit), Decision::Series);
    EXPECT_LT(RelErr(fit->GetSeriesFit().inductance, part.l), 1e-6);
}

TEST(cFitAPI, RealWorldSinglesFitExactlyButCannotBeToldApart)
{
    // A lone series C, L or R measured in a series-through fixture looks exactly like a shunt element of the
    // dual kind (Z' = Z0^2 / Z): both fits are perfect, so no limit decides. The series fits give the values.
    cFitParams params;
    params.dMaxFrequency = 2e11; // the files lie between 75 and 110 GHz
    const auto dir = modeltest::TestDataDir() / "touchstone";
    struct Case {
        const char* file;
        double r, l, c;
    };
    for (const Case& c : {Case{"qucs_capacitor-p01pF.s2p", 0, 0, 1e-14}, Case{"qucs_inductor-p1nH.s2p", 0, 1e-10, 0},
                          Case{"qucs_resistor-1ohm.s2p", 1.0, 0, 0}}) {
        SCOPED_TRACE(c.file);
        FitPtr fit = MakeFit(&params);
        ASSERT_EQ(fit->ReadTouchstone((dir / c.file).c_str()), 2) << fit->GetLastError();
        const RlcFitResult& s = fit->GetSeriesFit();
        EXPECT_LT(s.misfit, 1e-6);
        EXPECT_LT(fit->GetShuntFit().misfit, 1e-6);
        EXPECT_EQ(Decide(*fit), Decision::None);
        EXPECT_NEAR(s.resistance, c.r, 1e-6);
        EXPECT_NEAR(s.inductance, c.l, 1e-6 * 1e-10);
        if (c.c > 0) {
            EXPECT_LT(RelErr(s.capacitance, c.c), 1e-6);
        } else {
            EXPECT_GT(std::fabs(s.capacitance), 1e-6) << "no series capacitance: 1/C fits to about 0";
        }
    }

    // With the default highest frequency of 20 GHz none of their points takes part.
    FitPtr fit = MakeFit();
    EXPECT_EQ(fit->ReadTouchstone((dir / "qucs_capacitor-p01pF.s2p").c_str()), 2);
    EXPECT_EQ(fit->GetSeriesFit().status, RlcFitResult::Status::TooFewPoints);
    EXPECT_EQ(fit->GetLastError(), "too few usable points for a fit (0 of 101 at or below 2e+10 Hz)");
    EXPECT_EQ(Decide(*fit), Decision::None);
}

TEST(cFitAPI, OtherPortCountsAndUnreadableFiles)
{
    const auto dir = modeltest::TestDataDir() / "touchstone";
    FitPtr fit = MakeFit();
    EXPECT_EQ(fit->ReadTouchstone((dir / "hfss_oneport.s1p").c_str()), 1);
    EXPECT_FALSE(fit->IsSeries());
    EXPECT_FALSE(fit->IsShunt());
    EXPECT_EQ(fit->ReadTouchstone((dir / "Agilent_E5071B.s4p").c_str()), 4);
    // Noise parameters after the network data end the reading; the duplicated frequency is kept.
    EXPECT_EQ(fit->ReadTouchstone((dir / "ntwk_noise.s2p").c_str()), 2) << fit->GetLastError();
    EXPECT_EQ(fit->ReadTouchstone((dir / "ntwk1.s2p").c_str()), 2) << fit->GetLastError();
    // A complex reference impedance is not supported: a clear failure rather than a wrong fit.
    EXPECT_EQ(fit->ReadTouchstone((dir / "simple_touchstone.s2p").c_str()), 0);
    EXPECT_NE(fit->GetLastError().find("reference impedance"), std::string::npos) << fit->GetLastError();
    EXPECT_FALSE(fit->IsSeries());
    EXPECT_FALSE(fit->IsShunt());

    EXPECT_EQ(fit->ReadTouchstone((modeltest::ScratchDir() / "missing.s2p").c_str()), 0);
    EXPECT_EQ(fit->ReadTouchstone(nullptr), 0);
    const char* bad[] = {
        "# GHz H RI R 50\n1 1 0 0 0 0 0 1 0\n",            // H parameters
        "# GHz S XX\n1 1 0 0 0 0 0 1 0\n",                  // unknown option
        "# GHz S RI R -50\n1 1 0 0 0 0 0 1 0\n",            // negative reference
        "1 1 0 0 0 0 0 1 0\n0.5 1 0 0 0 0 0 1 0\n",         // decreasing frequency
        "1 1 0 0 0 0 0 1 0\n2 1 0 0 0 0 0 1 0 7 7\n",       // point of 11 values
    };
    for (const char* text : bad) {
        EXPECT_EQ(fit->ReadTouchstone(modeltest::WriteScratchFile("bad.s2p", text).c_str()), 0) << text;
        EXPECT_FALSE(fit->GetLastError().empty()) << text;
    }
}

// A data point holding NaN, an infinity or a number too large to hold, in any column (frequency, a magnitude or
// real part, an angle or imaginary part), is refused as a decreasing frequency is: no port count for the fit, a
// reason, and no decision. So is a point whose S21 is no finite number.
TEST(cFitAPI, NonFiniteNumbersInTheDataAreRefused)
{
    const std::string good[] = {"1", "0.5", "0", "0.9", "-10", "0.9", "-10", "0.5", "0"};
    auto text = [&](int column, const std::string& value) {
        std::string file = "# MHz S MA R 50\n";
        for (int f = 1; f <= 8; ++f) {
            std::string row[9];
            for (int k = 0; k < 9; ++k)
                row[k] = good[k];
            row[0] = std::to_string(f);
            if (f == 5)
                row[column] = value;
            for (const std::string& piece : row)
                file += piece + " ";
            file += "\n";
        }
        return file;
    };
    FitPtr fit = MakeFit();
    ASSERT_EQ(fit->ReadTouchstone(modeltest::WriteScratchFile("finite.s2p", text(3, "0.8")).c_str()), 2)
        << fit->GetLastError();
    // "1.#INF" and "1.#QNAN" are a C runtime's texts: cut at their "#" they read as 1.
    for (const char* value : {"nan", "NaN", "inf", "-inf", "1e999", "-1e999", "1.#INF", "1.#QNAN"}) {
        for (int column : {0, 1, 2, 3, 4, 8}) {
            SCOPED_TRACE(std::string(value) + " in column " + std::to_string(column));
            EXPECT_EQ(fit->ReadTouchstone(modeltest::WriteScratchFile("bad.s2p", text(column, value)).c_str()), 0);
            EXPECT_NE(fit->GetLastError().find("line 6"), std::string::npos) << fit->GetLastError();
            EXPECT_FALSE(fit->IsSeries());
            EXPECT_FALSE(fit->IsShunt());
        }
    }
    // Finite numbers whose S21 is not: 10^(7000/20) in decibels, and an impedance matrix with no inverse.
    EXPECT_EQ(fit->ReadTouchstone(modeltest::WriteScratchFile("bad.s2p", "# GHz S DB\n1 0 0 7000 0 7000 0 0 0\n").c_str()), 0);
    EXPECT_EQ(fit->ReadTouchstone(modeltest::WriteScratchFile("bad.s2p", "# GHz Z RI\n1 -1 0 0 0 0 0 -1 0\n").c_str()), 0);
    EXPECT_NE(fit->GetLastError().find("S21"), std::string::npos) << fit->GetLastError();
    // A number too small to hold is zero, as "%le" reads it.
    EXPECT_EQ(fit->ReadTouchstone(modeltest::WriteScratchFile("tiny.s2p", text(4, "1e-999")).c_str()), 2)
        << fit->GetLastError();
}

TEST(cFitAPI, PlsFilesGiveTheirHeaderAndNoFit)
{
    FitPtr fit = MakeFit();
    // A decided Touchstone read first, so that ReadPls must clear it.
    const std::string s2p = modeltest::WriteScratchFile(
        "clean.s2p", MakeTwoPort(kParts[0], FitFixture::SeriesThrough, "RI", kUnits[3], 50.0, kClean, 7));
    ASSERT_EQ(fit->ReadTouchstone(s2p.c_str()), 2);
    ASSERT_TRUE(fit->IsSeries());
    EXPECT_EQ(fit->ReadPls(modeltest::WriteScratchFile("model.pls", "! header\nS 2\n").c_str()), 2);
    EXPECT_FALSE(fit->IsSeries());
    EXPECT_FALSE(fit->IsShunt());
    EXPECT_EQ(fit->ReadPls(modeltest::WriteScratchFile("model.pls", "nothing").c_str()), 0);
}

TEST(cFitAPI, CreateReadsOnlyTheRecordAndTheLimitDecides)
{
    // Callers may hand a larger buffer; only its first 56 bytes are the record.
    alignas(cFitParams) unsigned char buffer[60];
    std::memset(buffer, 0xFF, sizeof buffer);
    cFitParams* params = new (buffer) cFitParams;
    params->dDecisionLimit = 1e-12;
    FitPtr fit(cFitAPI::Create(params));
    EXPECT_EQ(fit->GetDecisionLimit(), 1e-12);

    const std::string path = modeltest::WriteScratchFile(
        "noisy.s2p", MakeTwoPort(kParts[1], FitFixture::ShuntThrough, "DB", kUnits[2], 50.0, kAnalyser, 99));
    ASSERT_EQ(fit->ReadTouchstone(path.c_str()), 2);
    const double right = fit->GetShuntFit().misfit, wrong = fit->GetSeriesFit().misfit;
    ASSERT_LT(right, wrong);
    EXPECT_FALSE(fit->IsShunt()) << "the noise keeps the right fit above a tiny limit";
    fit->SetDecisionLimit(right);
    EXPECT_TRUE(fit->IsShunt());
    EXPECT_FALSE(fit->IsSeries());
    fit->SetDecisionLimit(wrong);
    EXPECT_FALSE(fit->IsShunt()) << "both fits within the limit decide nothing";
    EXPECT_FALSE(fit->IsSeries());

    // Without a record: the defaults.
    FitPtr plain(cFitAPI::Create(nullptr));
    EXPECT_EQ(plain->GetDecisionLimit(), 0.005);
}

namespace {

std::string ReadOwnData(const char* relative)
{
    std::ifstream in(modeltest::OwnDataDir() / relative, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

// Noise parameters follow the network data from a frequency not above the data's last one. A line of five values
// at a higher frequency is a network point cut short, as in a file truncated within a line: the fit must not take
// the points before it as the whole file and go on as if nothing had happened.
TEST(cFitAPI, OnlyNoiseParametersEndTheNetworkDataEarly)
{
    const std::string noise = ReadOwnData("touchstone/ntwk_noise.s2p");
    ASSERT_GT(noise.size(), 500u);
    TwoPortData data;
    std::string error;
    ASSERT_TRUE(ReadTwoPortTouchstone(noise.data(), noise.size(), data, error)) << error;
    EXPECT_EQ(data.frequencies.size(), 12u) << "1 to 2 GHz with 1.5 GHz twice; the noise lines are no points";
    EXPECT_DOUBLE_EQ(data.frequencies.back(), 2e9);

    // The noise block moved above the network data's last frequency is no noise block.
    std::string above = noise;
    for (const char* from : {"          1    0.5000", "          2    1.0000"}) {
        const std::size_t at = above.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        above.replace(at, 11, "          3");
    }
    EXPECT_FALSE(ReadTwoPortTouchstone(above.data(), above.size(), data, error));
    EXPECT_NE(error.find("needs 9 values, found 5"), std::string::npos) << error;

    // The real capacitor file cut within a line, after the fifth value of its 20th point.
    const std::string cap = ReadOwnData("touchstone/qucs_capacitor-p01pF.s2p");
    std::size_t lineStart = 0;
    for (int line = 0; line < 20; ++line)
        lineStart = cap.find('\n', lineStart) + 1;
    std::size_t cut = lineStart;
    for (int piece = 0; piece < 5; ++piece)
        cut = cap.find(' ', cut + 1);
    cFitParams params;
    params.dMaxFrequency = 2e11; // the file lies between 75 and 110 GHz
    FitPtr fit = MakeFit(&params);
    const std::string whole = modeltest::WriteScratchFile("whole.s2p", cap);
    ASSERT_EQ(fit->ReadTouchstone(whole.c_str()), 2) << fit->GetLastError();
    const std::string truncated = modeltest::WriteScratchFile("truncated.s2p", cap.substr(0, cut));
    EXPECT_EQ(fit->ReadTouchstone(truncated.c_str()), 0);
    EXPECT_NE(fit->GetLastError().find("line 21: a two-port data point needs 9 values, found 5"), std::string::npos)
        << fit->GetLastError();
    EXPECT_EQ(fit->GetSeriesFit().status, RlcFitResult::Status::NotRun);
}

// Editors save files with a UTF-8 byte-order mark before the option line; the data are the same.
TEST(cFitAPI, AByteOrderMarkBeforeTheOptionLineIsPassedOver)
{
    cFitParams params;
    params.dMaxFrequency = 2e11;
    FitPtr fit = MakeFit(&params);
    const std::string cap = ReadOwnData("touchstone/qucs_capacitor-p01pF.s2p");
    ASSERT_EQ(cap.rfind("# HZ S RI R 50", 0), 0u);
    const std::string path = modeltest::WriteScratchFile("bom.s2p", "\xEF\xBB\xBF" + cap);
    ASSERT_EQ(fit->ReadTouchstone(path.c_str()), 2) << fit->GetLastError();
    EXPECT_LT(RelErr(fit->GetSeriesFit().capacitance, 1e-14), 1e-6);
    // Behind the mark the option line still counts: read as gigahertz the points would lie above 2e11 Hz.
    EXPECT_EQ(fit->GetSeriesFit().status, RlcFitResult::Status::Success);
}

// A two-port's data under a one- or four-port name: no fit, and the reason says why.
TEST(cFitAPI, DataOfAnotherPortCountThanTheExtensionAreRefused)
{
    const auto real = modeltest::OwnDataDir() / "touchstone" / "qucs_capacitor-p01pF.s2p";
    for (const char* name : {"cap.s1p", "cap.s4p"}) {
        const auto copy = modeltest::ScratchDir() / name;
        std::filesystem::copy_file(real, copy, std::filesystem::copy_options::overwrite_existing);
        FitPtr fit = MakeFit();
        EXPECT_EQ(fit->ReadTouchstone(copy.c_str()), 0) << name;
        EXPECT_NE(fit->GetLastError().find("the data are of 2 ports, the file's extension says"), std::string::npos)
            << fit->GetLastError();
        EXPECT_EQ(fit->GetSeriesFit().status, RlcFitResult::Status::NotRun);
    }
}

// The two readers of one file agree on what is data: comments from "!" or "%", a "#" behind data. An option line
// is read only before the data: the real file's option line moved behind its first points is refused rather than
// reading those points as gigahertz and the others as hertz.
TEST(cFitAPI, CommentsAsThePortCountReadsThemAndOptionsOnlyBeforeTheData)
{
    const std::string cap = ReadOwnData("touchstone/qucs_capacitor-p01pF.s2p");
    const std::size_t firstData = cap.find('\n') + 1;
    const std::size_t secondData = cap.find('\n', firstData) + 1;
    TwoPortData plain, commented;
    std::string error;
    ASSERT_TRUE(ReadTwoPortTouchstone(cap.data(), cap.size(), plain, error)) << error;
    std::string text = "% written by a script\r\n" + cap.substr(0, secondData - 2) + " % one point\r\n" +
                       cap.substr(secondData, cap.find('\n', secondData) - secondData - 1) + " # options?\r\n" +
                       cap.substr(cap.find('\n', secondData) + 1);
    ASSERT_TRUE(ReadTwoPortTouchstone(text.data(), text.size(), commented, error)) << error;
    EXPECT_EQ(commented.frequencies, plain.frequencies);
    EXPECT_EQ(commented.s21, plain.s21);
    EXPECT_EQ(CountTouchstonePortsInText(text.data(), text.size()), 2);

    const std::string late = cap.substr(firstData, secondData - firstData) + cap.substr(0, firstData) +
                             cap.substr(secondData);
    EXPECT_FALSE(ReadTwoPortTouchstone(late.data(), late.size(), commented, error));
    EXPECT_EQ(error, "line 2: the option line comes after network data");
    const std::string twice = cap.substr(0, firstData) + "# GHZ S MA R 75\r\n" + cap.substr(firstData);
    ASSERT_TRUE(ReadTwoPortTouchstone(twice.data(), twice.size(), commented, error)) << error;
    EXPECT_EQ(commented.frequencies, plain.frequencies) << "a second option line is ignored";
    EXPECT_EQ(commented.referenceImpedance, 50.0);
}

// The whole network data of a model of any port count, as the model editor checks a file the fit does not read:
// the real one- and five-port files read whole, and cut within a line (the one-port after its frequency, the
// five-port within the second row of its first point) they name the line where the point cut short begins.
TEST(TouchstoneNetwork, RealFilesOfOtherPortCountsReadWholeAndCutShortNameTheirLine)
{
    struct Case {
        const char* file;
        int ports;
        std::size_t points;
        const char* cutAfter; // the text the copy ends with
        const char* reason;
    };
    const Case cases[] = {
        {"touchstone/HFSS_2019R2_test_multiport.s1p", 1, 5, "\n1.1                            0.00161091998847307",
         "line 19: a one-port data point needs 3 values, found 5"},
        {"touchstone/HFSS_2019R2_test_multiport.s5p", 5, 5, "\n                3.16875439357991E-06 180              ",
         "line 11: a 5-port data point needs 51 values, found 13"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string text = ReadOwnData(c.file);
        const auto path = modeltest::OwnDataDir() / c.file;
        std::string error;
        EXPECT_TRUE(CheckTouchstoneFile(path.c_str(), c.ports, error)) << error;
        TwoPortData data;
        ASSERT_TRUE(ReadTouchstoneNetwork(text.data(), text.size(), c.ports, data, error)) << error;
        EXPECT_EQ(data.frequencies.size(), c.points);
        EXPECT_DOUBLE_EQ(data.frequencies.front(), 0.9e9) << "GHZ";
        EXPECT_TRUE(data.s21.empty());
        EXPECT_FALSE(CheckTouchstoneFile(path.c_str(), c.ports == 1 ? 2 : 1, error)) << "another port count";

        const std::size_t at = text.find(c.cutAfter);
        ASSERT_NE(at, std::string::npos);
        const std::string cut = modeltest::WriteScratchFile("cut.snp", text.substr(0, at + std::strlen(c.cutAfter)));
        EXPECT_FALSE(CheckTouchstoneFile(cut.c_str(), c.ports, error));
        EXPECT_EQ(error, c.reason);
    }
    std::string error;
    EXPECT_FALSE(CheckTouchstoneFile((modeltest::ScratchDir() / "missing.s1p").c_str(), 1, error));
    EXPECT_EQ(error, "No such file or directory.");
}

// A file of the format's second version, whose keywords decide how its data read, is not judged by the first
// version's rules: the real one-port with a version keyword and its network data marked stays usable.
TEST(TouchstoneNetwork, FilesWithKeywordsAreNotJudged)
{
    const std::string text = ReadOwnData("touchstone/HFSS_2019R2_test_multiport.s1p");
    const std::size_t options = text.find("# GHZ");
    ASSERT_NE(options, std::string::npos);
    const std::size_t data = text.find('\n', options) + 1;
    const std::string second = "\xEF\xBB\xBF[Version] 2.0\n" + text.substr(0, data) +
                               "[Number of Ports] 1\n  [Network Data]\n" + text.substr(data) + "[End]\n";
    const std::string path = modeltest::WriteScratchFile("second.s1p", second);
    std::string error;
    EXPECT_EQ(CountTouchstonePortsInFile(path.c_str()), 1);
    EXPECT_TRUE(CheckTouchstoneFile(path.c_str(), 1, error)) << error;
    TwoPortData network;
    EXPECT_FALSE(ReadTouchstoneNetwork(second.data(), second.size(), 1, network, error))
        << "read by the first version's rules";
}
