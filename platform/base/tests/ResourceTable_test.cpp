#include "platform/base/ResourceTable.h"

#include <gtest/gtest.h>

#include "platform/base/CString.h"

using plat::ResourceTable;

namespace {

constexpr BYTE kLayout[] = {1, 2, 3, 4, 5};
constexpr BYTE kOther[] = {9};

class ResourceTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = ResourceTable::ModuleHandle("test-app");
    lib_ = ResourceTable::ModuleHandle("test-lib");
    plat::SetInstanceHandle(app_);
    AfxSetResourceHandle(nullptr);
    ResourceTable::AddStrings(app_, {{100, "app text"}, {101, "Value %1 of %2"}});
    ResourceTable::AddString(lib_, 100, "lib text");
    ResourceTable::AddResource(lib_, "GXLAYOUT", MAKEINTRESOURCE(7), kLayout);
    ResourceTable::AddResource(app_, RT_BITMAP, "LOGO", kOther);
  }
  void TearDown() override {
    ResourceTable::RemoveModule(app_);
    ResourceTable::RemoveModule(lib_);
    AfxSetResourceHandle(nullptr);
    plat::SetInstanceHandle(nullptr);
  }
  HINSTANCE app_{};
  HINSTANCE lib_{};
};

}  // namespace

TEST_F(ResourceTableTest, ModuleHandlesAreStableTokens) {
  EXPECT_EQ(ResourceTable::ModuleHandle("test-app"), app_);
  EXPECT_NE(app_, lib_);
  const auto token = reinterpret_cast<ULONG_PTR>(app_);
  EXPECT_EQ(token & 0xFFFF, 0u);
  EXPECT_LT(token, 0x80000000u);
  EXPECT_EQ(ResourceTable::ModuleName(lib_), "test-lib");
}

TEST_F(ResourceTableTest, StringsFromResourceModuleFirstThenInstance) {
  char buf[6];
  EXPECT_EQ(LoadString(app_, 100, buf, sizeof buf), 5);
  EXPECT_STREQ(buf, "app t");
  EXPECT_EQ(LoadString(app_, 999, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "");

  CString s;
  EXPECT_TRUE(s.LoadString(100));
  EXPECT_EQ(s, "app text");
  AfxSetResourceHandle(lib_);
  EXPECT_EQ(AfxGetResourceHandle(), lib_);
  EXPECT_TRUE(s.LoadString(100));
  EXPECT_EQ(s, "lib text");
  EXPECT_EQ(CString(MAKEINTRESOURCE(101)), "Value %1 of %2");  // falls back to the instance module
  EXPECT_FALSE(s.LoadString(4711));

  CString out;
  AfxFormatString2(out, 101, "3", "7");
  EXPECT_EQ(out, "Value 3 of 7");
}

TEST_F(ResourceTableTest, ObjectsRegisteredAsResources) {
  struct Template {
    int controls;
  };
  static const Template dialog{7};
  ResourceTable::AddObject(app_, RT_DIALOG, MAKEINTRESOURCE(2001), dialog);
  HRSRC r = FindResource(nullptr, MAKEINTRESOURCE(2001), RT_DIALOG);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(static_cast<const Template*>(LockResource(LoadResource(app_, r)))->controls, 7);
}

TEST_F(ResourceTableTest, BinaryResourcesByTypeAndName) {
  HRSRC r = FindResource(lib_, MAKEINTRESOURCE(7), "gxlayout");  // type names ignore case
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(SizeofResource(lib_, r), sizeof kLayout);
  const void* bytes = LockResource(LoadResource(lib_, r));
  EXPECT_EQ(bytes, kLayout);  // no copy
  EXPECT_EQ(FindResource(app_, MAKEINTRESOURCE(7), "GXLAYOUT"), nullptr);
  EXPECT_NE(FindResource(nullptr, "logo", RT_BITMAP), nullptr);
  EXPECT_EQ(AfxFindResourceHandle("LOGO", RT_BITMAP), app_);
  EXPECT_EQ(FindResource(app_, "LOGO", RT_DIALOG), nullptr);

  ResourceTable::RemoveModule(lib_);
  EXPECT_EQ(LoadResource(lib_, r), nullptr);  // a stale handle fails instead of reading freed data
  EXPECT_EQ(SizeofResource(lib_, r), 0u);
}
