#include "brimstead/models/DecouplingModelsHelper.h"

#include "brimstead/ModuleInitOrder.h"
#include "brimstead/HostObjectRefs.h"
#include "brimstead/models/SpiceScanner.h"
#include "brimstead/models/TouchstonePorts.h"
#include "platform/base/FileSystem.h"

#include <algorithm>
#include <exception>
#include <cstring>
#include <string>
#include <unordered_map>

namespace {

// Absolute: a drive letter and a colon, a UNC name, or - on this system - a name rooted at "/".
bool IsAbsoluteModelPath(const char* path)
{
    if (!path || !*path)
        return false;
    if (path[0] == '/' || (path[0] == '\\' && path[1] == '\\'))
        return true;
    const char c = path[0];
    return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':';
}

bool IsEmptyText(const char* text)
{
    return !text || !*text;
}

// The names of the capacitor's pins that lie on supply nets, in pin order.
std::vector<std::string> CountedPinNames(CHostComponent* capacitor)
{
    std::vector<std::string> names;
    if (!capacitor)
        return names;
    const CHostCollectionRef pins(capacitor->GetPins());
    for (int i = 0; i < pins.Count(); ++i) {
        CHostPin* pin = pins.Item<CHostPin>(i);
        CHostNet* net = pin ? pin->GetNet() : nullptr;
        double voltage = 0.0;
        if (net && net->IsSupply(&voltage)) {
            const char* name = pin->GetPinName();
            names.emplace_back(name ? name : "");
        }
    }
    return names;
}

int PinCount(CHostComponent* component)
{
    if (!component)
        return 0;
    const CHostCollectionRef pins(component->GetPins());
    return pins.Count();
}

// The pin names of a component, sorted byte-wise, for comparing two components as multisets.
class CSortedNameList {
public:
    void Add(const char* name)
    {
        m_names.emplace_back(name ? name : "");
        m_sorted = false;
    }
    int GetCount() const { return static_cast<int>(m_names.size()); }
    const std::string& GetAt(int i)
    {
        if (!m_sorted) {
            std::sort(m_names.begin(), m_names.end());
            m_sorted = true;
        }
        return m_names[static_cast<std::size_t>(i)];
    }
    bool operator==(CSortedNameList& other)
    {
        if (GetCount() != other.GetCount())
            return false;
        for (int i = 0; i < GetCount(); ++i)
            if (GetAt(i) != other.GetAt(i))
                return false;
        return true;
    }

private:
    std::vector<std::string> m_names;
    bool m_sorted = false;
};

class CDecouplingModelsHelperImpl final : public CDecouplingModelsHelper {
public:
    void AddModelDirectories(const char* text) override;
    bool IsModelValid(CHostCapacitorModel* model) override { return IsCapacitorModelValid(model); }
    int CheckModelFile(CHostCapacitorModel* model) override;
    int GetModelPortCount(CHostCapacitorModel* model) override;
    bool ModelMatchesPins(CHostCapacitorModel* model, CHostComponent* capacitor) override;
    bool HasSamePinsAsFirst(CHostComponent* capacitor, CHostCapacitorGroup* group) override;
    bool HaveSamePins(CHostComponent* a, CHostComponent* b) override;
    const char* GetModelDescription(CHostCapacitorModel* model) override;

private:
    CString m_description;
};

// Constructed second of the module's static objects (see ModuleInitOrder.h).
CDecouplingModelsHelperImpl g_helper __attribute__((init_priority(BRIM_INIT_ORDER_MODELS_HELPER)));

std::string g_foundPath; // the text FindModelFile returns, kept until the next call

void CDecouplingModelsHelperImpl::AddModelDirectories(const char* text)
{
    if (!text)
        return;
    const CString all(text);
    int start = 0;
    for (;;) {
        const CString piece = all.Tokenize("\r\t\n", start);
        if (start < 0)
            break;
        if (!piece.IsEmpty())
            m_directories.push_back(piece);
    }
}

int CDecouplingModelsHelperImpl::CheckModelFile(CHostCapacitorModel* model)
{
    if (!model)
        return -1;
    const int kind = model->GetKind();
    if (kind < HostModelTouchstone || kind > HostModelPLS)
        return -1;
    const char* name = model->GetFileName();
    if (IsEmptyText(name))
        return -1;
    const CString path = ResolveModelFile(name);
    if (path.IsEmpty())
        return 0;
    // A readable file; a directory is not a model file.
    const DWORD attributes = GetFileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return _access(path, 4) == 0 ? 1 : 0;
}

int CDecouplingModelsHelperImpl::GetModelPortCount(CHostCapacitorModel* model)
{
    if (!model)
        return 0;
    switch (model->GetKind()) {
    case HostModelCLR:
        return 2;
    case HostModelTouchstone:
        return CountTouchstonePorts(model->GetFileName());
    case HostModelPLS:
        return ReadHeaderPortCount(model->GetFileName());
    case HostModelSPICE: {
        const char* subcircuit = model->GetSubcircuitName();
        const CString path = ResolveModelFile(model->GetFileName());
        if (path.IsEmpty() || IsEmptyText(subcircuit))
            return 0;
        // A file that cannot be mapped (locked, empty, vanished since the lookup) has no ports to offer; the
        // exception must not reach the host, which calls this through its table.
        try {
            CSpiceScanner scanner;
            CSpiceSubcircuitList list;
            scanner.Scan(path, list);
            for (int k = 0; k < list.GetCount(); ++k)
                if (list.GetName(k) == subcircuit) // exact, case-sensitive
                    return list.GetPortCount(k);
        } catch (const std::exception&) {
        }
        return 0;
    }
    default:
        return 0;
    }
}

bool CDecouplingModelsHelperImpl::ModelMatchesPins(CHostCapacitorModel* model, CHostComponent* capacitor)
{
    if (!model)
        return false;
    const int kind = model->GetKind();
    if (kind == HostModelCLR)
        return CountedPinNames(capacitor).size() == 2;
    if (kind < HostModelTouchstone || kind > HostModelPLS)
        return capacitor == nullptr;

    // "pls" models carry a port map like Touchstone and SPICE models and are matched the same way.
    const int ports = GetModelPortCount(model);
    std::unordered_map<std::string, int> portOf;
    portOf.reserve(10);
    bool anyName = false;
    for (int n = 1; n <= ports; ++n) {
        const char* name = model->GetPortPin(n);
        if (!IsEmptyText(name))
            anyName = true;
        if (name)
            portOf.emplace(name, n);
    }
    // The model editor hides the port map for one- and two-port models, so those keep no port names; read
    // literally, such a model could never match the two-pin capacitor it was made for. A two-pin capacitor with
    // a one- or two-port model without port names therefore matches.
    if (!anyName && (ports == 1 || ports == 2) && PinCount(capacitor) == 2)
        return true;
    for (int n = 1; n <= ports; ++n)
        if (!model->GetPortPin(n))
            return false; // a port without a pin name
    for (const std::string& pin : CountedPinNames(capacitor))
        if (!portOf.contains(pin))
            return false;
    return true; // ports without a pin are allowed
}

bool CDecouplingModelsHelperImpl::HasSamePinsAsFirst(CHostComponent* capacitor, CHostCapacitorGroup* group)
{
    if (!group)
        return true;
    const CHostCollectionRef members(group->GetMembers());
    if (members.Count() == 0)
        return true;
    return HaveSamePins(capacitor, members.Item<CHostComponent>(0));
}

bool CDecouplingModelsHelperImpl::HaveSamePins(CHostComponent* a, CHostComponent* b)
{
    const CHostCollectionRef pinsA(a ? a->GetPins() : nullptr);
    const CHostCollectionRef pinsB(b ? b->GetPins() : nullptr);
    if (pinsA.Count() != pinsB.Count())
        return false;
    CSortedNameList namesA, namesB;
    for (int i = 0; i < pinsA.Count(); ++i) {
        CHostPin* pa = pinsA.Item<CHostPin>(i);
        CHostPin* pb = pinsB.Item<CHostPin>(i);
        namesA.Add(pa ? pa->GetPinName() : nullptr);
        namesB.Add(pb ? pb->GetPinName() : nullptr);
    }
    return namesA == namesB;
}

const char* CDecouplingModelsHelperImpl::GetModelDescription(CHostCapacitorModel* model)
{
    m_description = FormatModelDescription(model);
    return m_description;
}

} // namespace

CDecouplingModelsHelper* GetDecouplingModelsHelper()
{
    return &g_helper;
}

const char* FindModelFile(const char* name)
{
    if (IsEmptyText(name))
        return nullptr;
    for (const CString& directory : g_helper.GetModelDirectories()) {
        // The directory and the name joined with one separator, as the C library's path builder does. The
        // path is not cut to a fixed length: a cut path would name another file.
        std::string path(directory.View());
        if (!path.empty() && path.back() != '/' && path.back() != '\\')
            path += '/';
        path += name;
        if (_access(path.c_str(), 0) == 0) {
            g_foundPath = std::move(path);
            return g_foundPath.c_str();
        }
    }
    return nullptr;
}

CString ResolveModelFile(const char* name)
{
    if (IsEmptyText(name))
        return CString();
    if (IsAbsoluteModelPath(name))
        return CString(name);
    if (const char* found = FindModelFile(name))
        return CString(found);
    // A name with a folder in it may be a path already joined with a relative model directory (the editor lists
    // "directory + name"): joined again it would name no file, as it is it names the file.
    if (std::strpbrk(name, "/\\") && _access(name, 0) == 0)
        return CString(name);
    return CString();
}

int CountTouchstonePorts(const char* path)
{
    const CString resolved = ResolveModelFile(path);
    return resolved.IsEmpty() ? 0 : CountTouchstonePortsInFile(resolved);
}

int ReadHeaderPortCount(const char* path)
{
    const CString resolved = ResolveModelFile(path);
    return resolved.IsEmpty() ? 0 : ReadHeaderPortCountInFile(resolved);
}

bool IsCapacitorModelValid(CHostCapacitorModel* model)
{
    if (!model)
        return false;
    if (model->IsLibraryModel())
        return model->GetLibraryText() != nullptr && !IsEmptyText(model->GetLibraryModelName());
    switch (model->GetKind()) {
    case HostModelCLR: {
        const double c = model->GetCapacitance();
        return c > 0.0 && c < 0.004;
    }
    case HostModelSPICE:
        return !IsEmptyText(model->GetFileName()) && !IsEmptyText(model->GetSubcircuitName());
    case HostModelTouchstone:
    case HostModelPLS:
        return !IsEmptyText(model->GetFileName());
    default:
        return false;
    }
}

CString FormatCapacitance(CHostPart* part)
{
    CString text;
    const double c = part ? part->GetCapacitance() : 0.0;
    if (!(c > 0.0))
        return text;
    if (c >= 1.0)
        text.Format("%g F", c);
    else if (c >= 0.001)
        text.Format("%g mF", c * 1000.0);
    else if (c >= 1e-8)
        text.Format("%g uF", c * 1e6);
    else
        text.Format("%g pF", c * 1e12);
    return text;
}

CString FormatModelDescription(CHostCapacitorModel* model)
{
    CString text;
    if (!IsCapacitorModelValid(model))
        return CString("<undefined>");
    if (model->IsLibraryModel()) {
        text.Format("%s: %s", "Library", model->GetLibraryModelName());
        return text;
    }
    switch (model->GetKind()) {
    case HostModelCLR:
        text.Format("C=%.3guF, ESL=%.3gpH, ESR=%.3gmOhms", model->GetCapacitance() * 1e6, model->GetESL() * 1e12,
                    model->GetESR() * 1000.0);
        break;
    case HostModelSPICE:
        text.Format("%s/%s;", model->GetFileName(), model->GetSubcircuitName());
        break;
    case HostModelTouchstone:
    case HostModelPLS:
        text = model->GetFileName();
        break;
    default:
        break;
    }
    return text;
}
