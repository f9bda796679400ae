#include "host/HostElement.h"

namespace host {

CHostPadShape* HostElement::GetPad(CHostLayer* layer) {
  auto it = m_pads.find(layer);
  return it == m_pads.end() ? nullptr : &it->second;
}

}  // namespace host
