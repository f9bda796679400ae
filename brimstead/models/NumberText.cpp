#include "brimstead/models/NumberText.h"

#include <charconv>

const char* ParseLeadingDouble(const char* b, const char* e, double* value)
{
    if (b >= e)
        return nullptr;
    bool negative = false;
    if (*b == '+' || *b == '-') {
        negative = (*b == '-');
        ++b;
        if (b >= e || *b == '+' || *b == '-')
            return nullptr; // from_chars would accept a second '-'
    }
    double v = 0.0;
    const auto [ptr, ec] = std::from_chars(b, e, v, std::chars_format::general);
    // Out of range still began with a number; "%le" gives infinity or zero there.
    if (ec == std::errc::invalid_argument)
        return nullptr;
    if (value)
        *value = negative ? -v : v;
    return ptr;
}

bool ParseWholeDouble(const char* b, const char* e, double* value)
{
    const char* stop = ParseLeadingDouble(b, e, value);
    return stop && stop == e;
}
