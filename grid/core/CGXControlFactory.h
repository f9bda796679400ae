// Which cell control serves each control id, the names of the control types and the user attributes they
// use, and the installation of the grid's feature objects.
//
// The factory is a registry: each cell control registers a creator for its ids (the cell-control
// libraries fill it from their registration calls), so that the core knows no cell class, only the control
// base. Ids without a creator get the edit control, as the classic table maps every unlisted id to it.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "grid/core/CGXGridGlobals.h"
#include "grid/core/gxtypes.h"

class CGXControl;
class CGXGridCore;
class CGXStylesMap;

class CGXAbstractControlFactory : public CGXImpBase {
 public:
  virtual CGXControl* CreateControl(UINT controlId, CGXGridCore* grid) = 0;
  virtual void RegisterAllControls(CGXStylesMap& stylesMap) = 0;
  virtual void RegisterAllUserAttributes(CGXStylesMap& stylesMap) = 0;
  virtual void InitializeGridComponents(CGXGridCore* grid) = 0;
  virtual void InitializeApplicationComponents() = 0;
  virtual void RegisterWndClasses(HINSTANCE instance) = 0;
  virtual void UnregisterWndClasses(HINSTANCE instance) = 0;
};

class CGXControlFactory : public CGXAbstractControlFactory {
 public:
  using Creator = std::function<CGXControl*(CGXGridCore* grid)>;
  using Registrar = std::function<void(CGXStylesMap&)>;
  using Installer = std::function<void(CGXGridCore* grid)>;
  using ClassRegistrar = std::function<void(HINSTANCE instance, bool unregister)>;

  // The control ids whose type names RegisterAllControls records, in its order.
  static const std::vector<UINT>& StandardControlIds();

  // Registries the cell-control, window and feature libraries fill (process-wide).
  static void RegisterControlCreator(UINT controlId, Creator creator);
  static void AddUserAttributeRegistrar(Registrar registrar);
  // The places of the grid's feature installers, in the order InitializeGridComponents runs them, and of
  // the process-wide installers, in the order InitializeApplicationComponents runs them.
  enum class GridComponent {
    FindReplace, HideCells, AutoScroll, ResizeToFit, UpdateHints, CommandFactory, Sort, OldDrawing,
    CoveredCells, MergedCells, FloatingCells, Print, UserSelectRange, SelectionFrame, DragSelect, UserResize,
    OptimizedUpdate, MarkEditHeader, FreezeMenuHelper, DirectCopyMove, TextDataExchange, StyleDataExchange,
    CutPaste, ClearCells, FillHandle, Count
  };
  enum class ApplicationComponent {
    PrintDevice, StyleCompareSubset, StyleSerialize, CompatibleSerialize, Profile, DocSerialize, ParamCopy,
    RotatedText, NumberFormatting, OleDateTime, NoOleDateTime, SortMove, DataCopyMove, LongOperation,
    CoveredCellPool, SpanCellPool, DelayedRangePool, Count
  };
  using ApplicationInstaller = std::function<void()>;
  // An installer without a place runs after every placed one (in registration order).
  static void AddGridComponentInstaller(Installer installer);
  static void AddGridComponentInstaller(GridComponent place, Installer installer);
  static void AddApplicationComponentInstaller(ApplicationComponent place, ApplicationInstaller installer);
  // The grid window library's registration of "CGXGridWnd" (and, later, the sheet-tab classes).
  static void AddWndClassRegistrar(ClassRegistrar registrar);
  // A library's registration call fills the registries once: TRUE the first time it names itself (any
  // address of its own) since the registries were last cleared, so the call is safe to repeat.
  static BOOL FirstRegistration(const void* library);
  // Called with every control CreateControl made (its id and the control): the cell-tip feature gives the
  // controls their tip object through it. One hook; a later one replaces it, null removes it.
  using CreatedControlHook = std::function<void(UINT controlId, CGXControl* control)>;
  static void SetCreatedControlHook(CreatedControlHook hook);
  static void ClearRegistriesForTest();

  // The control of an id: its creator, else the edit control's (52512); null when neither is registered or
  // the creator fails. The created-control hook sees every control made.
  CGXControl* CreateControl(UINT controlId, CGXGridCore* grid) override;
  void RegisterAllControls(CGXStylesMap& stylesMap) override;
  // The attributes common to every cell control (the control base's), each control family's, then 51022
  // "Tooltip-Text" and 52792 (the ellipsis type).
  void RegisterAllUserAttributes(CGXStylesMap& stylesMap) override;
  void InitializeGridComponents(CGXGridCore* grid) override;
  // The process-wide implementations: the core's own and the registered ones, each at its place.
  void InitializeApplicationComponents() override;
  void RegisterWndClasses(HINSTANCE instance) override;
  void UnregisterWndClasses(HINSTANCE instance) override;
};

// Starts the grid library once per process (the application's InitInstance calls it). The three numbers
// the module passes (1808, 0, 0) are kept in the globals and otherwise unused: the grid has no behaviour
// that depends on them.
void InitGridLibrary(UINT arg1 = 0, UINT arg2 = 0, UINT arg3 = 0);
// The library's termination call: nothing to do; the state block is destroyed at process exit.
void TerminateGridLibrary();
