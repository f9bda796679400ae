#pragma once
// The curve-fitting library that the capacitor model editor asks whether a two-port capacitor model was
// measured in a series-through or a shunt-through fixture.
//
// Call flow of one detection (the editor's side):
//   cFitParams params;                  // defaults below
//   cFitAPI* fit = cFitAPI::Create(&params);
//   if (fit->ReadTouchstone(path) == 2) // reads and fits both fixtures
//       ... fit->IsSeries() / fit->IsShunt(), with SetDecisionLimit(t) to retry at other limits ...
//   fit->Release();
//
// The decision limit is the largest misfit (normalised RMS, see RlcFit.h) that a fit may have to count:
// IsSeries is true when the series-through fit is within the limit and the shunt-through fit is not, IsShunt the
// other way round; so a caller that lowers or raises the limit settles on one answer or on none.

#include "brimstead/models/fit/RlcFit.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The parameter record handed to cFitAPI::Create: 56 bytes, laid out as callers fill it. The constructor sets
// the listed fields and leaves the gaps (bytes 12-15, 33-39, 49-55) as they were.
struct cFitParams {
    cFitParams()
        : nMaxPoints(5001), nMaxIterations(200), bFitSeries(1), bFitShunt(1), bReserved10(0), bReserved11(0),
          dReserved16(400.0), dDecisionLimit(0.005), bReserved32(0), dMaxFrequency(2e10), bReserved48(0)
    {
    }

    std::int32_t nMaxPoints;     // 0: points beyond this many are thinned evenly before fitting
    std::int32_t nMaxIterations; // 4: Levenberg-Marquardt iterations per fit
    std::uint8_t bFitSeries;     // 8: fit the series-through fixture
    std::uint8_t bFitShunt;      // 9: fit the shunt-through fixture
    std::uint8_t bReserved10;    // 10: not used by this library
    std::uint8_t bReserved11;    // 11: not used by this library
    std::uint8_t gap12[4];
    double dReserved16;          // 16: not used by this library
    double dDecisionLimit;       // 24: the decision limit until SetDecisionLimit changes it
    std::uint8_t bReserved32;    // 32: not used by this library
    std::uint8_t gap33[7];
    double dMaxFrequency;        // 40: points above this frequency (hertz) are left out of the fit
    std::uint8_t bReserved48;    // 48: not used by this library
    std::uint8_t gap49[7];
};
static_assert(sizeof(cFitParams) == 56, "cFitParams is a 56-byte record");
static_assert(offsetof(cFitParams, dReserved16) == 16 && offsetof(cFitParams, dDecisionLimit) == 24 &&
              offsetof(cFitParams, bReserved32) == 32 && offsetof(cFitParams, dMaxFrequency) == 40 &&
              offsetof(cFitParams, bReserved48) == 48, "cFitParams field offsets");

class cFitAPI {
public:
    // Makes a fit object from the first 56 bytes of `params` (callers may pass a larger record; null gives
    // the defaults). Free it with Release.
    static cFitAPI* Create(cFitParams* params);

    // Deletes the object.
    virtual void Release();
    // Reads a Touchstone file and, for a two-port, fits both fixtures. Returns the model's port count (2 for a
    // two-port), 0 when the file cannot be read. A two-port whose data cannot be read for the fit (unsupported
    // option, malformed point) also gives 0, with the reason in GetLastError.
    virtual int ReadTouchstone(const char* path);
    // Reads the port count from the header of a "pls" file; fits nothing, so both tests stay false.
    virtual int ReadPls(const char* path);
    virtual bool IsSeries();
    virtual bool IsShunt();
    virtual void SetDecisionLimit(double limit);

    // The fits of the last read (Status::NotRun when none was made), for inspection.
    const RlcFitResult& GetSeriesFit() const { return m_series; }
    const RlcFitResult& GetShuntFit() const { return m_shunt; }
    double GetDecisionLimit() const { return m_limit; }
    const std::string& GetLastError() const { return m_error; }

protected:
    explicit cFitAPI(const cFitParams& params);
    virtual ~cFitAPI() = default;

private:
    bool WithinLimit(const RlcFitResult& fit) const;

    cFitParams m_params;
    double m_limit;
    RlcFitResult m_series;
    RlcFitResult m_shunt;
    std::string m_error;
};
