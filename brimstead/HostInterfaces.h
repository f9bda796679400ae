// The host application's objects as the module sees them.
//
// The host implements every class here except CBoardMarkShape (which the module implements and the host reads);
// the module only calls them. Each class is an abstract class of virtual operations. The comment before each
// operation gives its position in the host's table of operations (counted from 0): a host built to these positions
// is called at them, so every position up to the last one is declared, in order. Positions the module never calls
// are filler operations (ReservedOpN) with a default that does nothing, so that a host need not write them and a
// call of one is harmless; CHostSystem's fillers keep the forms that the one-board system answers. Operations
// that the host's own tables do not place (added for this module's wizards) follow the last placed position. The
// module's tests measure every position in the compiled tables.
//
// Conventions:
// - Texts are 8-bit, zero-terminated and owned by the object that answers them; they stay valid while that object
//   lives and does not change the field. "none" is a null pointer, which differs from an empty text.
// - Every collection obtained from a host object is given back with CHostCollection::Release, every named board
//   interface with CHostBoard::ReleaseInterface (see HostObjectRefs.h for scope guards).
// - Collection items are untyped: an item is a pointer to the interface that the collection's source names
//   (boards, layers, nets, components, pins, probes, groups, net items), converted to void* from exactly that
//   interface type. Use HostItemAs<T> to read one back.
// - Every class has a virtual destructor, declared last so that it does not disturb the order of the operations.
//   The named board interfaces are the exception: their shared base declares the positions 0 to 6 that they
//   have in common, and its destructor is protected and not virtual, so that it takes no position before theirs.
//   The module never deletes a host object except where an operation says that it owns the object.
//
// Index:
//   CHostWizardCallback   the host's callback for a running wizard
//   CHostCollection       a counted list of host objects
//   CHostSystem           a set of boards (the one-board system implements all 22 positions)
//   CHostBoard            one board: named interfaces, components, nets, layers
//   CHostBoardInterface   base of the board's named interfaces
//   CHostPIProbes         "iBoadData/PIProbes(00275)": the probes selected in the board view
//   CHostDecoupling       "iBoadData/Decoupling(00275)": decoupling capacitors, groups and their models
//   CHostLayer            one layer of the stack
//   CHostNet, CHostNetItem one net and the items (shapes, pins, vias) it is made of
//   CHostProbe            a probe: an IC power pin or a signal via picked in the board view
//   CHostProbeElement     the pin or via under a probe; the same object is a component's pin (CHostPin) and the
//                         item that board marks are drawn around (CHostProbedItem)
//   CHostPadShape         a pad of an element on one layer
//   CHostComponent, CHostPart   a placed component and its part
//   CHostCapacitorGroup   a decoupling-capacitor group
//   CHostCapacitorModel   a capacitor model (also implemented by the model editor's views)
//   CHostModelLibrary     the host's capacitor model library
//   CHostGeometryQuery    metal areas and T-planes at a point
//   CHostBoardMarker, CHostMarkGroup, CHostMarkGeometry, CHostMark   marks in the host's board view
//   CBoardMarkShape       a shape descriptor that the module hands to the marker (module-implemented)
#pragma once

#include "platform/base/wintypes.h"

class CHostBoard;
class CHostCapacitorGroup;
class CHostCapacitorModel;
class CHostComponent;
class CHostLayer;
class CHostNet;
class CHostPadShape;
class CHostPart;
class CHostProbe;
class CHostProbeElement;

// A point on the board, in the board's units (metres in the bundled host).
struct CHostPosition {
  double x = 0.0;
  double y = 0.0;
};

// Events of CHostWizardCallback::Notify.
enum HostWizardEvent : int {
  HostEventWizardOpened = 1,
  HostEventSettingsLoaded = 2,
  HostEventOutputNameSet = 3,
  HostEventFinishPressed = 4,
};

// Kinds of CHostProbe::GetKind.
enum HostProbeKind : int {
  HostProbeVia = 0,
  HostProbeSupplyPin = 1,
};

// Layer kind that every layer walk of the module skips (it keeps its index).
constexpr int HostLayerKindSkipped = 1;

// Net-item kind that marks a net as carrying a plane: the supply nets that the decoupling analysis offers have one.
constexpr int HostNetItemKindPlane = 4;

// Names of the board's interfaces (the spelling is the host's).
inline constexpr const char* HostInterfacePIProbes = "iBoadData/PIProbes(00275)";
inline constexpr const char* HostInterfaceDecoupling = "iBoadData/Decoupling(00275)";

class CHostWizardCallback {
public:
  /* 0 */ virtual bool Run() = 0;        // run the analysis with the current settings; the wizard stays open
  /* 1 */ virtual bool MayClose() = 0;   // may the wizard close now?
  /* 2 */ virtual void OnClosed() = 0;   // a wizard dialog's window was destroyed
  /* 3 */ virtual void SelectNet(int one, CHostNet* net) = 0;   // the module picked a net (first argument 1)
  /* 4 */ virtual void Notify(int event, int one) = 0;          // HostWizardEvent, second argument 1
  /* 5 */ virtual void HostCommand(int command, int zero) = 0;  // carry out one of the host's own commands
  virtual ~CHostWizardCallback() = default;
};

class CHostCollection {
public:
  /* 0 */ virtual void Release() = 0;
  /* 1 */ virtual int GetCount() = 0;
  /* 2 */ virtual void* GetItem(int index) = 0;   // index 0 .. count-1; see the file comment for the item type
  virtual ~CHostCollection() = default;
};

// Reads a collection item back as the interface the collection holds.
template <class T>
inline T* HostItemAs(CHostCollection* collection, int index) {
  return collection ? static_cast<T*>(collection->GetItem(index)) : nullptr;
}

// A set of boards. The module calls positions 3, 9, 10, 13 and 14; the others exist because the module's own
// one-board system (CFakedSingleBoardSystem) answers every position. Positions the module never calls have default
// answers here, so that a host need not write them.
class CHostSystem {
public:
  /* 0 */ virtual void ReservedOp0() {}
  /* 1 */ virtual int ReservedOp1() { return 0; }
  /* 2 */ virtual int ReservedOp2() { return 0; }
  /* 3 */ virtual const char* GetName() = 0;
  /* 4 */ virtual void ReservedOp4() {}
  /* 5 */ virtual void ReservedOp5() {}
  /* 6 */ virtual void ReservedOp6(int /*argument*/) {}
  /* 7 */ virtual bool ReservedOp7() { return false; }
  /* 8 */ virtual bool ReservedOp8() { return false; }
  /* 9 */ virtual bool MustChooseBoard() = 0;        // true when the user is to choose among the boards
  /* 10 */ virtual CHostCollection* GetBoards() = 0;  // collection of CHostBoard; the caller releases it
  /* 11 */ virtual CHostBoard* GetActiveBoard() = 0;
  /* 12 */ virtual int ReservedOp12() { return 0; }
  /* 13 */ virtual const char* GetBoardInfoText(int boardIndex) = 0;   // a board chooser shows 14 " [" 13 " ]"
  /* 14 */ virtual const char* GetBoardFileName(int boardIndex) = 0;
  /* 15 */ virtual bool ReservedOp15(int /*a*/, int /*b*/) { return false; }
  /* 16 */ virtual int ReservedOp16(int /*a*/) { return 0; }
  /* 17 */ virtual bool ReservedOp17(int /*a*/, int /*b*/) { return false; }
  /* 18 */ virtual int ReservedOp18(int /*a*/) { return 0; }
  /* 19 */ virtual int ReservedOp19(int /*a*/) { return 0; }
  /* 20 */ virtual const char* GetComponentText(CHostComponent* component) = 0;   // the component's position 8
  /* 21 */ virtual const char* GetNetText(CHostNet* net) = 0;                     // the net's position 10
  virtual ~CHostSystem() = default;
};

// Base of the named interfaces that a board hands out (CHostPIProbes, CHostDecoupling): the positions 0 to 6 they
// share, none of which the module calls. Interfaces are given back through CHostBoard::ReleaseInterface, never
// deleted through this base, so its destructor takes no position.
class CHostBoardInterface {
public:
  /* 0 */ virtual void ReservedOp0() {}
  /* 1 */ virtual void ReservedOp1() {}
  /* 2 */ virtual void ReservedOp2() {}
  /* 3 */ virtual void ReservedOp3() {}
  /* 4 */ virtual void ReservedOp4() {}
  /* 5 */ virtual void ReservedOp5() {}
  /* 6 */ virtual void ReservedOp6() {}

protected:
  ~CHostBoardInterface() = default;
};

class CHostBoard {
public:
  /* 0 */ virtual void ReservedOp0() {}
  /* 1 */ virtual void ReservedOp1() {}
  /* 2 */ virtual void ReservedOp2() {}
  /* 3 */ virtual void ReservedOp3() {}
  /* 4 */ virtual void ReservedOp4() {}
  /* 5 */ virtual void ReservedOp5() {}
  /* 6 */ virtual void ReservedOp6() {}
  /* 7 */ virtual void ReservedOp7() {}
  /* 8 */ virtual CHostBoardInterface* GetInterface(const char* name) = 0;   // null when the board has none
  /* 9 */ virtual void ReleaseInterface(CHostBoardInterface* boardInterface) = 0;
  /* 10 */ virtual void ReservedOp10() {}
  /* 11 */ virtual void ReservedOp11() {}
  /* 12 */ virtual CHostCollection* GetComponents() = 0;   // collection of CHostComponent
  /* 13 */ virtual CHostCollection* GetNets() = 0;         // collection of CHostNet
  /* 14 */ virtual void ReservedOp14() {}
  /* 15 */ virtual CHostCollection* GetLayers() = 0;       // collection of CHostLayer, in stack order
  virtual ~CHostBoard() = default;
};

// "iBoadData/PIProbes(00275)".
class CHostPIProbes : public CHostBoardInterface {
public:
  /* 7 */ virtual CHostCollection* GetSelectedProbes() = 0;   // collection of CHostProbe, or null
  virtual ~CHostPIProbes() = default;
};

// "iBoadData/Decoupling(00275)".
class CHostDecoupling : public CHostBoardInterface {
public:
  /* 7 */ virtual CHostCollection* GetGroups() = 0;   // collection of CHostCapacitorGroup
  /* 8 */ virtual void DeleteGroup(CHostCapacitorGroup* group) = 0;
  /* 9 */ virtual CHostCapacitorGroup* CreateGroup() = 0;   // a new, empty, unnamed group
  /* 10 */ virtual void ReservedOp10() {}
  /* 11 */ virtual void ReservedOp11() {}
  /* 12 */ virtual bool IsDecouplingCapacitor(CHostComponent* component) = 0;
  /* 13 */ virtual CHostCapacitorModel* GetGroupModel(CHostCapacitorGroup* group, bool* disabled) = 0;
  /* 14 */ virtual CHostCapacitorModel* GetComponentModel(CHostComponent* component, bool* disabled) = 0;
  // The model may be null (removes it); a model view handed in is read during the call only.
  /* 15 */ virtual bool SetGroupModel(CHostCapacitorGroup* group, CHostCapacitorModel* model, bool disabled) = 0;
  /* 16 */ virtual bool SetComponentModel(CHostComponent* component, CHostCapacitorModel* model, bool disabled) = 0;
  virtual ~CHostDecoupling() = default;
};

class CHostLayer {
public:
  /* 0 */ virtual void ReservedOp0() {}
  /* 1 */ virtual void ReservedOp1() {}
  /* 2 */ virtual void ReservedOp2() {}
  /* 3 */ virtual void ReservedOp3() {}
  /* 4 */ virtual void ReservedOp4() {}
  /* 5 */ virtual void ReservedOp5() {}
  /* 6 */ virtual void ReservedOp6() {}
  /* 7 */ virtual void ReservedOp7() {}
  /* 8 */ virtual void ReservedOp8() {}
  /* 9 */ virtual int GetKind() = 0;   // HostLayerKindSkipped: not a metal layer
  /* 10 */ virtual const char* GetName() = 0;
  /* 11 */ virtual double GetThickness() = 0;   // metres
  virtual ~CHostLayer() = default;
};

// One item of a net's item collection.
class CHostNetItem {
public:
  /* 0 */ virtual void ReservedOp0() {}
  /* 1 */ virtual void ReservedOp1() {}
  /* 2 */ virtual void ReservedOp2() {}
  /* 3 */ virtual void ReservedOp3() {}
  /* 4 */ virtual void ReservedOp4() {}
  /* 5 */ virtual void ReservedOp5() {}
  /* 6 */ virtual void ReservedOp6() {}
  /* 7 */ virtual void ReservedOp7() {}
  /* 8 */ virtual int GetKind() = 0;   // HostNetItemKindPlane for a plane area
  virtual ~CHostNetItem() = default;
};

class CHostNet {
public:
  /* 0 */ virtual void ReservedOp0() {}
  /* 1 */ virtual void ReservedOp1() {}
  /* 2 */ virtual void ReservedOp2() {}
  /* 3 */ virtual void ReservedOp3() {}
  /* 4 */ virtual void ReservedOp4() {}
  /* 5 */ virtual void ReservedOp5() {}
  /* 6 */ virtual void ReservedOp6() {}
  /* 7 */ virtual void ReservedOp7() {}
  /* 8 */ virtual CHostCollection* GetItems() = 0;   // collection of CHostNetItem
  /* 9 */ virtual void ReservedOp9() {}
  /* 10 */ virtual const char* GetName() = 0;
  /* 11 */ virtual void ReservedOp11() {}
  /* 12 */ virtual bool IsSupply(double* voltage) = 0;   // true for a supply net; writes its voltage (may be null)
  // Not placed by the host's own tables (the model extractor's net pick):
  // The nets the host counts as this net's members, the net itself among them: collection of CHostNet.
  /* 13 */ virtual CHostCollection* GetMembers() = 0;
  // True for a member that a listing of the net's members leaves out (the net itself, in the bundled host).
  /* 14 */ virtual bool IsOwnMember(CHostNet* member) = 0;
  virtual ~CHostNet() = default;
};

class CHostProbe {
public:
  /* 0 */ virtual int GetKind() = 0;   // HostProbeKind
  /* 1 */ virtual CHostProbeElement* GetElement() = 0;   // the pin or via under the probe; also its identity
  /* 2 */ virtual const char* GetName() = 0;   // text or none
  /* 3 */ virtual CHostPosition GetPosition() = 0;
  /* 4 */ virtual CHostNet* GetReferenceNet() = 0;   // for a supply pin the net paired with its own; may be null
  /* 5 */ virtual bool IsConnectedOn(CHostLayer* layer) = 0;   // has a connection (a line) on the layer
  /* 6 */ virtual bool IsReferenceLayer(CHostLayer* layer) = 0;
  /* 7 */ virtual CHostNet* GetNet() = 0;   // may be null
  /* 8 */ virtual bool IsSelected() = 0;
  /* 9 */ virtual CHostProbe* GetPartner() = 0;   // the second via of a differential pair, or null
  /* 10 */ virtual bool IsEligible() = 0;
  // Not placed by the host's own tables (the via pages' "Pan to"): moves the board view to the probe's via (mode 3)
  // or to it and `second` (mode 2, a via pair; null for none); `wizard` is the wizard's screen rectangle, which the
  // view keeps clear.
  /* 11 */ virtual void PanTo(int mode, const RECT* wizard, CHostProbe* second) = 0;
  virtual ~CHostProbe() = default;
};

// The pin or via under a probe. One object answers all three views the module has of it: the probe's element, a
// component's pin, and the probed item that the board marks are drawn around.
class CHostProbeElement {
public:
  /* 0 */ virtual void ReservedOp0() {}
  /* 1 */ virtual CHostBoard* GetBoard() = 0;   // the board it lies on
  /* 2 */ virtual void ReservedOp2() {}
  /* 3 */ virtual void ReservedOp3() {}
  /* 4 */ virtual void ReservedOp4() {}
  /* 5 */ virtual void ReservedOp5() {}
  /* 6 */ virtual void ReservedOp6() {}
  /* 7 */ virtual void ReservedOp7() {}
  /* 8 */ virtual void ReservedOp8() {}
  /* 9 */ virtual CHostNet* GetNet() = 0;
  /* 10 */ virtual CHostPadShape* GetPad(CHostLayer* layer) = 0;   // its pad on the layer, or null
  /* 11 */ virtual const CHostPosition* GetPositionPtr() = 0;
  /* 12 */ virtual double GetX() = 0;
  /* 13 */ virtual double GetY() = 0;
  /* 14 */ virtual double GetSize() = 0;
  /* 15 */ virtual const char* GetPinName() = 0;   // empty for a via
  /* 16 */ virtual CHostComponent* GetComponent() = 0;   // null for a via
  /* 17 */ virtual const char* GetGroupName() = 0;        // the group a picker lists it under; text or none
  virtual ~CHostProbeElement() = default;
};
using CHostPin = CHostProbeElement;
using CHostProbedItem = CHostProbeElement;

// Pad kinds (CHostPadShape::GetKind): which dimensions describe the pad.
enum HostPadKind : int {
  HostPadRound = 0,       // GetDiameter
  HostPadSquare = 1,      // GetSide
  HostPadRectangle = 2,   // GetWidth, GetHeight
  HostPadOblong = 3,      // GetWidth, GetHeight
  HostPadOctagon = 4,     // GetWidth, GetHeight
};

class CHostPadShape {
public:
  /* 0 */ virtual void ReservedOp0() {}
  /* 1 */ virtual void ReservedOp1() {}
  /* 2 */ virtual void ReservedOp2() {}
  /* 3 */ virtual void ReservedOp3() {}
  /* 4 */ virtual int GetKind() = 0;   // HostPadKind
  /* 5 */ virtual void ReservedOp5() {}
  /* 6 */ virtual void ReservedOp6() {}
  /* 7 */ virtual void ReservedOp7() {}
  /* 8 */ virtual double GetDiameter() = 0;
  /* 9 */ virtual double GetSide() = 0;
  /* 10 */ virtual double GetWidth() = 0;
  /* 11 */ virtual double GetHeight() = 0;
  virtual ~CHostPadShape() = default;
};

class CHostComponent {
public:
  /* 0 */ virtual void ReservedOp0() {}
  /* 1 */ virtual void ReservedOp1() {}
  /* 2 */ virtual void ReservedOp2() {}
  /* 3 */ virtual void ReservedOp3() {}
  /* 4 */ virtual void ReservedOp4() {}
  /* 5 */ virtual void ReservedOp5() {}
  /* 6 */ virtual void ReservedOp6() {}
  /* 7 */ virtual void ReservedOp7() {}
  /* 8 */ virtual const char* GetName() = 0;   // reference designator
  /* 9 */ virtual void ReservedOp9() {}
  /* 10 */ virtual void ReservedOp10() {}
  /* 11 */ virtual CHostCollection* GetPins() = 0;   // collection of CHostPin
  /* 12 */ virtual CHostPart* GetPart() = 0;   // may be null
  virtual ~CHostComponent() = default;
};

class CHostPart {
public:
  /* 0 */ virtual void ReservedOp0() {}
  /* 1 */ virtual void ReservedOp1() {}
  /* 2 */ virtual void ReservedOp2() {}
  /* 3 */ virtual void ReservedOp3() {}
  /* 4 */ virtual void ReservedOp4() {}
  /* 5 */ virtual void ReservedOp5() {}
  /* 6 */ virtual void ReservedOp6() {}
  /* 7 */ virtual void ReservedOp7() {}
  /* 8 */ virtual void ReservedOp8() {}
  /* 9 */ virtual void ReservedOp9() {}
  /* 10 */ virtual void ReservedOp10() {}
  /* 11 */ virtual void ReservedOp11() {}
  /* 12 */ virtual void ReservedOp12() {}
  /* 13 */ virtual void ReservedOp13() {}
  /* 14 */ virtual void ReservedOp14() {}
  /* 15 */ virtual void ReservedOp15() {}
  /* 16 */ virtual double GetCapacitance() = 0;   // farads; 0 when not a capacitor
  /* 17 */ virtual double GetMaxDimension() = 0;  // largest body dimension, metres; 0 when unknown
  /* 18 */ virtual const char* GetPartName() = 0;
  virtual ~CHostPart() = default;
};

class CHostCapacitorGroup {
public:
  /* 0 */ virtual void SetName(const char* name) = 0;
  /* 1 */ virtual const char* GetName() = 0;
  /* 2 */ virtual CHostCollection* GetMembers() = 0;   // collection of CHostComponent, or null
  /* 3 */ virtual void ReservedOp3() {}
  /* 4 */ virtual void AddMember(CHostComponent* component) = 0;
  /* 5 */ virtual void RemoveMember(CHostComponent* component) = 0;
  virtual ~CHostCapacitorGroup() = default;
};

// Capacitor model kinds (CHostCapacitorModel::GetKind).
enum HostCapacitorModelKind : int {
  HostModelCLR = 1,
  HostModelTouchstone = 2,
  HostModelSPICE = 3,
  HostModelPLS = 4,
};

// A capacitor model. Positions 0 to 4 are at their place in the table. Positions 5 to 7 answer in the form of the
// model's kind, and one operation cannot answer a double for one kind and a text for another: each form is its own
// operation here, from table position 5 on, in the order of the positions they stand for (the forms of 5, then of
// 6, then of 7), so that a caller reads GetKind first and then calls the forms of that kind. A form that does not
// belong to the model's kind answers 0.0, false or null.
class CHostCapacitorModel {
public:
  /* 0 */ virtual int GetKind() = 0;   // HostCapacitorModelKind
  /* 1 */ virtual bool IncludesViaMounting() = 0;
  /* 2 */ virtual bool IsLibraryModel() = 0;
  /* 3 */ virtual const char* GetLibraryText() = 0;
  /* 4 */ virtual const char* GetLibraryModelName() = 0;
  // Table position: position and kind of the form.
  /* 5: 5, kind 1 */ virtual double GetESR() = 0;                       // ohms
  /* 6: 5, kinds 2-4 */ virtual const char* GetFileName() = 0;          // may be null
  /* 7: 6, kind 1 */ virtual double GetESL() = 0;                       // henries
  /* 8: 6, kind 3 */ virtual const char* GetSubcircuitName() = 0;       // may be null
  /* 9: 6, kinds 2, 4 */ virtual bool IsSeries() = 0;
  /* 10: 7, kind 1 */ virtual double GetCapacitance() = 0;              // farads
  /* 11: 7, kinds 2-4 */ virtual const char* GetPortPin(int port) = 0;  // port from 1; null when none
  virtual ~CHostCapacitorModel() = default;
};

class CHostModelLibrary {
public:
  /* 0 */ virtual int GetCount() = 0;
  /* 1 */ virtual CHostCapacitorModel* GetItem(int index) = 0;   // null outside 0 .. count-1
  // Stores the model under its model name; the library takes the object over (the module does not free it).
  /* 2 */ virtual void Add(CHostCapacitorModel* model) = 0;
  /* 3 */ virtual void Remove(const char* modelName) = 0;
  virtual ~CHostModelLibrary() = default;
};

// Geometry answers at a point, as texts owned by the host and valid until the next query. The fourth argument is
// always 0.
// - QueryMetalAreas: one line per metal area, "<layer>\t<net>", lines separated by "\n".
// - QueryTPlanes: one line per T-plane, "<layer>\t<text>\t<layer>", the two layers bounding the T-plane.
class CHostGeometryQuery {
public:
  /* 0 */ virtual const char* QueryMetalAreas(double x, double y, double size, int zero) = 0;
  /* 1 */ virtual const char* QueryTPlanes(double x, double y, double size, int zero) = 0;
  virtual ~CHostGeometryQuery() = default;
};

// A shape descriptor that the module builds (on the stack) and hands to CHostMarkGroup::MakeGeometry; the host
// reads it during that call. Circle descriptors answer GetPointCount 0, IsClosed true and their centre and size;
// segment descriptors answer GetPointCount 2 and their two points.
class CBoardMarkShape {
public:
  /* 0 */ virtual void Reserved0() = 0;
  /* 1 */ virtual int GetPointCount() = 0;   // circle 0, segment 2
  /* 2 */ virtual const double* GetPoint(int end) = 0;   // segment: end point when end != 0, else start (x, y)
  /* 3 */ virtual CBoardMarkShape* GetShape(int argument) = 0;   // the descriptor itself
  /* 4 */ virtual int GetShapeCode() = 0;   // circle 0, segment 5
  /* 5 */ virtual bool IsClosed() = 0;
  /* 6 */ virtual bool IsFilled() = 0;
  /* 7 */ virtual const double* GetCentre() = 0;   // circle: (x, y); segment: null
  /* 8 */ virtual double GetSize() = 0;   // circle: diameter; segment: 0.0
  /* 9 */ virtual double GetReserved9() = 0;
  /* 10 */ virtual double GetReserved10() = 0;
  /* 11 */ virtual double GetReserved11() = 0;
  /* 12 */ virtual double GetReserved12() = 0;
  virtual ~CBoardMarkShape() = default;
};

// A geometry the host made from a shape descriptor; only handed back to CHostMarkGroup::AddMark.
class CHostMarkGeometry {
public:
  virtual ~CHostMarkGeometry() = default;
};

class CHostMark {
public:
  /* 0 */ virtual void ReservedOp0() {}
  /* 1 */ virtual void ReservedOp1() {}
  /* 2 */ virtual void ReservedOp2() {}
  /* 3 */ virtual void ReservedOp3() {}
  /* 4 */ virtual void ReservedOp4() {}
  /* 5 */ virtual void ReservedOp5() {}
  /* 6 */ virtual void ReservedOp6() {}
  /* 7 */ virtual void ReservedOp7() {}
  /* 8 */ virtual void ReservedOp8() {}
  /* 9 */ virtual void ReservedOp9() {}
  /* 10 */ virtual void ReservedOp10() {}
  /* 11 */ virtual void ReservedOp11() {}
  /* 12 */ virtual void SetColour(COLORREF colour, int zero) = 0;
  /* 13 */ virtual void SetLineWidth(double width) = 0;
  /* 14 */ virtual void SetStyle(int style) = 0;   // the module passes 0
  virtual ~CHostMark() = default;
};

class CHostMarkGroup {
public:
  /* 0 */ virtual void ReservedOp0() {}
  /* 1 */ virtual void ReservedOp1() {}
  /* 2 */ virtual void ReservedOp2() {}
  /* 3 */ virtual void ReservedOp3() {}
  /* 4 */ virtual void ReservedOp4() {}
  /* 5 */ virtual void ReservedOp5() {}
  /* 6 */ virtual void ReservedOp6() {}
  /* 7 */ virtual void ReservedOp7() {}
  /* 8 */ virtual void ReservedOp8() {}
  /* 9 */ virtual void ReservedOp9() {}
  /* 10 */ virtual void ReservedOp10() {}
  /* 11 */ virtual void ReservedOp11() {}
  /* 12 */ virtual void ReservedOp12() {}
  /* 13 */ virtual CHostMarkGeometry* MakeGeometry(CBoardMarkShape* shape) = 0;
  /* 14 */ virtual void ReservedOp14() {}
  /* 15 */ virtual CHostMark* AddMark(CHostMarkGeometry* geometry) = 0;
  virtual ~CHostMarkGroup() = default;
};

// The board view's marker (handed in through the wizards' SetBoardView). Its marks are mark groups.
class CHostBoardMarker {
public:
  /* 0 */ virtual CHostMarkGroup* CreateMarkGroup(int one) = 0;
  /* 1 */ virtual void RemoveMark(int index) = 0;
  /* 2 */ virtual void ReservedOp2() {}
  /* 3 */ virtual int GetMarkCount() = 0;
  /* 4 */ virtual void ReservedOp4() {}
  /* 5 */ virtual void Refresh() = 0;
  virtual ~CHostBoardMarker() = default;
};
