# The grid engine and the grid window (kept apart from the model's list so that both grow independently).
target_sources(grid_core PRIVATE
  CGXGridCore.cpp
  CGXGridCoreRowCol.cpp
  CGXGridCoreGeometry.cpp
  CGXGridCoreStyle.cpp
  CGXGridCoreDraw.cpp
  CGXGridCoreScroll.cpp
  CGXGridCoreCurrent.cpp
  CGXGridCoreKeys.cpp
  CGXGridCoreMoves.cpp
  CGXGridCoreMouse.cpp
  CGXGridCoreMessages.cpp
  CGXGridWnd.cpp
)
# The engine calls the cell controls only through their virtual operations; the controls' library links
# back to the core (a cycle of static libraries, which the linker resolves).
target_link_libraries(grid_core PUBLIC grid_controls)

brim_test(grid_engine_tests
  SOURCES
    tests/engine_geometry_test.cpp
    tests/engine_window_test.cpp
    tests/engine_screenshot_test.cpp
  LIBS grid_core grid_controls grid_layouts
)
