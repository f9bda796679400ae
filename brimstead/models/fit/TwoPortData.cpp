#include "brimstead/models/fit/TwoPortData.h"

#include "brimstead/models/ModelFile.h"
#include "brimstead/models/NumberText.h"
#include "platform/base/PathDialect.h"
#include "platform/base/RegularFile.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace {

enum class Format { RI, MA, DB };
enum class Parameter { S, Y, Z };

struct Options {
    double unit = 1e9;
    Format format = Format::MA;
    Parameter parameter = Parameter::S;
    double r = 50.0;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::vector<std::string_view> SplitPieces(std::string_view line)
{
    std::vector<std::string_view> pieces;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsSpace(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsSpace(line[i]))
            ++i;
        if (i > start)
            pieces.push_back(line.substr(start, i - start));
    }
    return pieces;
}

bool ParseOptions(std::string_view line, Options& options, std::string& error)
{
    const auto pieces = SplitPieces(line);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::string_view p = pieces[i];
        if (EqualsNoCase(p, "HZ")) options.unit = 1.0;
        else if (EqualsNoCase(p, "KHZ")) options.unit = 1e3;
        else if (EqualsNoCase(p, "MHZ")) options.unit = 1e6;
        else if (EqualsNoCase(p, "GHZ")) options.unit = 1e9;
        else if (EqualsNoCase(p, "RI")) options.format = Format::RI;
        else if (EqualsNoCase(p, "MA")) options.format = Format::MA;
        else if (EqualsNoCase(p, "DB")) options.format = Format::DB;
        else if (EqualsNoCase(p, "S")) options.parameter = Parameter::S;
        else if (EqualsNoCase(p, "Y")) options.parameter = Parameter::Y;
        else if (EqualsNoCase(p, "Z")) options.parameter = Parameter::Z;
        else if (EqualsNoCase(p, "H") || EqualsNoCase(p, "G")) {
            error = "option line: " + std::string(p) + " parameters are not supported";
            return false;
        } else if (EqualsNoCase(p, "R")) {
            double r = 0.0;
            const bool number = i + 1 < pieces.size() &&
                                ParseWholeDouble(pieces[i + 1].data(), pieces[i + 1].data() + pieces[i + 1].size(), &r);
            if (!number || !(r > 0.0) || !std::isfinite(r)) {
                error = "option line: the reference impedance must be a positive real number of ohms";
                return false;
            }
            options.r = r;
            ++i;
        } else {
            error = "option line: unknown option " + std::string(p);
            return false;
        }
    }
    return true;
}

std::complex<double> ToComplex(Format format, double a, double b)
{
    constexpr double kDegree = 3.14159265358979323846 / 180.0;
    switch (format) {
    case Format::RI: return {a, b};
    case Format::MA: return std::polar(a, b * kDegree);
    case Format::DB: return std::polar(std::pow(10.0, a / 20.0), b * kDegree);
    }
    return {};
}

// S21 of a two-port from its four parameters in file order (11, 21, 12, 22), normalised to the reference.
std::complex<double> S21Of(Parameter parameter, const std::complex<double> v[4])
{
    const std::complex<double> one(1.0, 0.0);
    switch (parameter) {
    case Parameter::S: return v[1];
    case Parameter::Z: return 2.0 * v[1] / ((v[0] + one) * (v[3] + one) - v[2] * v[1]);
    case Parameter::Y: return -2.0 * v[1] / ((one + v[0]) * (one + v[3]) - v[2] * v[1]);
    }
    return {};
}

} // namespace

bool ReadTouchstoneNetwork(const char* text, std::size_t size, int ports, TwoPortData& data, std::string& error)
{
    data = TwoPortData{};
    error.clear();
    Options options;
    bool haveOptions = false;

    std::vector<double> point;
    int pointLine = 0;
    if (ports < 1 || ports > 9) {
        error = "a Touchstone file has 1 to 9 ports";
        return false;
    }
    const std::size_t pointSize = 2 * static_cast<std::size_t>(ports) * static_cast<std::size_t>(ports) + 1;
    const std::string portsText = ports == 1 ? "one-port" : ports == 2 ? "two-port" : std::to_string(ports) + "-port";

    // Completes the point in `point`; false on error, sets `stop` when the noise parameters begin.
    auto finishPoint = [&](bool& stop) {
        if (point.empty())
            return true;
        // Noise parameters (5 values a point) start again at a frequency not above the network data's last one; a
        // point of 5 values at a higher frequency is a network point cut short (a file truncated within a line).
        if (ports == 2 && point.size() == 5 && !data.frequencies.empty() &&
            point[0] * options.unit <= data.frequencies.back()) {
            stop = true;
            return true;
        }
        if (point.size() != pointSize) {
            error = "line " + std::to_string(pointLine) + ": a " + portsText + " data point needs " +
                    std::to_string(pointSize) + " values, found " + std::to_string(point.size());
            return false;
        }
        const double f = point[0] * options.unit;
        if (!std::isfinite(f) || f < 0.0) {
            error = "line " + std::to_string(pointLine) + ": invalid frequency";
            return false;
        }
        if (!data.frequencies.empty() && f < data.frequencies.back()) {
            error = "line " + std::to_string(pointLine) + ": frequencies must not decrease";
            return false;
        }
        // A parameter that is no finite number, or one that gives no finite S21, would make every fit meaningless.
        for (std::size_t k = 1; k < point.size(); ++k) {
            if (!std::isfinite(point[k])) {
                error = "line " + std::to_string(pointLine) + ": a parameter that is no finite number";
                return false;
            }
        }
        if (ports != 2) {
            data.frequencies.push_back(f);
            point.clear();
            return true;
        }
        std::complex<double> v[4];
        for (int k = 0; k < 4; ++k)
            v[k] = ToComplex(options.format, point[1 + 2 * k], point[2 + 2 * k]);
        const std::complex<double> s21 = S21Of(options.parameter, v);
        if (!std::isfinite(s21.real()) || !std::isfinite(s21.imag())) {
            error = "line " + std::to_string(pointLine) + ": parameters that give no finite S21";
            return false;
        }
        data.frequencies.push_back(f);
        data.s21.push_back(s21);
        point.clear();
        return true;
    };

    std::size_t pos = 0;
    // A UTF-8 byte-order mark before the first line is no part of it (the option line would read as a number).
    if (size >= 3 && static_cast<unsigned char>(text[0]) == 0xEF && static_cast<unsigned char>(text[1]) == 0xBB &&
        static_cast<unsigned char>(text[2]) == 0xBF)
        pos = 3;
    int lineNo = 0;
    bool stop = false;
    while (pos < size && !stop) {
        std::size_t eol = pos;
        while (eol < size && text[eol] != '\n' && text[eol] != '\r')
            ++eol;
        std::string_view line(text + pos, eol - pos);
        pos = eol;
        if (pos < size && text[pos] == '\r')
            ++pos;
        if (pos < size && text[pos] == '\n')
            ++pos;
        ++lineNo;

        // Comments as the port count reads them: from a "!" or "%" on.
        if (const auto comment = line.find_first_of("!%"); comment != std::string_view::npos)
            line = line.substr(0, comment);
        std::size_t first = 0;
        while (first < line.size() && IsSpace(line[first]))
            ++first;
        if (first < line.size() && line[first] == '#') {
            // The options hold for the data after them: a first option line behind data would leave the points
            // before it read in other units and formats than those after it.
            if (!haveOptions && (!point.empty() || !data.frequencies.empty())) {
                error = "line " + std::to_string(lineNo) + ": the option line comes after network data";
                return false;
            }
            // Later option lines are ignored, as Touchstone readers do.
            if (!haveOptions && !ParseOptions(line.substr(first + 1), options, error)) {
                error = "line " + std::to_string(lineNo) + ": " + error;
                return false;
            }
            haveOptions = true;
            continue;
        }
        // Behind data an option character ends what the line holds, as for the port count; glued to a piece it
        // belongs to no number ("1.#INF" and "1.#QNAN" are a C runtime's texts of an infinity and a NaN).
        if (const auto option = line.find('#'); option != std::string_view::npos) {
            if (option > 0 && !IsSpace(line[option - 1])) {
                std::size_t start = option, stop = option;
                while (start > 0 && !IsSpace(line[start - 1]))
                    --start;
                while (stop < line.size() && !IsSpace(line[stop]))
                    ++stop;
                error = "line " + std::to_string(lineNo) + ": not a number: " +
                        std::string(line.substr(start, stop - start));
                return false;
            }
            line = line.substr(0, option);
        }

        const auto pieces = SplitPieces(line);
        if (pieces.empty())
            continue;
        std::vector<double> values;
        for (const auto piece : pieces) {
            double v = 0.0;
            if (!ParseWholeDouble(piece.data(), piece.data() + piece.size(), &v)) {
                error = "line " + std::to_string(lineNo) + ": not a number: " + std::string(piece);
                return false;
            }
            values.push_back(v);
        }
        if (values.size() % 2 == 1) {
            if (!finishPoint(stop))
                return false;
            if (stop)
                break;
            pointLine = lineNo;
            point = std::move(values);
        } else {
            if (point.empty()) {
                error = "line " + std::to_string(lineNo) + ": values before the first frequency";
                return false;
            }
            point.insert(point.end(), values.begin(), values.end());
        }
    }
    if (!stop && !finishPoint(stop))
        return false;
    if (data.frequencies.empty()) {
        error = "no network data";
        return false;
    }
    data.referenceImpedance = options.r;
    return true;
}

bool ReadTwoPortTouchstone(const char* text, std::size_t size, TwoPortData& data, std::string& error)
{
    return ReadTouchstoneNetwork(text, size, 2, data, error);
}

bool ReadModelFileText(const char* path, std::string& text, std::string& error)
{
    text.clear();
    const plat::FileReadResult read =
        path ? plat::ReadRegularFile(plat::NativePath(path), modelfile::kMaxModelFileBytes, text)
             : plat::FileReadResult{plat::FileReadStatus::CannotOpen, ENOENT};
    if (read)
        return true;
    error = plat::FileReadReason(read, modelfile::kMaxModelFileBytes);
    return false;
}

namespace {

// A line whose first piece begins with "[": a keyword of the second version of the format ("[Version] 2.0",
// "[Number of Ports]", "[Network Data]"), whose data follow the keywords' rules (matrix halves, separate noise).
bool HasKeywordLine(const std::string& text)
{
    bool lineStart = true;
    for (std::size_t i = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' || c == '\r') {
            lineStart = true;
        } else if (lineStart && c == '[') {
            return true;
        } else if (!IsSpace(c)) {
            lineStart = false;
        }
    }
    return false;
}

} // namespace

bool CheckTouchstoneFile(const char* path, int ports, std::string& error)
{
    std::string text;
    if (!ReadModelFileText(path, text, error))
        return false;
    if (HasKeywordLine(text))
        return true; // read by rules this reader does not know: not judged
    TwoPortData data;
    return ReadTouchstoneNetwork(text.data(), text.size(), ports, data, error);
}
