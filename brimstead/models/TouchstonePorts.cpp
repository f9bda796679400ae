#include "brimstead/models/TouchstonePorts.h"

#include "brimstead/models/NumberText.h"
#include "platform/base/PathDialect.h"
#include "platform/base/RegularFile.h"

#include <climits>
#include <cctype>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <string>

namespace {

inline bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n';
}

// Number of pieces of one kept line, 0 when any piece does not begin with a number.
std::uint64_t CountLineValues(const std::string& line)
{
    const char* p = line.data();
    const char* const end = p + line.size();
    std::uint64_t count = 0;
    for (;;) {
        while (p < end && IsSpace(*p))
            ++p;
        if (p >= end)
            return count;
        const char* pieceEnd = p;
        while (pieceEnd < end && !IsSpace(*pieceEnd))
            ++pieceEnd;
        if (!ParseLeadingDouble(p, pieceEnd, nullptr))
            return 0;
        ++count;
        p = pieceEnd;
    }
}

// Runs the counting rules over a character source: next() returns the next byte (0..255) or EOF.
template <class NextChar>
int CountPorts(NextChar&& next)
{
    std::string line;
    bool started = false;
    std::uint64_t values = 0;

    // Editors put a UTF-8 byte-order mark before the first line; read literally it would hide a first line of data.
    int pending[3];
    int pendingCount = 0;
    for (const int mark : {0xEF, 0xBB, 0xBF}) {
        const int c = next();
        pending[pendingCount++] = c;
        if (c != mark)
            break;
    }
    if (pendingCount == 3 && pending[2] == 0xBF)
        pendingCount = 0;
    int pendingAt = 0;
    auto take = [&]() { return pendingAt < pendingCount ? pending[pendingAt++] : next(); };

    for (;;) {
        // Read one line; drop everything from the first comment or option character on.
        line.clear();
        std::size_t taken = 0;
        bool dropping = false;
        int c;
        while ((c = take()) != EOF && c != '\n' && c != '\r') {
            if (++taken >= kMaxTouchstoneLine)
                break;
            if (c == '!' || c == '%' || c == '#')
                dropping = true;
            if (!dropping)
                line.push_back(static_cast<char>(c));
        }
        if (c == EOF || taken >= kMaxTouchstoneLine)
            break; // a last line without its line end is not used

        const std::uint64_t count = CountLineValues(line);
        if (count == 0)
            continue;
        if (!started) {
            if (count % 2 == 1) {
                started = true;
                values = count;
            }
        } else if (count % 2 == 0) {
            values += count;
        } else {
            break;
        }
    }
    if (!started)
        return 0;

    // 2 P^2 + 1 = N; the square root is corrected in integers so that large N cannot round wrongly.
    const std::uint64_t half = (values - 1) / 2;
    auto p = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(half)));
    while (p > 0 && p * p > half)
        --p;
    while ((p + 1) * (p + 1) <= half)
        ++p;
    if (2 * p * p + 1 != values || p > static_cast<std::uint64_t>(INT_MAX))
        return 0;
    return static_cast<int>(p);
}

} // namespace

int CountTouchstonePortsInStream(std::FILE* file)
{
    if (!file)
        return 0;
    return CountPorts([file] { return std::getc(file); });
}

int CountTouchstonePortsInText(const char* data, std::size_t size)
{
    std::size_t pos = 0;
    return CountPorts([&]() -> int { return pos < size ? static_cast<unsigned char>(data[pos++]) : EOF; });
}

int TouchstonePortsOfExtension(const char* path)
{
    if (!path)
        return 0;
    const std::size_t length = std::strlen(path);
    if (length < 4)
        return 0;
    const char* ext = path + length - 4;
    if (ext[0] != '.')
        return 0;
    const char kind = static_cast<char>(std::tolower(static_cast<unsigned char>(ext[1])));
    const bool digit = ext[2] >= '1' && ext[2] <= '9';
    if ((kind != 's' && kind != 'z' && kind != 'y') || !digit || (ext[3] != 'p' && ext[3] != 'P'))
        return 0;
    return ext[2] - '0';
}

int CountTouchstonePortsInFile(const char* path)
{
    std::FILE* file = path ? plat::OpenRegularFileStream(plat::NativePath(path)) : nullptr;
    if (!file)
        return 0;
    const int ports = CountTouchstonePortsInStream(file);
    std::fclose(file);
    // The extension is what every other reader of the file goes by: data of another port count make it unusable.
    const int named = TouchstonePortsOfExtension(path);
    return named != 0 && ports != named ? 0 : ports;
}

int ReadHeaderPortCountInStream(std::FILE* file)
{
    if (!file)
        return 0;
    int c = std::getc(file);
    // A UTF-8 byte-order mark before the first line is passed over, as the Touchstone count passes it over. A text
    // that begins with any other 0xEF has no header count (0xEF is no line end, '!', letter or number).
    if (c == 0xEF) {
        if (std::getc(file) != 0xBB || std::getc(file) != 0xBF)
            return 0;
        c = std::getc(file);
    }
    for (;; c = std::getc(file)) {
        if (c == '\n' || c == '\r')
            continue;
        if (c == '!') {
            while ((c = std::getc(file)) != EOF && c != '\n' && c != '\r') {
            }
            if (c == EOF)
                return 0;
            continue;
        }
        break;
    }
    if (c == EOF)
        return 0;
    if (!(c == 'Y' || c == 'y' || c == 'Z' || c == 'z' || c == 'P' || c == 'p' || c == 'S' || c == 's'))
        std::ungetc(c, file);

    // "%ld": leading white space, an optional sign, decimal digits.
    do
        c = std::getc(file);
    while (c != EOF && IsSpace(static_cast<char>(c)));
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = (c == '-');
        c = std::getc(file);
    }
    if (c == EOF || c < '0' || c > '9')
        return 0;
    long long value = 0;
    for (; c != EOF && c >= '0' && c <= '9'; c = std::getc(file)) {
        if (value <= INT_MAX)
            value = value * 10 + (c - '0');
    }
    if (negative || value > INT_MAX)
        return 0;
    return static_cast<int>(value);
}

int ReadHeaderPortCountInFile(const char* path)
{
    std::FILE* file = path ? plat::OpenRegularFileStream(plat::NativePath(path)) : nullptr;
    if (!file)
        return 0;
    const int ports = ReadHeaderPortCountInStream(file);
    std::fclose(file);
    return ports;
}
