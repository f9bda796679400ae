#include "fieldsolver/FieldSolverRecords.h"

#include <algorithm>
#include <cstring>
#include <new>

bool OwnedOutput::Size(int n)
{
    Release();
    if (n < 1)
        return true;
    float* block = new (std::nothrow) float[OwnedOutputFloats(n)]();
    if (!block)
        return false;
    const std::size_t nn = std::size_t(n) * std::size_t(n);
    FieldSolverOutput& r = record_;
    r.storage = block;
    r.capacitance = block;
    r.inductance = block + nn;
    r.speeds = block + 2 * nn;
    float* p = block + 2 * nn + n;
    // Fixed block order; the last four deliberately run A, C, B, D as in the cache file.
    r.modesToTraces = p; p += nn;
    r.tracesToModes = p; p += nn;
    r.impedance = p; p += nn;
    r.equivalentResistors = p; p += nn;
    r.dcResistance = p; p += nn;
    r.extraMatrixA = p; p += nn;
    r.extraMatrixC = p; p += nn;
    r.extraMatrixB = p; p += nn;
    r.extraMatrixD = p;
    r.conductorCount = n;
    capacity_ = n;
    return true;
}

void OwnedOutput::Release()
{
    delete[] record_.storage;
    record_ = FieldSolverOutput{};
    capacity_ = 0;
}

void CopyOutputArrays(const FieldSolverOutput& from, FieldSolverOutput& to, int n)
{
    const std::size_t nn = std::size_t(n) * std::size_t(n);
    auto copy = [](const float* s, float* d, std::size_t count) {
        if (s && d)
            std::memcpy(d, s, count * sizeof(float));
        else if (d)
            std::fill(d, d + count, 0.0f);
    };
    copy(from.capacitance, to.capacitance, nn);
    copy(from.inductance, to.inductance, nn);
    copy(from.speeds, to.speeds, std::size_t(n));
    copy(from.modesToTraces, to.modesToTraces, nn);
    copy(from.tracesToModes, to.tracesToModes, nn);
    copy(from.impedance, to.impedance, nn);
    copy(from.equivalentResistors, to.equivalentResistors, nn);
    copy(from.dcResistance, to.dcResistance, nn);
    copy(from.extraMatrixA, to.extraMatrixA, nn);
    copy(from.extraMatrixB, to.extraMatrixB, nn);
    copy(from.extraMatrixC, to.extraMatrixC, nn);
    copy(from.extraMatrixD, to.extraMatrixD, nn);
}

bool OwnedOutput::CopyFrom(const FieldSolverOutput& source)
{
    const int n = source.conductorCount;
    if (n > capacity_)
        return false;
    CopyOutputArrays(source, record_, n);
    record_.conductorCount = n;
    record_.modeCount = source.modeCount;
    record_.status = source.status;
    return true;
}
