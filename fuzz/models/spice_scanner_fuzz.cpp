// Any bytes through the SPICE netlist scanner: no crash, no read outside the view, and a list whose parts agree.
#include "brimstead/models/SpiceScanner.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly `size` bytes, so that the address sanitizer catches any read past the view's end.
    char* copy = static_cast<char*>(std::malloc(size ? size : 1));
    for (std::size_t i = 0; i < size; ++i)
        copy[i] = static_cast<char>(data[i]);

    CSpiceScanner scanner;
    CSpiceSubcircuitList list;
    scanner.ScanView(copy, size, list);
    for (int k = 0; k < list.GetCount(); ++k) {
        if (list.GetPortCount(k) < 0)
            std::abort();
        for (int i = 0; i < list.GetPortCount(k); ++i)
            if (list.GetPort(k, i).empty())
                std::abort(); // a port is a word, never empty
    }

    // Token ranges lie inside the view and follow one another.
    scanner.BeginView(copy, size);
    const char* last = copy;
    while (scanner.NextToken()) {
        if (scanner.GetTokenBegin() < last || scanner.GetTokenEnd() < scanner.GetTokenBegin() ||
            scanner.GetTokenEnd() > copy + size)
            std::abort();
        last = scanner.GetTokenEnd();
    }
    std::free(copy);
    return 0;
}
