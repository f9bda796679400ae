#include "host/HostCapacitorModel.h"

namespace host {

namespace {
std::string TextOf(const char* text) { return text ? text : ""; }

// Ports beyond this are not read when a model is copied; the module's models have a handful.
constexpr int MaxCopiedPorts = 64;

const char* KindText(int kind) {
  switch (kind) {
    case HostModelCLR: return "CLR";
    case HostModelTouchstone: return "Touchstone";
    case HostModelSPICE: return "SPICE";
    case HostModelPLS: return "PLS";
  }
  return "kind?";
}
}  // namespace

std::unique_ptr<HostCapacitorModel> HostCapacitorModel::Snapshot(CHostCapacitorModel& model) {
  CapacitorModelData data;
  data.kind = model.GetKind();
  data.includesViaMounting = model.IncludesViaMounting();
  data.libraryModel = model.IsLibraryModel();
  data.libraryText = TextOf(model.GetLibraryText());
  data.libraryModelName = TextOf(model.GetLibraryModelName());
  if (data.kind == HostModelCLR) {
    data.esr = model.GetESR();
    data.esl = model.GetESL();
    data.capacitance = model.GetCapacitance();
  } else {
    data.fileName = TextOf(model.GetFileName());
    if (data.kind == HostModelSPICE)
      data.subcircuit = TextOf(model.GetSubcircuitName());
    else
      data.series = model.IsSeries();
    for (int port = 1; port <= MaxCopiedPorts; ++port)
      if (const char* pin = model.GetPortPin(port))
        data.portPins[port] = pin;
  }
  return std::make_unique<HostCapacitorModel>(std::move(data));
}

const char* HostCapacitorModel::GetFileName() {
  return IsCLR() || m_data.fileName.empty() ? nullptr : m_data.fileName.c_str();
}

const char* HostCapacitorModel::GetSubcircuitName() {
  return m_data.kind != HostModelSPICE || m_data.subcircuit.empty() ? nullptr : m_data.subcircuit.c_str();
}

bool HostCapacitorModel::IsSeries() {
  return (m_data.kind == HostModelTouchstone || m_data.kind == HostModelPLS) && m_data.series;
}

const char* HostCapacitorModel::GetPortPin(int port) {
  if (IsCLR())
    return nullptr;
  auto it = m_data.portPins.find(port);
  return it == m_data.portPins.end() ? nullptr : it->second.c_str();
}

CHostCapacitorModel* HostModelLibrary::GetItem(int index) {
  if (index < 0 || index >= GetCount())
    return nullptr;
  return m_models[static_cast<size_t>(index)].get();
}

void HostModelLibrary::Add(CHostCapacitorModel* model) {
  if (!model)
    return;
  for (const auto& existing : m_models)
    if (existing.get() == model)
      return;   // already the library's own object
  // The library owns what it is given; it keeps a copy because the module's views read an editor that goes away.
  std::unique_ptr<CHostCapacitorModel> owned(model);
  auto copy = HostCapacitorModel::Snapshot(*owned);
  if (m_changes)
    m_changes->Add("ModelLibrary Add " + copy->Data().libraryModelName + " " + KindText(copy->Data().kind));
  Put(std::move(copy));
}

void HostModelLibrary::Remove(const char* modelName) {
  const std::string name = TextOf(modelName);
  const auto removed = std::erase_if(m_models, [&](const auto& m) { return m->Data().libraryModelName == name; });
  if (m_changes)
    m_changes->Add("ModelLibrary Remove " + name + (removed ? "" : " (not found)"));
}

HostCapacitorModel* HostModelLibrary::Put(std::unique_ptr<HostCapacitorModel> model) {
  for (auto& existing : m_models)
    if (existing->Data().libraryModelName == model->Data().libraryModelName) {
      existing = std::move(model);
      return existing.get();
    }
  m_models.push_back(std::move(model));
  return m_models.back().get();
}

HostCapacitorModel* HostModelLibrary::Find(const std::string& name) const {
  for (const auto& model : m_models)
    if (model->Data().libraryModelName == name)
      return model.get();
  return nullptr;
}

}  // namespace host
