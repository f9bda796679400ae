#include "brimstead/models/NaturalCompare.h"

#include <cctype>
#include <cstring>

namespace {

int CompareNoCase(const char* a, const char* b, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca - cb;
        if (ca == 0)
            return 0;
    }
    return 0;
}

std::size_t TrailingDigitsStart(const char* s, std::size_t len)
{
    std::size_t i = len;
    while (i > 0 && s[i - 1] >= '0' && s[i - 1] <= '9')
        --i;
    return i;
}

// Compares two digit runs as numbers, whatever their length: leading zeros aside, the longer run is the larger
// number, and runs of equal length compare digit by digit.
int CompareDigitRuns(const char* a, std::size_t na, const char* b, std::size_t nb)
{
    while (na > 0 && *a == '0') { ++a; --na; }
    while (nb > 0 && *b == '0') { ++b; --nb; }
    if (na != nb)
        return na < nb ? -1 : 1;
    const int c = std::memcmp(a, b, na);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

int CompareNatural(const char* a, const char* b)
{
    if (!a || !b)
        return (a ? 1 : 0) - (b ? 1 : 0);

    const std::size_t la = std::strlen(a), lb = std::strlen(b);
    const std::size_t pa = TrailingDigitsStart(a, la), pb = TrailingDigitsStart(b, lb);
    const bool digitsA = pa < la, digitsB = pb < lb;
    if (pa == pb && (digitsA || digitsB)) {
        if (const int c = CompareNoCase(a, b, pa))
            return c;
        // A text without a number counts as -1, below every number.
        if (!digitsA)
            return -1;
        if (!digitsB)
            return 1;
        return CompareDigitRuns(a + pa, la - pa, b + pb, lb - pb);
    }
    return CompareNoCase(a, b, (la > lb ? la : lb) + 1);
}
