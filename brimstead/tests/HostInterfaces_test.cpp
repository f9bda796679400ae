// The host tables as compiled: every named operation sits at the position in the table of virtual operations that
// a host built to the published positions calls. The position is measured, not assumed: a pointer to a virtual
// member function holds the operation's byte offset in the table (Itanium C++ ABI).
#include "brimstead/HostInterfaces.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The table position of a virtual member function, or -1 when it is not virtual. In the Itanium C++ ABI a pointer
// to member function is two words {ptr, adj}; for a virtual function ptr is 1 + the byte offset in the table (the
// ARM variant keeps the offset in ptr and marks virtual functions in the low bit of adj).
template <class MemberFunction>
std::ptrdiff_t TablePosition(MemberFunction member) {
  static_assert(sizeof(MemberFunction) == 2 * sizeof(std::ptrdiff_t), "Itanium C++ ABI member function pointer");
  std::ptrdiff_t word[2];
  std::memcpy(word, &member, sizeof word);
  constexpr auto pointerSize = static_cast<std::ptrdiff_t>(sizeof(void*));
#if defined(__arm__) || defined(__aarch64__)
  return (word[1] & 1) ? word[0] / pointerSize : -1;
#else
  return (word[0] & 1) ? (word[0] - 1) / pointerSize : -1;
#endif
}

struct Placed {
  std::string name;
  std::ptrdiff_t measured;
  std::ptrdiff_t expected;
};

#define PLACED(Class, Operation, position) Placed{#Class "::" #Operation, TablePosition(&Class::Operation), position}

// Every operation the module or the host names, at its position.
const std::vector<Placed>& PlacedOperations() {
  static const std::vector<Placed> table = {
      PLACED(CHostWizardCallback, Run, 0),
      PLACED(CHostWizardCallback, MayClose, 1),
      PLACED(CHostWizardCallback, OnClosed, 2),
      PLACED(CHostWizardCallback, SelectNet, 3),
      PLACED(CHostWizardCallback, Notify, 4),
      PLACED(CHostWizardCallback, HostCommand, 5),

      PLACED(CHostCollection, Release, 0),
      PLACED(CHostCollection, GetCount, 1),
      PLACED(CHostCollection, GetItem, 2),

      // The one-board system answers all 22 positions, so each is placed.
      PLACED(CHostSystem, ReservedOp0, 0),
      PLACED(CHostSystem, ReservedOp1, 1),
      PLACED(CHostSystem, ReservedOp2, 2),
      PLACED(CHostSystem, GetName, 3),
      PLACED(CHostSystem, ReservedOp4, 4),
      PLACED(CHostSystem, ReservedOp5, 5),
      PLACED(CHostSystem, ReservedOp6, 6),
      PLACED(CHostSystem, ReservedOp7, 7),
      PLACED(CHostSystem, ReservedOp8, 8),
      PLACED(CHostSystem, MustChooseBoard, 9),
      PLACED(CHostSystem, GetBoards, 10),
      PLACED(CHostSystem, GetActiveBoard, 11),
      PLACED(CHostSystem, ReservedOp12, 12),
      PLACED(CHostSystem, GetBoardInfoText, 13),
      PLACED(CHostSystem, GetBoardFileName, 14),
      PLACED(CHostSystem, ReservedOp15, 15),
      PLACED(CHostSystem, ReservedOp16, 16),
      PLACED(CHostSystem, ReservedOp17, 17),
      PLACED(CHostSystem, ReservedOp18, 18),
      PLACED(CHostSystem, ReservedOp19, 19),
      PLACED(CHostSystem, GetComponentText, 20),
      PLACED(CHostSystem, GetNetText, 21),

      PLACED(CHostBoard, GetInterface, 8),
      PLACED(CHostBoard, ReleaseInterface, 9),
      PLACED(CHostBoard, GetComponents, 12),
      PLACED(CHostBoard, GetNets, 13),
      PLACED(CHostBoard, GetLayers, 15),

      PLACED(CHostPIProbes, GetSelectedProbes, 7),

      PLACED(CHostDecoupling, GetGroups, 7),
      PLACED(CHostDecoupling, DeleteGroup, 8),
      PLACED(CHostDecoupling, CreateGroup, 9),
      PLACED(CHostDecoupling, IsDecouplingCapacitor, 12),
      PLACED(CHostDecoupling, GetGroupModel, 13),
      PLACED(CHostDecoupling, GetComponentModel, 14),
      PLACED(CHostDecoupling, SetGroupModel, 15),
      PLACED(CHostDecoupling, SetComponentModel, 16),

      PLACED(CHostLayer, GetKind, 9),
      PLACED(CHostLayer, GetName, 10),
      PLACED(CHostLayer, GetThickness, 11),

      PLACED(CHostNetItem, GetKind, 8),

      PLACED(CHostNet, GetItems, 8),
      PLACED(CHostNet, GetName, 10),
      PLACED(CHostNet, IsSupply, 12),
      PLACED(CHostNet, GetMembers, 13),
      PLACED(CHostNet, IsOwnMember, 14),

      PLACED(CHostProbe, GetKind, 0),
      PLACED(CHostProbe, GetElement, 1),
      PLACED(CHostProbe, GetName, 2),
      PLACED(CHostProbe, GetPosition, 3),
      PLACED(CHostProbe, GetReferenceNet, 4),
      PLACED(CHostProbe, IsConnectedOn, 5),
      PLACED(CHostProbe, IsReferenceLayer, 6),
      PLACED(CHostProbe, GetNet, 7),
      PLACED(CHostProbe, IsSelected, 8),
      PLACED(CHostProbe, GetPartner, 9),
      PLACED(CHostProbe, IsEligible, 10),
      PLACED(CHostProbe, PanTo, 11),

      PLACED(CHostProbeElement, GetBoard, 1),
      PLACED(CHostProbeElement, GetNet, 9),
      PLACED(CHostProbeElement, GetPad, 10),
      PLACED(CHostProbeElement, GetPositionPtr, 11),
      PLACED(CHostProbeElement, GetX, 12),
      PLACED(CHostProbeElement, GetY, 13),
      PLACED(CHostProbeElement, GetSize, 14),
      PLACED(CHostProbeElement, GetPinName, 15),
      PLACED(CHostProbeElement, GetComponent, 16),
      PLACED(CHostProbeElement, GetGroupName, 17),

      PLACED(CHostPadShape, GetKind, 4),
      PLACED(CHostPadShape, GetDiameter, 8),
      PLACED(CHostPadShape, GetSide, 9),
      PLACED(CHostPadShape, GetWidth, 10),
      PLACED(CHostPadShape, GetHeight, 11),

      PLACED(CHostComponent, GetName, 8),
      PLACED(CHostComponent, GetPins, 11),
      PLACED(CHostComponent, GetPart, 12),

      PLACED(CHostPart, GetCapacitance, 16),
      PLACED(CHostPart, GetMaxDimension, 17),
      PLACED(CHostPart, GetPartName, 18),

      PLACED(CHostCapacitorGroup, SetName, 0),
      PLACED(CHostCapacitorGroup, GetName, 1),
      PLACED(CHostCapacitorGroup, GetMembers, 2),
      PLACED(CHostCapacitorGroup, AddMember, 4),
      PLACED(CHostCapacitorGroup, RemoveMember, 5),

      // Positions 0 to 4 at their place; the forms of positions 5 to 7 follow in the order of those positions.
      PLACED(CHostCapacitorModel, GetKind, 0),
      PLACED(CHostCapacitorModel, IncludesViaMounting, 1),
      PLACED(CHostCapacitorModel, IsLibraryModel, 2),
      PLACED(CHostCapacitorModel, GetLibraryText, 3),
      PLACED(CHostCapacitorModel, GetLibraryModelName, 4),
      PLACED(CHostCapacitorModel, GetESR, 5),
      PLACED(CHostCapacitorModel, GetFileName, 6),
      PLACED(CHostCapacitorModel, GetESL, 7),
      PLACED(CHostCapacitorModel, GetSubcircuitName, 8),
      PLACED(CHostCapacitorModel, IsSeries, 9),
      PLACED(CHostCapacitorModel, GetCapacitance, 10),
      PLACED(CHostCapacitorModel, GetPortPin, 11),

      PLACED(CHostModelLibrary, GetCount, 0),
      PLACED(CHostModelLibrary, GetItem, 1),
      PLACED(CHostModelLibrary, Add, 2),
      PLACED(CHostModelLibrary, Remove, 3),

      PLACED(CHostGeometryQuery, QueryMetalAreas, 0),
      PLACED(CHostGeometryQuery, QueryTPlanes, 1),

      PLACED(CBoardMarkShape, Reserved0, 0),
      PLACED(CBoardMarkShape, GetPointCount, 1),
      PLACED(CBoardMarkShape, GetPoint, 2),
      PLACED(CBoardMarkShape, GetShape, 3),
      PLACED(CBoardMarkShape, GetShapeCode, 4),
      PLACED(CBoardMarkShape, IsClosed, 5),
      PLACED(CBoardMarkShape, IsFilled, 6),
      PLACED(CBoardMarkShape, GetCentre, 7),
      PLACED(CBoardMarkShape, GetSize, 8),
      PLACED(CBoardMarkShape, GetReserved9, 9),
      PLACED(CBoardMarkShape, GetReserved10, 10),
      PLACED(CBoardMarkShape, GetReserved11, 11),
      PLACED(CBoardMarkShape, GetReserved12, 12),

      PLACED(CHostMark, SetColour, 12),
      PLACED(CHostMark, SetLineWidth, 13),
      PLACED(CHostMark, SetStyle, 14),

      PLACED(CHostMarkGroup, MakeGeometry, 13),
      PLACED(CHostMarkGroup, AddMark, 15),

      PLACED(CHostBoardMarker, CreateMarkGroup, 0),
      PLACED(CHostBoardMarker, RemoveMark, 1),
      PLACED(CHostBoardMarker, GetMarkCount, 3),
      PLACED(CHostBoardMarker, Refresh, 5),
  };
  return table;
}

#undef PLACED

TEST(HostInterfaces, EveryNamedOperationSitsAtItsTablePosition) {
  for (const Placed& operation : PlacedOperations())
    EXPECT_EQ(operation.measured, operation.expected) << operation.name;
}

}  // namespace
