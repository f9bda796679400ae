// The generated layouts: the resources load back into the layouts their descriptions build.
#include <gtest/gtest.h>

#include "grid/core/gxlayout.h"
#include "grid/core/gxlayoutresources.h"
#include "grid/core/layouts/gxlayoutdefs.h"
#include "grid/core/tests/gxtest.h"
#include "platform/base/ResourceTable.h"

namespace {

class Layouts : public ::testing::Test {
 protected:
  void SetUp() override {
    gxtest::InstallAll();
    gx::RegisterGridLayouts();
  }
};

TEST_F(Layouts, EveryGeneratedLayoutLoadsBackEqual) {
  for (const gx::LayoutDefinition& def : gx::LayoutDefinitions()) {
    std::unique_ptr<CGXGridParam> loaded(def.name ? LoadGridParamLayout(def.name) : LoadGridParamLayoutById(def.id));
    ASSERT_NE(loaded, nullptr) << (def.name ? def.name : "");
    EXPECT_TRUE(loaded->OwnsData() && loaded->OwnsStylesMap() && loaded->OwnsProperties());
    EXPECT_EQ(gxtest::Diff(gx::WriteObjectToBytes(loaded.get()), gx::WriteObjectToBytes(def.build().get())), "");
  }
}

TEST_F(Layouts, BoardList) {
  std::unique_ptr<CGXGridParam> p(LoadGridParamLayout("BOARDLIST"));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->GetData()->GetRowCount(), 100u);
  EXPECT_EQ(p->GetData()->GetColCount(), 2u);
  EXPECT_EQ(p->GetSelectionFlags(), 225);
  EXPECT_FALSE(p->IsDragRowsEnabled());
  EXPECT_FALSE(p->IsDragColumnsEnabled());
  EXPECT_EQ(p->m_wActivateFlags, 2);
  EXPECT_EQ(p->m_wEnterKeyAction, 0);
  LONG width = 0;
  EXPECT_TRUE(p->GetColWidths().Lookup(2, width));
  EXPECT_EQ(width, 34299);
  CGXStyle header;
  ASSERT_TRUE(p->GetData()->GetStyle(0, 1, header, gxCopy));
  EXPECT_EQ(header.GetValue(), "FileName");
  CGXStyle column;
  ASSERT_TRUE(p->GetData()->GetStyle(0, 2, column, gxCopy, GX_BASESTYLE));
  EXPECT_EQ(column.GetControl(), GX_IDS_CTRL_STATIC);
  EXPECT_EQ(column.GetInterior().GetColor(), 0x00C0C0C0u);
  ASSERT_EQ(p->GetSelection().GetCount(), 1);
  EXPECT_TRUE(p->GetSelection().GetHead()->IsCols());

  CGXStylesMap* map = p->GetStylesMap();
  EXPECT_EQ(map->GetControlNames().size(), 37u);
  CGXStyle* colHeader = nullptr;
  ASSERT_TRUE(map->LookupStyle(map->GetColHeaderStyle(), colHeader));
  EXPECT_TRUE(colHeader->HasBorder(GX_BORDER_TOP));
  EXPECT_EQ(colHeader->GetBorder(GX_BORDER_TOP).GetStyle(), CGXBorderPen::kNull);
  CGXStyle* standard = nullptr;
  ASSERT_TRUE(map->LookupStyle(map->GetStandardStyle(), standard));
  EXPECT_EQ(standard->GetFont().GetFaceName(), "Arial");
  EXPECT_DOUBLE_EQ(standard->GetFont().GetSize(), 8);
}

// A layout whose sizes no grid can use is refused; a size merely larger than any window reads as stored.
TEST_F(Layouts, SizesNoGridCanUseAreRefused) {
  const auto read = [](void (*change)(CGXGridParam&)) {
    std::unique_ptr<CGXGridParam> p = gx::LayoutDefinitions().front().build();
    change(*p);
    return std::unique_ptr<CObject>(
        gx::ReadObjectFromBytes(gx::WriteObjectToBytes(p.get()), RUNTIME_CLASS(CGXGridParam)));
  };
  EXPECT_EQ(read([](CGXGridParam& p) { p.m_nDefaultRowHeight = 0; }), nullptr);
  EXPECT_EQ(read([](CGXGridParam& p) { p.m_nDefaultColWidth = 0x80000000u; }), nullptr);
  EXPECT_EQ(read([](CGXGridParam& p) { p.GetRowHeights().SetAt(5, -1); }), nullptr);
  EXPECT_EQ(read([](CGXGridParam& p) { p.GetColWidths().SetAt(1, -40000); }), nullptr);
  std::unique_ptr<CObject> huge = read([](CGXGridParam& p) {
    p.m_nDefaultRowHeight = 0x7FFFFFFF;
    p.GetColWidths().SetAt(1, 0x7FFFFFFF);
    p.GetRowHeights().SetAt(2, 0);  // a row of no height is a grid's own choice
  });
  ASSERT_NE(huge, nullptr);
  EXPECT_EQ(static_cast<CGXGridParam*>(huge.get())->m_nDefaultRowHeight, 0x7FFFFFFFu);
}

TEST_F(Layouts, MissingResourcesGiveNull) {
  EXPECT_EQ(LoadGridParamLayout("NO SUCH LAYOUT"), nullptr);
  EXPECT_EQ(LoadGridParamLayoutById(4242), nullptr);
}

}  // namespace
