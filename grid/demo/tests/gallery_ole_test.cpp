// The gallery's page of OLE object cells, headless: the page as built and after each step matches its
// reference (the whole desktop: the server window is a window of its own), and the cells hold what the
// steps saved and pasted.
#include <gtest/gtest.h>

#include "grid/demo/gallery.h"
#include "grid/demo/tests/gallerypage.h"
#include "grid/demo/tests/galleryshots.h"
#include "grid/demo/tests/oletext.h"
#include "platform/ole/TextDocumentServer.h"
#include "platform/window/Clipboard.h"
#include "platform/window/Pump.h"

namespace {

TEST(CellGallery, OleCellsOpenEditSaveAndPasteTheirObjects) {
  const gallerypage::Opened opened = gallerypage::Open("ole");
  CGXGridWnd* g = opened.grid;
  ASSERT_NE(g, nullptr);
  HWND main = opened.main;
  gallerypage::RunSteps(opened, "ole", galleryshots::ExpectDesktopMatches, [&](const gallery::Step& step) {
    if (step.name == "open") {
      EXPECT_NE(plat::ole::TextDocumentWindow(), nullptr);
    }
    if (step.name == "closed") {
      EXPECT_EQ(plat::ole::TextDocumentWindow(), nullptr);
      EXPECT_EQ(oletext::CellDocumentText(g, 1, 3), "Decoupling notes, edited");
      EXPECT_EQ(oletext::CellDocumentText(g, 1, 1), "Decoupling notes");
    }
  });
  EXPECT_EQ(oletext::CellDocumentText(g, 2, 3), "Decoupling notes, edited");
  DestroyWindow(main);
  plat::RunUntilIdle();
  plat::Clipboard::Instance().Reset();  // the copied object's block goes with the clipboard
}

}  // namespace
