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
  CGXFindReplaceState.cpp
  CGXDrawRotatedTextImp.cpp
  CGXGridOldDrawingImp.cpp
  CGXGridHint.cpp
  CGXGridOptimizedUpdateImp.cpp
  CGXDataCopyMoveCellsImp.cpp
  CGXAutoScrollPlugin.cpp
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
    tests/engine_features_test.cpp
    tests/engine_rowcol_test.cpp
    tests/engine_lifetime_test.cpp
    tests/engine_view_test.cpp
    tests/engine_draw_test.cpp
    tests/engine_current_test.cpp
    tests/engine_style_test.cpp
  LIBS grid_core grid_controls grid_layouts
)

# The demo grid: headless to a PNG, or on screen through the SDL2 presenter; with --page a page of the
# cell-control gallery (one page per cell family, each with its own reference screenshots).
add_library(grid_gallery STATIC demo/gallery.cpp demo/gallery_windowless.cpp)
target_link_libraries(grid_gallery PUBLIC grid_core grid_controls)
add_executable(grid_demo demo/grid_demo.cpp)
target_link_libraries(grid_demo PRIVATE grid_gallery)
if(BRIM_TESTS)
  add_test(NAME GridDemo.HeadlessScreenshot COMMAND grid_demo --png ${CMAKE_CURRENT_BINARY_DIR}/grid_demo.png)
  add_test(NAME GridDemo.GalleryPageScreenshot
           COMMAND grid_demo --page windowless --png ${CMAKE_CURRENT_BINARY_DIR}/gallery_windowless.png)
  add_test(NAME GridDemo.UnknownGalleryPageIsRefused COMMAND grid_demo --page none --png unused.png)
  set_tests_properties(GridDemo.UnknownGalleryPageIsRefused PROPERTIES WILL_FAIL TRUE)
endif()
brim_test(grid_gallery_tests SOURCES demo/tests/gallery_test.cpp LIBS grid_gallery)
brim_screen_test(grid_gallery_onscreen_test TEST CellGallery.OnScreenUnderXvfb TIMEOUT 60
  SOURCES demo/tests/gallery_onscreen_test.cpp
  LIBS grid_gallery)

# The grid on screen: real clicks and keys through the SDL2 presenter under a private X server.
brim_screen_test(grid_engine_onscreen_test TEST GridEngine.OnScreenUnderXvfb TIMEOUT 60
  SOURCES tests/engine_onscreen_test.cpp
  LIBS grid_core grid_controls)
