#include "grid/core/CGXControlFactory.h"

#include <set>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXDataCopyMoveCellsImp.h"
#include "grid/core/CGXDrawRotatedTextImp.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/core/CGXGridParamCopyOperatorImp.h"
#include "grid/core/CGXGridProfileImp.h"
#include "grid/core/CGXPrintDevice.h"
#include "grid/core/CGXStyleCompareSubsetImp.h"
#include "grid/core/CGXStyleSerializeImp.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/CGXSysColorTable.h"
#include "grid/core/gxcursors.h"
#include "grid/core/gxstrings.h"
#include "platform/base/ResourceTable.h"
#include "platform/window/windowapi.h"

namespace {

struct Registries {
  std::map<UINT, CGXControlFactory::Creator> creators;
  std::vector<CGXControlFactory::Registrar> userAttributes;
  // Installers by place; the last slot holds those without a place.
  std::vector<CGXControlFactory::Installer> gridComponents[static_cast<int>(CGXControlFactory::GridComponent::Count) + 1];
  std::vector<CGXControlFactory::ApplicationInstaller>
      applicationComponents[static_cast<int>(CGXControlFactory::ApplicationComponent::Count)];
  std::vector<CGXControlFactory::ClassRegistrar> wndClasses;
  std::set<const void*> libraries;
  CGXControlFactory::CreatedControlHook createdHook;
};

Registries& Reg() {
  static Registries r;
  return r;
}

}  // namespace

const std::vector<UINT>& CGXControlFactory::StandardControlIds() {
  static const std::vector<UINT> ids = {52512, 52520, 52527, 52517, 52526, 52525, 52531, 52532, 52528, 52529,
                                        52522, 52513, 52514, 52515, 52524, 52516, 52523, 20130, 20131, 20137,
                                        20136, 52535, 52536, 52537, 52539, 52540, 52541, 52534, 52542, 52519,
                                        52518, 52521, 52543, 52544, 52545, 20128, 20132};
  return ids;
}

void CGXControlFactory::RegisterControlCreator(UINT controlId, Creator creator) {
  Reg().creators[controlId] = std::move(creator);
}
void CGXControlFactory::AddUserAttributeRegistrar(Registrar r) { Reg().userAttributes.push_back(std::move(r)); }
void CGXControlFactory::AddGridComponentInstaller(Installer i) {
  AddGridComponentInstaller(GridComponent::Count, std::move(i));
}
void CGXControlFactory::AddGridComponentInstaller(GridComponent place, Installer i) {
  Reg().gridComponents[static_cast<int>(place)].push_back(std::move(i));
}
void CGXControlFactory::AddApplicationComponentInstaller(ApplicationComponent place, ApplicationInstaller i) {
  if (place != ApplicationComponent::Count) Reg().applicationComponents[static_cast<int>(place)].push_back(std::move(i));
}
void CGXControlFactory::AddWndClassRegistrar(ClassRegistrar r) { Reg().wndClasses.push_back(std::move(r)); }
BOOL CGXControlFactory::FirstRegistration(const void* library) { return Reg().libraries.insert(library).second; }
void CGXControlFactory::SetCreatedControlHook(CreatedControlHook hook) { Reg().createdHook = std::move(hook); }

void CGXControlFactory::ClearRegistriesForTest() { Reg() = Registries{}; }

CGXControl* CGXControlFactory::CreateControl(UINT controlId, CGXGridCore* grid) {
  auto& creators = Reg().creators;
  auto it = creators.find(controlId);
  if (it == creators.end()) it = creators.find(GX_IDS_CTRL_EDIT);
  if (it == creators.end() || !it->second) return nullptr;
  CGXControl* control = it->second(grid);
  if (control && Reg().createdHook) Reg().createdHook(controlId, control);
  return control;
}

void CGXControlFactory::RegisterAllControls(CGXStylesMap& stylesMap) {
  for (UINT id : StandardControlIds()) stylesMap.AddControl(id);
}

void CGXControlFactory::RegisterAllUserAttributes(CGXStylesMap& stylesMap) {
  CGXControl::RegisterUserAttributes(&stylesMap);  // the attributes common to every cell control
  for (const Registrar& r : Reg().userAttributes) r(stylesMap);
  CGXStyle tooltip;
  tooltip.SetWrapText(TRUE).SetAutoSize(TRUE);
  stylesMap.AddUserAttribute(51022, &tooltip);
  CString choices;
  gx::LoadStringOrThrow(choices, 20126);
  CGXStyle ellipses;
  ellipses.SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList(choices);
  stylesMap.AddUserAttribute(52792, &ellipses);
}

// The classic order is: find and replace, hide cells, auto-scroll plug-in, resize to fit, update hints,
// command factory, sort, old drawing, covered cells, merged cells, floating cells, print, user range
// selection, selection frame, drag selection, user resizing, optimized update, mark edited header, freeze
// menu helper, direct copy and move, text data exchange, style data exchange, cut and paste, clear cells,
// fill handle. The engine provides four of them; the editing features register the others at their places,
// and installers without a place run last.
void CGXControlFactory::InitializeGridComponents(CGXGridCore* grid) {
  // Each installer creates its feature only when the grid has none yet.
  for (int place = 0; place <= static_cast<int>(GridComponent::Count); ++place) {
    if (grid) {
      switch (static_cast<GridComponent>(place)) {
        case GridComponent::AutoScroll: grid->InstallAutoScrollPlugin(); break;
        case GridComponent::UpdateHints: grid->InstallUpdateHintImp(); break;
        case GridComponent::OldDrawing: grid->InstallOldDrawingImp(); break;
        case GridComponent::OptimizedUpdate: grid->InstallOptimizedUpdateImp(); break;
        default: break;
      }
    }
    for (const Installer& i : Reg().gridComponents[place]) i(grid);
  }
}

// The classic order: print device, style subset comparison, style serialisation, compatible serialisation,
// profile, document serialisation, parameter copy, rotated-text drawing, number formatting, OLE date and
// time, non-OLE date and time (so the OLE service is the one installed), sort-move, data copy and move,
// long operations, covered-cell pool, spanned-cell pool, delayed-range pool. The core's own run at their
// places; the feature libraries register the others.
void CGXControlFactory::InitializeApplicationComponents() {
  for (int place = 0; place < static_cast<int>(ApplicationComponent::Count); ++place) {
    switch (static_cast<ApplicationComponent>(place)) {
      case ApplicationComponent::PrintDevice: InstallPrintDeviceImp(); break;
      case ApplicationComponent::StyleCompareSubset: InstallStyleCompareSubsetImp(); break;
      case ApplicationComponent::StyleSerialize: InstallStyleSerializeImp(); break;
      case ApplicationComponent::CompatibleSerialize: InstallSerializeTarn5CompatibleImp(); break;
      case ApplicationComponent::Profile: InstallProfileImp(); break;
      case ApplicationComponent::DocSerialize: InstallDocSerializeImp(); break;
      case ApplicationComponent::ParamCopy: InstallParamCopyOperatorImp(); break;
      case ApplicationComponent::RotatedText: InstallDrawRotatedTextImp(); break;
      case ApplicationComponent::DataCopyMove: InstallDataCopyMoveCellsImp(); break;
      default: break;
    }
    for (const ApplicationInstaller& i : Reg().applicationComponents[place]) i();
  }
}

void GXEnsureGridWndRegistrar();  // the grid window's registration (CGXGridWnd.cpp)

void CGXControlFactory::RegisterWndClasses(HINSTANCE instance) {
  GXEnsureGridWndRegistrar();
  for (const ClassRegistrar& r : Reg().wndClasses) r(instance, false);
}

void CGXControlFactory::UnregisterWndClasses(HINSTANCE instance) {
  for (const ClassRegistrar& r : Reg().wndClasses) r(instance, true);
}

// ---- Start-up

namespace {

// The texts the library loads at start-up; a missing string leaves its text empty.
constexpr UINT kTextIds[] = {20139, 20140, 20141, 20142, 20143, 20144, 20145, 20146, 20147, 20148, 20150,
                             20151, 20152, 20154, 20155, 20156, 20157, 20172, 20173, 20169, 20168, 20174,
                             20175, 20178, 20179, 20180, 20162, 20163, 20164, 20165, 20081, 20075, 20076, 20077};

void RegisterCopy(HINSTANCE instance, const char* name, const char* systemName) {
  WNDCLASS wc{};
  if (GetClassInfo(instance, name, &wc)) return;
  if (!GetClassInfo(nullptr, systemName, &wc)) return;
  wc.style |= CS_GLOBALCLASS;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  RegisterClass(&wc);
}

void RegisterPlain(HINSTANCE instance, const char* name, UINT style) {
  WNDCLASS wc{};
  if (GetClassInfo(instance, name, &wc)) return;
  wc.style = style;
  wc.lpfnWndProc = DefWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  RegisterClass(&wc);
}

// Formats and messages that exist before any start-up, as when the library is loaded.
const bool kLoadTimeRegistrations = [] {
  RegisterClipboardFormat("Rich Text Format");
  RegisterClipboardFormat("GX_MASKDATA");
  RegisterWindowMessage("commdlg_FindReplace");
  return true;
}();

}  // namespace

void InitGridLibrary(UINT arg1, UINT arg2, UINT arg3) {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  if (g.m_bInitialized) return;
  g.m_startupArgs[0] = arg1;
  g.m_startupArgs[1] = arg2;
  g.m_startupArgs[2] = arg3;
  gx::RegisterGridStrings();
  gx::RegisterGridCursors();
  HINSTANCE instance = AfxGetInstanceHandle();

  // 1. The styles clipboard format, the factory, the system version.
  CString format;
  format.Format("Grid Styles %08x", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(instance)));
  g.m_nStylesClipboardFormat = RegisterClipboardFormat(format);
  auto* factory = new CGXControlFactory;
  g.SetControlFactory(factory);
  g.m_pInitHook.reset();
  // 2. The process-wide implementations.
  factory->InitializeApplicationComponents();
  // 3. The texts.
  g.m_texts.clear();
  for (UINT id : kTextIds) {
    CString text;
    gx::LoadGridString(text, id);
    g.m_texts.push_back(text);
  }
  // 4. The popup window class: saves the bits beneath, no cursor, brush or icon.
  g.m_sPopupClassName = "GXPopupWnd";
  RegisterPlain(instance, g.m_sPopupClassName, CS_SAVEBITS);
  // 5. The window classes of grids and cell controls.
  factory->RegisterWndClasses(instance);
  RegisterCopy(instance, "EDIT", "edit");
  RegisterCopy(instance, "LISTBOX", "listbox");
  RegisterCopy(instance, "COMBOBOX", "combobox");
  RegisterPlain(instance, "GXWND", CS_GLOBALCLASS | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
  RegisterPlain(instance, "GXNDBLCLKSWND", CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW);
  RegisterPlain(instance, "GxMdiFrame", CS_GLOBALCLASS | CS_DBLCLKS);
  // 6. The colour table.
  CGXSysColorTable::Refresh();
  // 7. The date and time settings, when the date-time feature is installed.
  RefreshDateTimeSettings();
  g.m_cDecimalSeparator = '.';
  g.m_cThousandSeparator = ',';
  g.m_bInitialized = TRUE;
}

void TerminateGridLibrary() {}
