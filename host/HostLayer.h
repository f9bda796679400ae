// One layer of the bundled host's stack: a signal layer (kind 0), a dielectric (kind 1, which the module skips) or a
// plane layer (kind 2; the module takes the first layer of neither kind 0 nor 1 as a reference plane, e.g. the ESL
// calculator's default reference layer).
#pragma once

#include "brimstead/HostInterfaces.h"

#include <string>

namespace host {

enum class LayerKind : int {
  Signal = 0,
  Metal = Signal,   // a metal layer that the file does not call a plane
  Dielectric = HostLayerKindSkipped,
  Plane = 2,
};

class HostLayer final : public CHostLayer {
public:
  HostLayer(std::string name, LayerKind kind, double thicknessMetres, int index)
      : m_name(std::move(name)), m_kind(kind), m_thickness(thicknessMetres), m_index(index) {}

  int GetKind() override { return static_cast<int>(m_kind); }
  const char* GetName() override { return m_name.c_str(); }
  double GetThickness() override { return m_thickness; }

  const std::string& Name() const { return m_name; }
  bool IsMetal() const { return m_kind != LayerKind::Dielectric; }
  LayerKind Kind() const { return m_kind; }
  int Index() const { return m_index; }   // position in the stack, dielectrics included

private:
  std::string m_name;
  LayerKind m_kind;
  double m_thickness;
  int m_index;
};

}  // namespace host
