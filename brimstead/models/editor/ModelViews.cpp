#include "brimstead/models/editor/ModelViews.h"

const char* CModelView::PinOf(const PortMap& map, int port) {
  auto it = map.find(port);
  return it == map.end() ? nullptr : static_cast<const char*>(it->second);
}

CHostCapacitorModel* MakeModelView(const std::shared_ptr<ModelRecord>& record) {
  switch (record->header.kind) {
    case HostModelCLR: return new CModelViewCLR(record);
    case HostModelSPICE: return new CModelViewSPICE(record);
    case HostModelTouchstone: return new CModelViewTstone(record, record->touchstone);
    case HostModelPLS: return new CModelViewTstone(record, record->pls);
    default: return nullptr;
  }
}
