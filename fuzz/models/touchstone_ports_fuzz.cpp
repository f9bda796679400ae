// Any bytes through the Touchstone port counter, the pls header reader, the fit's two-port reader and the
// whole-data reader of the counted port count.
#include "brimstead/models/TouchstonePorts.h"
#include "brimstead/models/fit/RlcFit.h"
#include "brimstead/models/fit/TwoPortData.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    char* copy = static_cast<char*>(std::malloc(size ? size : 1));
    for (std::size_t i = 0; i < size; ++i)
        copy[i] = static_cast<char>(data[i]);

    const int ports = CountTouchstonePortsInText(copy, size);
    if (ports < 0)
        std::abort();

    // The stream reader must agree with the in-memory one.
    if (size > 0) {
        if (std::FILE* f = fmemopen(copy, size, "r")) {
            if (CountTouchstonePortsInStream(f) != ports)
                std::abort();
            std::fclose(f);
        }
        if (std::FILE* f = fmemopen(copy, size, "r")) {
            if (ReadHeaderPortCountInStream(f) < 0)
                std::abort();
            std::fclose(f);
        }
    }

    TwoPortData network;
    std::string error;
    if (ReadTwoPortTouchstone(copy, size, network, error)) {
        if (network.frequencies.size() != network.s21.size() || !(network.referenceImpedance > 0))
            std::abort();
        FitSeriesRlc(network.frequencies, network.s21, network.referenceImpedance, FitFixture::SeriesThrough, 20);
        FitSeriesRlc(network.frequencies, network.s21, network.referenceImpedance, FitFixture::ShuntThrough, 20);
    } else if (error.empty()) {
        std::abort(); // a failure always says why
    }

    // The whole-data reading of the counted port count (the model editor's check of files the fit does not read).
    if (ports >= 1 && ports <= 9) {
        TwoPortData any;
        std::string anyError;
        if (ReadTouchstoneNetwork(copy, size, ports, any, anyError)) {
            if (any.frequencies.empty() || (ports == 2) != !any.s21.empty())
                std::abort();
        } else if (anyError.empty()) {
            std::abort();
        }
    }
    std::free(copy);
    return 0;
}
