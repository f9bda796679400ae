# The grid engine and the grid window (kept apart from the model's list so that both grow independently).
target_sources(grid_core PRIVATE
  CGXGridCore.cpp
  CGXGridCoreRowCol.cpp
  CGXGridCoreGeometry.cpp
  CGXGridCoreStyle.cpp
  CGXLongOperation.cpp
  CGXGridCoreDraw.cpp
  CGXGridCoreDrawCaches.cpp
  CGXGridCoreLines.cpp
  CGXGridCoreScroll.cpp
  CGXGridCoreCurrent.cpp
  CGXGridCurrentCell.cpp
  CGXGridCoreKeys.cpp
  CGXGridCoreMoves.cpp
  CGXGridCoreMouse.cpp
  CGXGridCoreMessages.cpp
  CGXGridCoreUpdate.cpp
  CGXGridCoreFeatures.cpp
  CGXShownCells.cpp
  CGXFindReplaceState.cpp
  CGXDrawRotatedTextImp.cpp
  CGXGridOldDrawingImp.cpp
  CGXGridHint.cpp
  CGXGridOptimizedUpdateImp.cpp
  CGXDataCopyMoveCellsImp.cpp
  CGXAutoScrollPlugin.cpp
  CGXGridWnd.cpp
  # The cell control base: the engine calls it and it calls the engine. Its files stay beside the cells,
  # which live in grid_controls and reach the core only through the control factory's registry.
  ../controls/CGXControl.cpp
  ../controls/GXChoiceLines.cpp
  ../controls/GXCellNumbers.cpp
)

brim_test(grid_engine_tests
  SOURCES
    tests/engine_geometry_test.cpp
    tests/engine_window_test.cpp
    tests/engine_screenshot_test.cpp
    tests/engine_features_test.cpp
    tests/engine_rowcol_test.cpp
    tests/engine_lifetime_test.cpp
    tests/engine_view_test.cpp
    tests/engine_draw_test.cpp
    tests/engine_current_test.cpp
    tests/engine_style_test.cpp
    tests/engine_printdevice_test.cpp
  LIBS grid_core grid_controls grid_layouts
)

# The grid on screen: real clicks and keys through the SDL2 presenter under a private X server.
brim_screen_test(grid_engine_onscreen_test TEST GridEngine.OnScreenUnderXvfb TIMEOUT 60
  SOURCES tests/engine_onscreen_test.cpp
  LIBS grid_core grid_controls)

# The model and the engine without the cell controls: a program linking grid_core alone.
brim_test(grid_core_alone_tests
  SOURCES tests/core_alone_test.cpp
  LIBS grid_core)
