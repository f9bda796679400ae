#include "brimstead/models/fit/cFitAPI.h"

#include "brimstead/models/TouchstonePorts.h"
#include "brimstead/models/fit/TwoPortData.h"
#include "platform/base/FileSystem.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

cFitAPI* cFitAPI::Create(cFitParams* params)
{
    cFitParams copy;
    if (params)
        std::memcpy(static_cast<void*>(&copy), params, sizeof(cFitParams));
    return new cFitAPI(copy);
}

cFitAPI::cFitAPI(const cFitParams& params) : m_params(params), m_limit(params.dDecisionLimit) {}

void cFitAPI::Release()
{
    delete this;
}

bool cFitAPI::WithinLimit(const RlcFitResult& fit) const
{
    return fit.status == RlcFitResult::Status::Success && fit.misfit <= m_limit;
}

bool cFitAPI::IsSeries()
{
    return WithinLimit(m_series) && !WithinLimit(m_shunt);
}

bool cFitAPI::IsShunt()
{
    return WithinLimit(m_shunt) && !WithinLimit(m_series);
}

void cFitAPI::SetDecisionLimit(double limit)
{
    m_limit = limit;
}

int cFitAPI::ReadPls(const char* path)
{
    m_series = RlcFitResult{};
    m_shunt = RlcFitResult{};
    m_error.clear();
    const int ports = ReadHeaderPortCountInFile(path);
    if (ports == 0)
        m_error = "no port count in the file's header";
    return ports;
}

int cFitAPI::ReadTouchstone(const char* path)
{
    m_series = RlcFitResult{};
    m_shunt = RlcFitResult{};
    m_error.clear();

    std::string text;
    if (!ReadModelFileText(path, text, m_error))
        return 0;

    // The port count follows the same rules as the model helper's, so both always agree on a file.
    const int ports = CountTouchstonePortsInText(text.data(), text.size());
    if (ports == 0) {
        m_error = "not a Touchstone file: its first data point fits no port count";
        return 0;
    }
    if (const int named = TouchstonePortsOfExtension(path); named != 0 && named != ports) {
        m_error = "the data are of " + std::to_string(ports) + " ports, the file's extension says " +
                  std::to_string(named);
        return 0;
    }
    if (ports != 2)
        return ports;

    TwoPortData data;
    if (!ReadTwoPortTouchstone(text.data(), text.size(), data, m_error))
        return 0;

    // The points that take part: up to the highest frequency, thinned evenly to the largest count.
    std::vector<double> f;
    std::vector<std::complex<double>> s;
    for (std::size_t i = 0; i < data.frequencies.size(); ++i) {
        if (data.frequencies[i] <= m_params.dMaxFrequency) {
            f.push_back(data.frequencies[i]);
            s.push_back(data.s21[i]);
        }
    }
    const std::size_t maxPoints = m_params.nMaxPoints >= 3 ? static_cast<std::size_t>(m_params.nMaxPoints) : 3;
    if (f.size() > maxPoints) {
        std::vector<double> tf(maxPoints);
        std::vector<std::complex<double>> ts(maxPoints);
        for (std::size_t k = 0; k < maxPoints; ++k) {
            const std::size_t i = (k * (f.size() - 1) + (maxPoints - 1) / 2) / (maxPoints - 1);
            tf[k] = f[i];
            ts[k] = s[i];
        }
        f.swap(tf);
        s.swap(ts);
    }

    const int iterations = m_params.nMaxIterations > 0 ? m_params.nMaxIterations : 1;
    if (m_params.bFitSeries)
        m_series = FitSeriesRlc(f, s, data.referenceImpedance, FitFixture::SeriesThrough, iterations);
    if (m_params.bFitShunt)
        m_shunt = FitSeriesRlc(f, s, data.referenceImpedance, FitFixture::ShuntThrough, iterations);
    if (m_series.status != RlcFitResult::Status::Success && m_shunt.status != RlcFitResult::Status::Success) {
        // Say which points were left out: a file measured above the highest frequency taken has none at all.
        char limit[64];
        std::snprintf(limit, sizeof limit, "%g", m_params.dMaxFrequency);
        m_error = "too few usable points for a fit (" + std::to_string(f.size()) + " of " +
                  std::to_string(data.frequencies.size()) + " at or below " + limit + " Hz)";
    }
    return 2;
}
