#include "brimstead/models/NumberText.h"

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <string>

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
    if (ec == std::errc::invalid_argument)
        return nullptr;
    // Out of range still began with a number; "%le" gives infinity there (or zero and the smallest numbers for
    // one too small), where from_chars leaves the value alone.
    if (ec == std::errc::result_out_of_range) {
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        v = strtod_l(std::string(b, ptr).c_str(), nullptr, cLocale);
    }
    if (value)
        *value = negative ? -v : v;
    return ptr;
}

bool ParseWholeDouble(const char* b, const char* e, double* value)
{
    const char* stop = ParseLeadingDouble(b, e, value);
    return stop && stop == e;
}
