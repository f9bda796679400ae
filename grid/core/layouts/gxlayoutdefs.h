// The descriptions of the "GXLAYOUT" resources that the program carries. The layout generator builds each
// with this library and archives it at build time; the program reads the bytes back through the same
// reader as any stored layout.
#pragma once

#include <memory>
#include <span>

#include "grid/core/CGXGridParam.h"

namespace gx {

struct LayoutDefinition {
  const char* name;  // the resource name; null for a numbered resource
  WORD id;           // the resource id of a numbered resource
  std::unique_ptr<CGXGridParam> (*build)();
};

std::span<const LayoutDefinition> LayoutDefinitions();

// The board page's grid: a list of boards with their file names and descriptions.
std::unique_ptr<CGXGridParam> BuildBoardListLayout();
// The capacitor model editor's port map grids: 1148 for Touchstone ports, 1149 for SPICE nodes.
std::unique_ptr<CGXGridParam> BuildTouchstonePortMapLayout();
std::unique_ptr<CGXGridParam> BuildSpicePortMapLayout();
// The wizard pages' probe and via grids: IC power pins as a list (1146) and from the board viewer (1161), the
// bypass wizard's via list (1155), the extractor's viewer vias (1160), via pairs as a list (1170); 1023 is a
// probe-reference grid that nothing loads.
std::unique_ptr<CGXGridParam> BuildPinListLayout();
std::unique_ptr<CGXGridParam> BuildBypassViaListLayout();
std::unique_ptr<CGXGridParam> BuildExtractorViaViewerLayout();
std::unique_ptr<CGXGridParam> BuildPinViewerLayout();
std::unique_ptr<CGXGridParam> BuildViaPairListLayout();
std::unique_ptr<CGXGridParam> BuildProbeReferenceLayout();
// The decoupling groups dialog's capacitor and group grids (1180).
std::unique_ptr<CGXGridParam> BuildDecouplingGroupsLayout();
// The capacitor table of the capacitor models dialog and the wizards' capacitor page (1036).
std::unique_ptr<CGXGridParam> BuildCapacitorModelsLayout();

}  // namespace gx
