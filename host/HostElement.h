// The pin or via under a probe (also a component's pin and the item that board marks are drawn around), with its
// pads.
#pragma once

#include "brimstead/HostInterfaces.h"

#include <map>
#include <string>

namespace host {

class HostLayer;

class HostPad final : public CHostPadShape {
public:
  HostPad() = default;
  HostPad(HostPadKind kind, double first, double second) : m_kind(kind), m_first(first), m_second(second) {}

  int GetKind() override { return m_kind; }
  double GetDiameter() override { return m_kind == HostPadRound ? m_first : 0.0; }
  double GetSide() override { return m_kind == HostPadSquare ? m_first : 0.0; }
  double GetWidth() override { return m_kind >= HostPadRectangle ? m_first : 0.0; }
  double GetHeight() override { return m_kind >= HostPadRectangle ? m_second : 0.0; }

private:
  HostPadKind m_kind = HostPadRound;
  double m_first = 0.0;    // diameter, side or width (metres)
  double m_second = 0.0;   // height (metres)
};

class HostElement final : public CHostProbeElement {
public:
  HostElement(CHostBoard* board, CHostNet* net, CHostPosition position, double size, std::string pinName,
              CHostComponent* component)
      : m_board(board), m_net(net), m_position(position), m_size(size), m_pinName(std::move(pinName)),
        m_component(component) {}

  CHostBoard* GetBoard() override { return m_board; }
  CHostNet* GetNet() override { return m_net; }
  CHostPadShape* GetPad(CHostLayer* layer) override;
  const CHostPosition* GetPositionPtr() override { return &m_position; }
  double GetX() override { return m_position.x; }
  double GetY() override { return m_position.y; }
  double GetSize() override { return m_size; }
  const char* GetPinName() override { return m_pinName.c_str(); }
  CHostComponent* GetComponent() override { return m_component; }
  // The bundled host groups pins and vias by their net.
  const char* GetGroupName() override { return m_net ? m_net->GetName() : nullptr; }

  void SetPad(CHostLayer* layer, const HostPad& pad) { m_pads[layer] = pad; }
  const CHostPosition& Position() const { return m_position; }
  const std::string& PinName() const { return m_pinName; }

private:
  CHostBoard* m_board;
  CHostNet* m_net;
  CHostPosition m_position;
  double m_size;
  std::string m_pinName;
  CHostComponent* m_component;
  std::map<CHostLayer*, HostPad> m_pads;
};

}  // namespace host
