#include "host/BoardFile.h"

#include "host/HostBoard.h"
#include "host/HostText.h"
#include "platform/base/CodePage.h"
#include "platform/base/RegularFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <set>
#include <sstream>
#include <string_view>
#include <vector>

namespace host {

namespace {

using nlohmann::json;

// Lengths in board files are millimetres; the host answers metres.
constexpr double MetresPerMillimetre = 0.001;

std::string Describe(const json& value) {
  switch (value.type()) {
  case json::value_t::null: return "null";
  case json::value_t::object: return "an object";
  case json::value_t::array: return "an array";
  case json::value_t::string: return "the text " + value.dump();
  case json::value_t::boolean: return value.get<bool>() ? "true" : "false";
  default: return "the number " + value.dump();
  }
}

// The line and column ("12:5") of a byte of a text, both counted from 1.
std::string LineAndColumn(const std::string& text, size_t offset) {
  offset = std::min(offset, text.size());
  const size_t line = 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n'));
  const size_t lineStart = offset == 0 ? std::string::npos : text.rfind('\n', offset - 1);
  const size_t column = lineStart == std::string::npos ? offset + 1 : offset - lineStart;
  return std::to_string(line) + ":" + std::to_string(column);
}

// Finds where values start in a text the JSON parser accepted, by their JSON pointer, so that a message about a
// value can name its line. Only what the pointer passes through is scanned.
class ValueLocator {
public:
  explicit ValueLocator(const std::string& text) : m_text(text) {}

  // The byte where the value at `pointer` starts; for a member or element that is not there, where the nearest
  // enclosing value that is there starts.
  size_t Find(const std::string& pointer) const {
    size_t at = SkipSpace(m_text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0);
    size_t from = 0;
    while (from < pointer.size() && pointer[from] == '/') {
      const size_t end = std::min(pointer.find('/', from + 1), pointer.size());
      const size_t inner = Step(at, Unescaped(pointer.substr(from + 1, end - from - 1)));
      if (inner == std::string::npos)
        return at;
      at = inner;
      from = end;
    }
    return at;
  }

private:
  static std::string Unescaped(const std::string& token) {
    std::string result;
    for (size_t i = 0; i < token.size(); ++i) {
      if (token[i] == '~' && i + 1 < token.size() && (token[i + 1] == '0' || token[i + 1] == '1')) {
        result += token[i + 1] == '0' ? '~' : '/';
        ++i;
      } else {
        result += token[i];
      }
    }
    return result;
  }

  size_t SkipSpace(size_t i) const {
    while (i < m_text.size() && (m_text[i] == ' ' || m_text[i] == '\t' || m_text[i] == '\r' || m_text[i] == '\n'))
      ++i;
    return i;
  }

  // Past the string that starts at i (its opening quote).
  size_t SkipString(size_t i) const {
    for (++i; i < m_text.size(); ++i) {
      if (m_text[i] == '\\')
        ++i;
      else if (m_text[i] == '"')
        return i + 1;
    }
    return m_text.size();
  }

  // Past the value that starts at i.
  size_t SkipValue(size_t i) const {
    if (i >= m_text.size())
      return i;
    if (m_text[i] == '"')
      return SkipString(i);
    if (m_text[i] == '{' || m_text[i] == '[') {
      int depth = 0;
      while (i < m_text.size()) {
        const char c = m_text[i];
        if (c == '"') {
          i = SkipString(i);
          continue;
        }
        if (c == '{' || c == '[')
          ++depth;
        else if ((c == '}' || c == ']') && --depth == 0)
          return i + 1;
        ++i;
      }
      return i;
    }
    while (i < m_text.size() && std::string_view(",]} \t\r\n").find(m_text[i]) == std::string_view::npos)
      ++i;
    return i;
  }

  // Where the member or element `token` of the container at `at` starts; npos when it has none such. Of members
  // named twice the last counts, as for the parser.
  size_t Step(size_t at, const std::string& token) const {
    if (at >= m_text.size())
      return std::string::npos;
    const bool object = m_text[at] == '{';
    if (!object && m_text[at] != '[')
      return std::string::npos;
    size_t wanted = 0;
    if (!object) {
      if (token.empty() || token.size() > 9 || token.find_first_not_of("0123456789") != std::string::npos)
        return std::string::npos;
      wanted = std::stoul(token);
    }
    size_t found = std::string::npos;
    size_t i = SkipSpace(at + 1);
    for (size_t index = 0; i < m_text.size() && m_text[i] != '}' && m_text[i] != ']'; ++index) {
      if (object) {
        if (m_text[i] != '"')
          return found;
        const size_t keyEnd = SkipString(i);
        const bool match = keyEnd - i >= 2 && m_text.compare(i + 1, keyEnd - i - 2, token) == 0 &&
                           keyEnd - i - 2 == token.size();
        i = SkipSpace(keyEnd);
        if (i >= m_text.size() || m_text[i] != ':')
          return found;
        i = SkipSpace(i + 1);
        if (match)
          found = i;
      } else if (index == wanted) {
        return i;
      }
      i = SkipSpace(SkipValue(i));
      if (i < m_text.size() && m_text[i] == ',')
        i = SkipSpace(i + 1);
    }
    return found;
  }

  const std::string& m_text;
};

// Reads values with their place in the file, and fails with a message that names file, line, place and expectation.
class Reader {
public:
  Reader(std::string source, const std::string& text) : m_source(std::move(source)), m_text(text) {}

  [[noreturn]] void Fail(const std::string& where, const std::string& expected, const json* got = nullptr) const {
    const std::string place = where.empty() ? "/" : where;
    std::string message = m_source + ":" + LineAndColumn(m_text, ValueLocator(m_text).Find(where)) + ": " + place +
                          ": expected " + expected;
    if (got)
      message += ", found " + Describe(*got);
    throw BoardFileError(message);
  }

  const json& Object(const json& value, const std::string& where) const {
    if (!value.is_object())
      Fail(where, "an object", &value);
    return value;
  }

  const json& Array(const json& object, const std::string& where, const char* key, bool required) const {
    static const json empty = json::array();
    auto it = object.find(key);
    if (it == object.end()) {
      if (required)
        Fail(where + "/" + key, "an array (the member is missing)");
      return empty;
    }
    if (!it->is_array())
      Fail(where + "/" + key, "an array", &*it);
    return *it;
  }

  std::string Text(const json& object, const std::string& where, const char* key,
                   const std::string* fallback = nullptr) const {
    auto it = object.find(key);
    if (it == object.end()) {
      if (!fallback)
        Fail(where + "/" + key, "a text (the member is missing)");
      return *fallback;
    }
    if (!it->is_string())
      Fail(where + "/" + key, "a text", &*it);
    return Convert(*it, where + "/" + key);
  }

  // A text of the file as the module sees it: in code page 1252.
  std::string Convert(const json& text, const std::string& where) const {
    std::optional<std::string> converted = Cp1252FromUtf8Strict(text.get_ref<const std::string&>());
    if (!converted)
      Fail(where, "a text whose every character code page 1252 has", &text);
    return std::move(*converted);
  }

  double Number(const json& object, const std::string& where, const char* key, const double* fallback = nullptr,
                bool nonNegative = false) const {
    auto it = object.find(key);
    if (it == object.end()) {
      if (!fallback)
        Fail(where + "/" + key, "a number (the member is missing)");
      return *fallback;
    }
    if (!it->is_number())
      Fail(where + "/" + key, "a number", &*it);
    const double value = it->get<double>();
    if (nonNegative && value < 0.0)
      Fail(where + "/" + key, "a number not below 0", &*it);
    return value;
  }

  bool Flag(const json& object, const std::string& where, const char* key, bool fallback) const {
    auto it = object.find(key);
    if (it == object.end())
      return fallback;
    if (!it->is_boolean())
      Fail(where + "/" + key, "true or false", &*it);
    return it->get<bool>();
  }

  std::vector<double> Numbers(const json& object, const std::string& where, const char* key, size_t count) const {
    auto it = object.find(key);
    const std::string place = where + "/" + key;
    if (it == object.end())
      Fail(place, "an array of " + std::to_string(count) + " numbers (the member is missing)");
    if (!it->is_array() || it->size() != count)
      Fail(place, "an array of " + std::to_string(count) + " numbers", &*it);
    std::vector<double> values;
    for (size_t i = 0; i < count; ++i) {
      if (!(*it)[i].is_number())
        Fail(place + "/" + std::to_string(i), "a number", &(*it)[i]);
      values.push_back((*it)[i].get<double>());
    }
    return values;
  }

private:
  std::string m_source;
  const std::string& m_text;
};

std::string At(const std::string& where, size_t index) { return where + "/" + std::to_string(index); }

class BoardBuilder {
public:
  BoardBuilder(const Reader& reader, HostBoard& board) : r(reader), b(board) {}

  void Build(const json& root) {
    r.Object(root, "");
    b.SetDescription(r.Text(root, "", "description", &Empty));
    ReadLayers(root);
    ReadNets(root);
    ReadAreas(root);
    ReadParts(root);
    ReadModels(root);
    ReadComponents(root);
    ReadVias(root);
    ReadGroups(root);
    ReadPicks(root);
  }

private:
  static inline const std::string Empty;

  HostLayer* Layer(const std::string& name, const std::string& where, bool metalOnly) const {
    HostLayer* layer = b.FindLayer(name);
    if (!layer)
      r.Fail(where, "the name of a layer declared under /layers", &JsonText(name));
    if (metalOnly && !layer->IsMetal())
      r.Fail(where, "the name of a metal layer", &JsonText(name));
    return layer;
  }

  HostNet* Net(const std::string& name, const std::string& where) const {
    HostNet* net = b.FindNet(name);
    if (!net)
      r.Fail(where, "the name of a net declared under /nets", &JsonText(name));
    return net;
  }

  const json& JsonText(const std::string& text) const {
    m_scratch = Utf8FromCp1252(text);
    return m_scratch;
  }

  std::vector<HostLayer*> LayerList(const json& object, const std::string& where, const char* key) const {
    std::vector<HostLayer*> layers;
    const json& list = r.Array(object, where, key, true);
    for (size_t i = 0; i < list.size(); ++i) {
      if (!list[i].is_string())
        r.Fail(At(where + "/" + key, i), "a layer name", &list[i]);
      layers.push_back(Layer(r.Convert(list[i], At(where + "/" + key, i)), At(where + "/" + key, i), true));
    }
    return layers;
  }

  void ReadLayers(const json& root) {
    const json& layers = r.Array(root, "", "layers", true);
    if (layers.empty())
      r.Fail("/layers", "at least one layer");
    for (size_t i = 0; i < layers.size(); ++i) {
      const std::string where = At("/layers", i);
      const json& layer = r.Object(layers[i], where);
      const std::string name = r.Text(layer, where, "name");
      if (name.empty())
        r.Fail(where + "/name", "a layer name that is not empty");
      if (b.FindLayer(name))
        r.Fail(where + "/name", "a layer name not used before", &layer["name"]);
      const std::string kind = r.Text(layer, where, "kind");
      // "metal" is the older word for a signal layer.
      LayerKind layerKind = LayerKind::Signal;
      if (kind == "dielectric")
        layerKind = LayerKind::Dielectric;
      else if (kind == "plane")
        layerKind = LayerKind::Plane;
      else if (kind != "signal" && kind != "metal")
        r.Fail(where + "/kind", "\"signal\", \"plane\" or \"dielectric\"", &layer["kind"]);
      const double thickness = r.Number(layer, where, "thickness", nullptr, true);
      b.AddLayer(name, layerKind, thickness * MetresPerMillimetre);
    }
  }

  void ReadNets(const json& root) {
    const json& nets = r.Array(root, "", "nets", true);
    std::vector<std::pair<HostNet*, std::pair<std::string, std::string>>> references;
    for (size_t i = 0; i < nets.size(); ++i) {
      const std::string where = At("/nets", i);
      const json& net = r.Object(nets[i], where);
      const std::string name = r.Text(net, where, "name");
      if (name.empty())
        r.Fail(where + "/name", "a net name that is not empty");
      if (b.FindNet(name))
        r.Fail(where + "/name", "a net name not used before", &net["name"]);
      const std::string type = r.Text(net, where, "type");
      NetType netType = NetType::Signal;
      if (type == "supply")
        netType = NetType::Supply;
      else if (type != "signal")
        r.Fail(where + "/type", "\"supply\" or \"signal\"", &net["type"]);
      const double zero = 0.0;
      const double voltage = r.Number(net, where, "voltage", &zero);
      HostNet* added = b.AddNet(name, netType, voltage);
      if (net.contains("reference")) {
        if (netType != NetType::Supply)
          r.Fail(where + "/reference", "no reference on a signal net", &net["reference"]);
        references.push_back({added, {r.Text(net, where, "reference"), where + "/reference"}});
      }
    }
    for (auto& [net, reference] : references) {
      HostNet* target = Net(reference.first, reference.second);
      if (target == net)
        r.Fail(reference.second, "another net than the net itself", &JsonText(reference.first));
      net->SetReference(target);
    }
  }

  void ReadAreas(const json& root) {
    const json& areas = r.Array(root, "", "areas", false);
    for (size_t i = 0; i < areas.size(); ++i) {
      const std::string where = At("/areas", i);
      const json& area = r.Object(areas[i], where);
      MetalArea metal;
      metal.net = Net(r.Text(area, where, "net"), where + "/net");
      metal.layer = Layer(r.Text(area, where, "layer"), where + "/layer", true);
      const std::vector<double> rect = r.Numbers(area, where, "rect", 4);
      if (rect[2] < rect[0] || rect[3] < rect[1])
        r.Fail(where + "/rect", "[x1, y1, x2, y2] with x1 <= x2 and y1 <= y2", &area["rect"]);
      metal.x1 = rect[0] * MetresPerMillimetre;
      metal.y1 = rect[1] * MetresPerMillimetre;
      metal.x2 = rect[2] * MetresPerMillimetre;
      metal.y2 = rect[3] * MetresPerMillimetre;
      b.AddArea(metal);
      m_areasOf[metal.net].push_back(b.Areas().size() - 1);
      metal.net->AddItem(NetItemKind::Plane);
    }
  }

  void ReadParts(const json& root) {
    const json& parts = r.Array(root, "", "parts", false);
    for (size_t i = 0; i < parts.size(); ++i) {
      const std::string where = At("/parts", i);
      const json& part = r.Object(parts[i], where);
      const std::string name = r.Text(part, where, "name");
      if (b.FindPart(name))
        r.Fail(where + "/name", "a part name not used before", &part["name"]);
      const double zero = 0.0;
      const std::string package = r.Text(part, where, "package", &Empty);
      const double capacitance = r.Number(part, where, "capacitance", &zero, true);
      const double size = r.Number(part, where, "size", &zero, true);
      b.AddPart(name, package, capacitance, size * MetresPerMillimetre);
    }
  }

  void ReadModels(const json& root) {
    const json& models = r.Array(root, "", "models", false);
    for (size_t i = 0; i < models.size(); ++i) {
      const std::string where = At("/models", i);
      const json& model = r.Object(models[i], where);
      CapacitorModelData data;
      data.libraryModelName = r.Text(model, where, "name");
      if (m_models.count(data.libraryModelName))
        r.Fail(where + "/name", "a model name not used before", &model["name"]);
      data.libraryModel = true;
      data.libraryText = r.Text(model, where, "library", &Empty);
      data.includesViaMounting = r.Flag(model, where, "includesViaMounting", false);
      const std::string kind = r.Text(model, where, "kind");
      const double zero = 0.0;
      if (kind == "CLR") {
        data.kind = HostModelCLR;
        data.capacitance = r.Number(model, where, "capacitance", nullptr, true);
        data.esr = r.Number(model, where, "esr", &zero, true);
        data.esl = r.Number(model, where, "esl", &zero, true);
      } else if (kind == "Touchstone" || kind == "SPICE" || kind == "PLS") {
        data.kind = kind == "Touchstone" ? HostModelTouchstone : kind == "SPICE" ? HostModelSPICE : HostModelPLS;
        data.fileName = r.Text(model, where, "file");
        if (data.kind == HostModelSPICE)
          data.subcircuit = r.Text(model, where, "subcircuit");
        else
          data.series = r.Flag(model, where, "series", true);
        ReadPorts(model, where, data);
      } else {
        r.Fail(where + "/kind", "\"CLR\", \"Touchstone\", \"SPICE\" or \"PLS\"", &model["kind"]);
      }
      const std::string name = data.libraryModelName;
      m_models.emplace(name, b.ModelLibrary().Put(std::make_unique<HostCapacitorModel>(std::move(data))));
    }
  }

  void ReadPorts(const json& model, const std::string& where, CapacitorModelData& data) const {
    const json& ports = r.Array(model, where, "ports", false);
    for (size_t i = 0; i < ports.size(); ++i) {
      if (!ports[i].is_string())
        r.Fail(At(where + "/ports", i), "a pin name (or \"\" for a port left unassigned)", &ports[i]);
      const std::string pin = r.Convert(ports[i], At(where + "/ports", i));
      if (!pin.empty())
        data.portPins[static_cast<int>(i) + 1] = pin;
    }
  }

  HostPad ReadPad(const json& owner, const std::string& where) const {
    const std::string place = where + "/pad";
    const json& pad = r.Object(owner.at("pad"), place);
    const std::string shape = r.Text(pad, place, "shape");
    if (shape == "round")
      return HostPad(HostPadRound, r.Number(pad, place, "diameter", nullptr, true) * MetresPerMillimetre, 0.0);
    if (shape == "square")
      return HostPad(HostPadSquare, r.Number(pad, place, "side", nullptr, true) * MetresPerMillimetre, 0.0);
    HostPadKind kind = HostPadRectangle;
    if (shape == "oblong")
      kind = HostPadOblong;
    else if (shape == "octagon")
      kind = HostPadOctagon;
    else if (shape != "rectangle")
      r.Fail(place + "/shape", "\"round\", \"square\", \"rectangle\", \"oblong\" or \"octagon\"", &pad["shape"]);
    return HostPad(kind, r.Number(pad, place, "width", nullptr, true) * MetresPerMillimetre,
                   r.Number(pad, place, "height", nullptr, true) * MetresPerMillimetre);
  }

  CHostPosition Position(const json& object, const std::string& where) const {
    const std::vector<double> at = r.Numbers(object, where, "at", 2);
    return {at[0] * MetresPerMillimetre, at[1] * MetresPerMillimetre};
  }

  // Metal layers with an area of `net` at the point.
  std::vector<HostLayer*> PlaneLayersAt(HostNet* net, CHostPosition at, double size) const {
    std::set<HostLayer*> layers;
    auto areas = m_areasOf.find(net);
    if (areas == m_areasOf.end())
      return {};
    for (size_t index : areas->second) {
      const MetalArea& area = b.Areas()[index];
      if (area.Hits(at.x, at.y, size))
        layers.insert(area.layer);
    }
    return {layers.begin(), layers.end()};
  }

  // The board view's flags of a probe, from its pin or via entry; without them the probe keeps its defaults.
  void ReadProbeFlags(const json& entry, const std::string& where, HostProbe* probe) const {
    probe->SetEligible(r.Flag(entry, where, "eligible", probe->IsEligible()));
    probe->SetSelected(r.Flag(entry, where, "selected", probe->IsSelected()));
  }

  void ReadComponents(const json& root) {
    const json& components = r.Array(root, "", "components", false);
    for (size_t i = 0; i < components.size(); ++i) {
      const std::string where = At("/components", i);
      const json& c = r.Object(components[i], where);
      const std::string name = r.Text(c, where, "name");
      if (name.empty() || b.FindComponent(name))
        r.Fail(where + "/name", "a component name that is not empty and not used before", &c["name"]);
      HostPart* part = nullptr;
      if (c.contains("part")) {
        const std::string partName = r.Text(c, where, "part");
        part = b.FindPart(partName);
        if (!part)
          r.Fail(where + "/part", "the name of a part declared under /parts", &c["part"]);
      }
      HostLayer* side = Layer(r.Text(c, where, "side"), where + "/side", true);
      HostComponent* component = b.AddComponent(name, part, side);
      const bool decoupling = r.Flag(c, where, "decoupling", component->IsCapacitor());
      b.Decoupling().SetDecoupling(component, decoupling);
      if (c.contains("model"))
        AssignModel(c, where, [&](CHostCapacitorModel* m, bool off) {
          return b.Decoupling().SetComponentModel(component, m, off);
        });
      ReadPins(c, where, component, decoupling);
    }
  }

  template <class Assign>
  void AssignModel(const json& owner, const std::string& where, Assign assign) const {
    const std::string name = r.Text(owner, where, "model");
    auto found = m_models.find(name);
    HostCapacitorModel* model = found == m_models.end() ? nullptr : found->second;
    if (!model)
      r.Fail(where + "/model", "the name of a model declared under /models", &owner["model"]);
    if (!assign(model, r.Flag(owner, where, "modelDisabled", false)))
      r.Fail(where + "/model", "a model only on a decoupling capacitor or a group");
  }

  void ReadPins(const json& c, const std::string& componentWhere, HostComponent* component, bool decoupling) {
    const json& pins = r.Array(c, componentWhere, "pins", true);
    std::set<std::string> names;
    for (size_t i = 0; i < pins.size(); ++i) {
      const std::string where = At(componentWhere + "/pins", i);
      const json& p = r.Object(pins[i], where);
      const std::string pinName = r.Text(p, where, "name");
      if (pinName.empty() || !names.insert(pinName).second)
        r.Fail(where + "/name", "a pin name that is not empty and not used before on this component", &p["name"]);
      HostNet* net = Net(r.Text(p, where, "net"), where + "/net");
      const CHostPosition at = Position(p, where);
      const double size = r.Number(p, where, "size", nullptr, true) * MetresPerMillimetre;
      HostElement* pin = b.AddElement(net, at, size, pinName, component);
      if (p.contains("pad"))
        pin->SetPad(component->Side(), ReadPad(p, where));
      component->AddPin(pin);
      net->AddItem(NetItemKind::Pin);
      // An IC pin on a supply net that is measured against a reference net is a supply-pin probe; the probe's net
      // is that reference net (the return side), its element the pin.
      if (decoupling || !net->IsSupplyNet() || !net->Reference()) {
        for (const char* flag : {"eligible", "selected"})
          if (p.contains(flag))
            r.Fail(where + "/" + flag, std::string("a pin without \"") + flag +
                       "\" (only IC pins on a supply net with a reference net are probes)", &p[flag]);
        continue;
      }
      const std::string id = component->Name() + "." + pinName;
      HostProbe* probe = b.AddProbe(id, HostProbeSupplyPin, id, pin, net->Reference(), net->Reference());
      ReadProbeFlags(p, where, probe);
      std::vector<HostLayer*> connected = p.contains("connected") ? LayerList(p, where, "connected")
                                                                  : PlaneLayersAt(net, at, size);
      if (!p.contains("connected"))
        connected.insert(connected.begin(), component->Side());
      for (HostLayer* layer : connected)
        probe->Connect(layer);
      const std::vector<HostLayer*> reference = p.contains("reference") ? LayerList(p, where, "reference")
                                                                        : PlaneLayersAt(net->Reference(), at, size);
      for (HostLayer* layer : reference)
        probe->Refer(layer);
    }
  }

  void ReadVias(const json& root) {
    const json& vias = r.Array(root, "", "vias", false);
    std::vector<std::pair<HostProbe*, std::pair<std::string, std::string>>> partners;
    for (size_t i = 0; i < vias.size(); ++i) {
      const std::string where = At("/vias", i);
      const json& v = r.Object(vias[i], where);
      const std::string id = r.Text(v, where, "id");
      if (id.empty() || b.FindProbe(id))
        r.Fail(where + "/id", "a probe id that is not empty and not used before", &v["id"]);
      const std::string name = r.Text(v, where, "name", &id);
      HostNet* net = Net(r.Text(v, where, "net"), where + "/net");
      const CHostPosition at = Position(v, where);
      const double size = r.Number(v, where, "size", nullptr, true) * MetresPerMillimetre;
      HostElement* element = b.AddElement(net, at, size, "", nullptr);
      net->AddItem(NetItemKind::Via);
      HostProbe* probe = b.AddProbe(id, HostProbeVia, name, element, net, nullptr);
      const std::vector<HostLayer*> connected = LayerList(v, where, "connected");
      const HostPad pad = v.contains("pad") ? ReadPad(v, where) : HostPad();
      for (HostLayer* layer : connected) {
        probe->Connect(layer);
        if (v.contains("pad"))
          element->SetPad(layer, pad);
      }
      ReadProbeFlags(v, where, probe);
      if (v.contains("partner"))
        partners.push_back({probe, {r.Text(v, where, "partner"), where + "/partner"}});
    }
    // A differential pair is one relation: the partner names this via back or names none, and no third via names
    // either of them (the wizards would take another pair from each end).
    std::map<HostProbe*, std::string> namedBy;
    for (const auto& [probe, partner] : partners)
      namedBy.emplace(probe, partner.first);
    std::set<HostProbe*> taken;
    for (auto& [probe, partner] : partners) {
      HostProbe* other = b.FindProbe(partner.first);
      if (!other || other == probe || other->GetKind() != HostProbeVia)
        r.Fail(partner.second, "the id of another via", &JsonText(partner.first));
      const auto back = namedBy.find(other);
      if (back != namedBy.end() && back->second != probe->Id())
        r.Fail(partner.second,
               "the id of a via whose partner is this via (it names \"" + Utf8FromCp1252(back->second) + "\")",
               &JsonText(partner.first));
      if (!taken.insert(other).second)
        r.Fail(partner.second, "the id of a via that no other via names as its partner", &JsonText(partner.first));
      probe->SetPartner(other);
    }
  }

  void ReadGroups(const json& root) {
    const json& groups = r.Array(root, "", "groups", false);
    // A capacitor belongs to one group at most: the board view and the groups dialog show it in one place.
    std::map<HostComponent*, std::string> groupOf;
    for (size_t i = 0; i < groups.size(); ++i) {
      const std::string where = At("/groups", i);
      const json& g = r.Object(groups[i], where);
      const std::string name = r.Text(g, where, "name");
      if (name.empty() || !m_groupNames.insert(name).second)
        r.Fail(where + "/name", "a group name that is not empty and not used before", &g["name"]);
      HostCapacitorGroup* group = b.Decoupling().AddGroup(name);
      const json& members = r.Array(g, where, "members", true);
      for (size_t m = 0; m < members.size(); ++m) {
        const std::string place = At(where + "/members", m);
        if (!members[m].is_string())
          r.Fail(place, "a component name", &members[m]);
        HostComponent* component = b.FindComponent(r.Convert(members[m], place));
        if (!component || !b.Decoupling().IsDecouplingCapacitor(component))
          r.Fail(place, "the name of a decoupling capacitor", &members[m]);
        if (auto [it, added] = groupOf.emplace(component, name); !added)
          r.Fail(place, "a decoupling capacitor of no group so far (it is a member of \"" + it->second + "\")",
                 &members[m]);
        group->AddMember(component);
      }
      if (g.contains("model"))
        AssignModel(g, where, [&](CHostCapacitorModel* m, bool off) {
          return b.Decoupling().SetGroupModel(group, m, off);
        });
    }
  }

  void ReadPicks(const json& root) {
    const json& picks = r.Array(root, "", "picks", false);
    std::vector<HostProbe*> probes;
    std::unordered_set<HostProbe*> picked;
    for (size_t i = 0; i < picks.size(); ++i) {
      const std::string place = At("/picks", i);
      if (!picks[i].is_string())
        r.Fail(place, "a probe id", &picks[i]);
      HostProbe* probe = b.FindProbe(r.Convert(picks[i], place));
      if (!probe)
        r.Fail(place, "the id of a supply pin (\"<component>.<pin>\") or of a via", &picks[i]);
      // One pick per probe: a probe picked twice would become two probe records of one pin.
      if (!picked.insert(probe).second)
        r.Fail(place, "the id of a probe not picked before", &picks[i]);
      probes.push_back(probe);
    }
    b.SetPicks(std::move(probes));
  }

  const Reader& r;
  HostBoard& b;
  mutable json m_scratch;
  // What the file declared so far, by name or net, so that every reference costs one look-up.
  std::unordered_map<std::string, HostCapacitorModel*> m_models;
  std::unordered_set<std::string> m_groupNames;
  std::unordered_map<HostNet*, std::vector<size_t>> m_areasOf;   // indexes into the board's areas
};

// The parser's reason without its exception's name and its own count of lines and columns, which the message
// gives in front: "[json.exception.parse_error.101] parse error at line 1, column 5: syntax error ..." becomes
// "syntax error ...".
std::string ParserReason(const std::string& what) {
  std::string reason = what;
  if (reason.rfind("[json.exception.", 0) == 0) {
    const size_t close = reason.find("] ");
    if (close != std::string::npos)
      reason.erase(0, close + 2);
  }
  if (reason.rfind("parse error at line ", 0) == 0) {
    const size_t colon = reason.find(": ");
    if (colon != std::string::npos)
      reason.erase(0, colon + 2);
  }
  return reason;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

// The reader's document builder, which remembers where and why the text could not be read instead of throwing:
// every fault of the text (syntax, a number beyond the double range, bad UTF-8) ends up in one message. It also
// refuses what the parser would take silently: a text or member name holding the escape \u0000 (the module's
// texts end at a NUL, so two names would read as one), a text holding another control character (escaped, as JSON
// wants them) and a member named twice in one object (the parser keeps the last value). Those are reported by
// their place, as the builder's refusals are.
class DocumentParser : public nlohmann::detail::json_sax_dom_parser<json> {
public:
  using Base = nlohmann::detail::json_sax_dom_parser<json>;
  explicit DocumentParser(json& root) : Base(root, false) {}

  template <class Exception>
  bool parse_error(std::size_t position, const std::string& /*lastToken*/, const Exception& error) {
    m_position = position;
    m_what = error.what();
    return false;
  }

  bool null() { return Value() && Base::null(); }
  bool boolean(bool value) { return Value() && Base::boolean(value); }
  bool number_integer(number_integer_t value) { return Value() && Base::number_integer(value); }
  bool number_unsigned(number_unsigned_t value) { return Value() && Base::number_unsigned(value); }
  bool number_float(number_float_t value, const string_t& text) { return Value() && Base::number_float(value, text); }
  bool binary(binary_t& value) { return Value() && Base::binary(value); }
  bool string(string_t& value) {
    if (value.find('\0') != string_t::npos)
      return Refuse(ValuePlace(), "a text without the escape \\u0000", json(value));
    // A name with a line break would split the line of the settings file it is saved in; no other control
    // character belongs in a name or text of a board either.
    const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
    if (std::any_of(value.begin(), value.end(), control))
      return Refuse(ValuePlace(), "a text without control characters (line breaks, tabs and the like)", json(value));
    return Value() && Base::string(value);
  }
  bool start_object(std::size_t length) {
    m_levels.push_back(Level{true, 0, {}, {}});
    return Base::start_object(length);
  }
  bool key(string_t& name) {
    Level& level = m_levels.back();
    if (name.find('\0') != string_t::npos)
      return Refuse(ContainerPlace(), "member names without the escape \\u0000", json(name));
    if (!level.names.insert(name).second)
      return Refuse(ContainerPlace() + "/" + PointerToken(name), "a member name not used before in its object",
                    json(name));
    level.name = name;
    return Base::key(name);
  }
  bool end_object() {
    m_levels.pop_back();
    return Value() && Base::end_object();
  }
  bool start_array(std::size_t length) {
    m_levels.push_back(Level{false, 0, {}, {}});
    return Base::start_array(length);
  }
  bool end_array() {
    m_levels.pop_back();
    return Value() && Base::end_array();
  }

  std::size_t Position() const { return m_position; }
  const std::string& What() const { return m_what; }
  // What was refused by place, with the expectation and the value found; no place when nothing was.
  const std::optional<std::string>& RefusedPlace() const { return m_refusedPlace; }
  const std::string& RefusedExpectation() const { return m_refusedExpectation; }
  const json& RefusedValue() const { return m_refusedValue; }

private:
  struct Level {
    bool object;
    std::size_t index;              // of the element being read, in an array
    std::string name;               // of the member being read, in an object
    std::set<std::string> names;    // of the members read so far, in an object
  };

  static std::string PointerToken(const std::string& name) {
    std::string token;
    for (char c : name)
      token += c == '~' ? std::string("~0") : c == '/' ? std::string("~1") : std::string(1, c);
    return token;
  }
  // The JSON pointer of the container being read, and of the value being read in it.
  std::string ContainerPlace() const { return PlaceOf(m_levels.size() - 1); }
  std::string ValuePlace() const { return PlaceOf(m_levels.size()); }
  std::string PlaceOf(std::size_t depth) const {
    std::string place;
    for (std::size_t i = 0; i < depth && i < m_levels.size(); ++i)
      place += "/" + (m_levels[i].object ? PointerToken(m_levels[i].name) : std::to_string(m_levels[i].index));
    return place;
  }
  // A value was read: the next one in an array has the next index.
  bool Value() {
    if (!m_levels.empty() && !m_levels.back().object)
      ++m_levels.back().index;
    return true;
  }
  bool Refuse(std::string place, std::string expectation, json value) {
    m_refusedPlace = std::move(place);
    m_refusedExpectation = std::move(expectation);
    m_refusedValue = std::move(value);
    return false;
  }

  std::size_t m_position = 0;
  std::string m_what;
  std::vector<Level> m_levels;
  std::optional<std::string> m_refusedPlace;
  std::string m_refusedExpectation;
  json m_refusedValue;
};

std::unique_ptr<HostBoard> LoadBoardText(const std::string& text, const std::string& sourceName, HostLedger& ledger) {
  const Reader reader(sourceName, text);
  // The parser takes a NUL byte for the end of the text: what follows one would be passed over unread.
  if (const size_t nul = text.find('\0'); nul != std::string::npos)
    throw BoardFileError(sourceName + ":" + LineAndColumn(text, nul) + ": expected valid JSON (a NUL byte)");
  json root;
  DocumentParser parser(root);
  if (!json::sax_parse(text, &parser) || root.is_discarded()) {
    if (parser.RefusedPlace())
      reader.Fail(*parser.RefusedPlace(), parser.RefusedExpectation(), &parser.RefusedValue());
    // The parser counts the bytes it read, the one it stopped at included.
    const size_t stop = parser.Position() > 0 ? parser.Position() - 1 : 0;
    // The parser's reason quotes the bytes it read last: a byte that is no UTF-8 is shown by its number.
    throw BoardFileError(sourceName + ":" + LineAndColumn(text, stop) + ": expected valid JSON (" +
                         plat::Utf8Escaped(ParserReason(parser.What())) + ")");
  }
  reader.Object(root, "");
  const std::string name = reader.Text(root, "", "name");
  auto board = std::make_unique<HostBoard>(ledger, name, BaseName(sourceName));
  // Building the board from its file is no change of it: the decoupling interface logs only what follows.
  board->Decoupling().SetChangeLog(nullptr);
  try {
    BoardBuilder(reader, *board).Build(root);
  } catch (const json::exception& error) {
    // The builder checks every value before it reads it; a JSON error that still comes through is the file's too.
    reader.Fail("", std::string("a board file (") + ParserReason(error.what()) + ")");
  }
  board->Decoupling().SetChangeLog(&board->Changes());
  return board;
}

std::unique_ptr<HostBoard> LoadBoardFile(const std::string& path, HostLedger& ledger) {
  std::string text;
  const plat::FileReadResult read = plat::ReadRegularFile(path, kMaxBoardFileBytes, text);
  if (!read)
    throw BoardFileError(path + ": " + plat::DescribeFileRead(read, kMaxBoardFileBytes));
  return LoadBoardText(text, path, ledger);
}

}  // namespace host
