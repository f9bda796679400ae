#include "fieldsolver/SelfTestRecorder.h"

#include "fieldsolver/ModelOperations.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>

#include "safepath/Attributes.h"

namespace {

constexpr double kMilsPerMetre = 39370.08;
constexpr std::uint32_t kEpoch = 888252160u;   // 1998-02-23 16:42:40 UTC

struct FileCloser {
    void operator()(std::FILE* f) const { if (f) std::fclose(f); }
};

// Closes a file that was written: false when any of its writes or its close failed.
bool Closed(std::FILE* f)
{
    const bool written = !std::ferror(f);
    return std::fclose(f) == 0 && written;
}

// Gives the new index `f` the looks of the old index of this user's own it replaces (safepath::CopyOwnLooks: its mode,
// then its attributes, its access ACL among them). False where they cannot be given: the old index is then kept. A
// name that holds no file, or a link (which the rename replaces), gives nothing.
bool GiveLooks(std::FILE* f, const std::string& oldIndex)
{
    const int from = ::open(oldIndex.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (from < 0)
        return errno == ENOENT || errno == ELOOP;
    const bool given = safepath::CopyOwnLooks(from, ::fileno(f)) == 0;
    ::close(from);
    return given;
}

// The text after the last '.', compared without regard to case over at most 512 characters.
bool ExtensionIs(const std::string& name, const char* wanted, bool& hasDot)
{
    const auto dot = name.rfind('.');
    hasDot = dot != std::string::npos;
    if (!hasDot)
        return false;
    const std::string ext = name.substr(dot + 1, 512);
    if (ext.size() != std::strlen(wanted))
        return false;
    for (std::size_t i = 0; i < ext.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(ext[i])) != wanted[i])
            return false;
    return true;
}

} // namespace

SelfTestRecorder::SelfTestRecorder()
    : clock_([] { return std::time(nullptr); })
{
}

SelfTestRecorder::~SelfTestRecorder()
{
    Close(false);
}

bool SelfTestRecorder::Start(const std::string& indexName, const std::string& tempIndexName)
{
    Close(false);
    // Every file of the recorder is opened close-on-exec ('e'): the index stays open while recording, and a program
    // the host starts meanwhile must not hold it.
    std::FILE* f = std::fopen(tempIndexName.c_str(), "we");
    if (!f)
        return false;
    index_ = f;
    indexFileName_ = indexName.substr(0, 255);
    tempIndexFileName_ = tempIndexName.substr(0, 255);
    const auto slash = indexFileName_.rfind('/');
    directory_ = slash == std::string::npos ? std::string() : indexFileName_.substr(0, slash + 1);
    recording_ = 1;
    return true;
}

std::string SelfTestRecorder::TimeText() const
{
    const std::time_t t = clock_();
    const char* text = std::ctime(&t);
    std::string s = text ? text : "";
    const auto cut = s.find_first_of("\t\r\n");
    if (cut != std::string::npos)
        s.resize(cut);
    return s;
}

int SelfTestRecorder::Record(const FieldSolverInput& input, const FieldSolverOutput& output)
{
    if (recording_ != 1)
        return -1;
    TestCase c;
    CopyModel(c.input, input, 1, false, false, false);
    for (const auto& t : c.input.traces)
        c.conductorCount = std::max(c.conductorCount, int(t.conductor));
    if (c.output.Size(output.conductorCount))
        c.output.CopyFrom(output);
    // Ids are seconds since the recorder's epoch; a second recording within one second takes the
    // next free id so that it does not overwrite the first one's files.
    std::uint32_t id = std::uint32_t(std::uint64_t(clock_()) - kEpoch);
    if (anyId_ && id <= lastId_)
        id = lastId_ + 1;
    lastId_ = id;
    anyId_ = true;
    char base[16];
    std::snprintf(base, sizeof base, "%010u", id);
    std::string inputName, resultName;
    WriteCase(c, base, 1, inputName, resultName);
    if (index_)
        std::fprintf(index_, "\n%10u    %s    %s", id, inputName.c_str(), resultName.c_str());
    return 0;
}

int SelfTestRecorder::Close(bool commit)
{
    if (second_) {
        std::fclose(second_);
        second_ = nullptr;
    }
    int result = 0;
    if (index_) {
        std::fprintf(index_, "\n");
        std::fprintf(index_, "\n[%s]", "END");
        const bool looks = !commit || GiveLooks(index_, indexFileName_);
        const bool written = Closed(index_) && looks;
        index_ = nullptr;
        // The index takes the old one's place only when it was written whole; the rename replaces it in one step.
        if (!commit || !written || std::rename(tempIndexFileName_.c_str(), indexFileName_.c_str()) != 0) {
            std::remove(tempIndexFileName_.c_str());
            result = commit ? -1 : 0;
        }
        taskName_.clear();
    }
    recording_ = 0;
    return result;
}

void SelfTestRecorder::WriteCase(const TestCase& c, const std::string& baseName, int kind, std::string& inputName,
                                 std::string& resultName)
{
    inputName.clear();
    resultName.clear();
    if (kind != 1)
        return;
    std::string base = baseName;
    if (base.empty()) {
        char text[32];
        std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(clock_()));
        base = text;
    }
    inputName = directory_ + base + ".inp";
    resultName = directory_ + base + ".res";
    WriteInputFile(c, inputName);
    WriteResultFile(c, resultName);
}

int SelfTestRecorder::WriteInputFile(const TestCase& c, const std::string& fileName)
{
    bool hasDot = false;
    if (!ExtensionIs(fileName, "INP", hasDot)) {
        bool dummy;
        if (hasDot && ExtensionIs(fileName, "IN", dummy))
            return 0;
        return FS_INPUT_FILE;
    }
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(fileName.c_str(), "we"));
    if (!f)
        return FS_INPUT_FILE;
    std::FILE* out = f.get();
    const FieldSolverModel& m = c.input;
    std::fprintf(out, "\n// this file is generated by Field Solver Self Test");
    std::fprintf(out, "\n// %s", TimeText().c_str());
    std::fprintf(out, "\n");
    std::fprintf(out, "\n[%s]", "HEADER");
    std::fprintf(out, "\n%s", c.name.c_str());
    std::fprintf(out, "\n");
    std::fprintf(out, "\n[BOARD]");
    std::fprintf(out, "\n");
    if (m.LeftEdgeX > -25400.0f)
        std::fprintf(out, "LeftEdgeX=%.2f\n", m.LeftEdgeX * kMilsPerMetre);
    if (m.RightEdgeX < 25400.0f)
        std::fprintf(out, "RightEdgeX=%.2f\n", m.RightEdgeX * kMilsPerMetre);
    std::fprintf(out, "SpaceDielConstant=%.3f\n", double(m.SpaceDielConstant));
    std::fprintf(out, "\n");
    std::fprintf(out, "\n[LAYERS]");
    for (int k = 0; k < m.layerCount(); ++k) {
        const FieldSolverLayer& l = m.layers[std::size_t(k)];
        const char* type = l.LayerType == FS_LAYER_ROUTING ? "Routing" : (l.LayerType == FS_LAYER_PLANE ? "Plane" : "Dielectric");
        std::fprintf(out, "\n%2d LayerType=%-14s Thickness=%-6.2f DielConstant=%-6.2f", k + 1, type, l.Thickness * kMilsPerMetre,
                     double(l.DielConstant));
    }
    std::fprintf(out, "\n");
    std::fprintf(out, "\n[TRACES]");
    for (const auto& t : m.traces) {
        std::fprintf(out, "\n%2d LayerIndex=%-2d Center=%-6.2f TopWidth=%-6.2f BottomWidth=%-6.2f", t.conductor, t.LayerIndex,
                     t.Center * kMilsPerMetre, t.TopWidth * kMilsPerMetre, t.BottomWidth * kMilsPerMetre);
        if (t.LayerIndex >= 1 && t.LayerIndex <= m.layerCount() && IsPlane(m.layers[std::size_t(t.LayerIndex - 1)]))
            std::fprintf(out, " LeftXtoPlane=%-6.2f RightXtoPlane=%-6.2f", t.LeftXtoPlane * kMilsPerMetre, t.RightXtoPlane * kMilsPerMetre);
    }
    std::fprintf(out, "\n");
    if (!Closed(f.release())) {
        std::remove(fileName.c_str());
        return FS_INPUT_FILE;
    }
    return 0;
}

int SelfTestRecorder::WriteResultFile(const TestCase& c, const std::string& fileName)
{
    bool hasDot = false;
    if (!ExtensionIs(fileName, "RES", hasDot)) {
        bool dummy;
        if (hasDot && ExtensionIs(fileName, "OUT", dummy))
            return 0;
        return FS_RESULT_FILE;
    }
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(fileName.c_str(), "we"));
    if (!f)
        return FS_RESULT_FILE;
    std::FILE* out = f.get();
    // The report shows the case's conductor count, but never more than the copied result holds.
    const FieldSolverOutput& o = c.output.Record();
    const int stride = o.conductorCount;
    const int n = std::min(c.conductorCount, stride);
    std::fprintf(out, "Kestrelon Field Solver Test Output");
    std::fprintf(out, "\n Generated by Field Solver Self Test");
    std::fprintf(out, " %s", TimeText().c_str());
    std::fprintf(out, "\nInput filename: %s", fileName.c_str());
    std::fprintf(out, "\nNumber of propagation modes: %d", c.conductorCount);
    std::fprintf(out, "\nAccuracy level: unknown");
    auto block = [&](const char* heading, const float* values, double scale, const char* format) {
        std::fprintf(out, "%s", heading);
        std::fprintf(out, "\n   ");
        for (int j = 1; j <= n; ++j)
            std::fprintf(out, "%11d", j);
        for (int r = 0; r < n; ++r) {
            std::fprintf(out, "\n%2d    ", r + 1);
            for (int j = 0; j < n; ++j)
                std::fprintf(out, format, values ? values[std::size_t(r) * stride + j] * scale : 0.0);
        }
        std::fprintf(out, "\n");
    };
    block("\nCapacitance matrix [pF/m]:", o.capacitance, 1e12, "%11.3f");
    block("\nInductance matrix [mcH/m]:", o.inductance, 1e6, "%11.3f");
    std::fprintf(out, "\nPropagation speeds:");
    for (int i = 0; i < n; ++i)
        std::fprintf(out, "\nNo.%3d  %14.6e [m/c]   %6.4fc", i + 1, double(o.speeds[i]), o.speeds[i] * 3.3356409519815204e-9);
    std::fprintf(out, "\n");
    block("\nU matrix -- basis vectors\nTransformation from eigenmodes to traces", o.modesToTraces, 1.0, "%11.3f");
    block("\nTransformation from traces to eigenmodes", o.tracesToModes, 1.0, "%11.3f");
    block("\nCharacteristic impedance matrix [ohms]:", o.impedance, 1.0, "%11.3f");
    block("\nEquivalent resistors array [ohms]:", o.equivalentResistors, 1.0, "%11.2e");
    if (!Closed(f.release())) {
        std::remove(fileName.c_str());
        return FS_RESULT_FILE;
    }
    return 0;
}
