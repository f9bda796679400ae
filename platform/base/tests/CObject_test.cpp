#include "platform/base/CObject.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/base/CException.h"

namespace {

class CAnimal : public CObject {
  DECLARE_DYNAMIC(CAnimal)
};
class CDog : public CAnimal {
  DECLARE_DYNCREATE(CDog)
 public:
  int legs = 4;
};
class CRock : public CObject {
  DECLARE_DYNCREATE(CRock)
};

IMPLEMENT_DYNAMIC(CAnimal, CObject)
IMPLEMENT_DYNCREATE(CDog, CAnimal)
IMPLEMENT_DYNCREATE(CRock, CObject)

}  // namespace

TEST(RuntimeClass, KindTestsWalkTheBaseChain) {
  CDog dog;
  EXPECT_TRUE(dog.IsKindOf(RUNTIME_CLASS(CDog)));
  EXPECT_TRUE(dog.IsKindOf(RUNTIME_CLASS(CAnimal)));
  EXPECT_TRUE(dog.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(dog.IsKindOf(RUNTIME_CLASS(CRock)));
  EXPECT_STREQ(dog.GetRuntimeClass()->m_lpszClassName, "CDog");
  EXPECT_EQ(dog.GetRuntimeClass()->m_nObjectSize, static_cast<int>(sizeof(CDog)));
  EXPECT_FALSE(dog.IsSerializable());
}

TEST(RuntimeClass, CreationByName) {
  std::unique_ptr<CObject> obj(CRuntimeClass::CreateObject("CDog"));
  ASSERT_NE(obj, nullptr);
  EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CDog)));
  EXPECT_EQ(static_cast<CDog*>(obj.get())->legs, 4);
  // A dynamic class without a creator, an unknown name, and names are case-sensitive.
  EXPECT_EQ(RUNTIME_CLASS(CAnimal)->CreateObject(), nullptr);
  EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
  EXPECT_EQ(CRuntimeClass::FromName("cdog"), nullptr);
  EXPECT_EQ(CRuntimeClass::FromName("CException"), RUNTIME_CLASS(CException));
  EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);
}
