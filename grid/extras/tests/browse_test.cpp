// The browse parameters' archive form (schema 2 round-trips, a newer one is refused), the copy of the browsing
// settings and the browser grid's field index of a column.
#include <gtest/gtest.h>

#include <vector>

#include "grid/core/CGXGridDocSerializeImp.h"
#include "grid/extras/CGXBrowseParam.h"
#include "grid/extras/CGXBrowserGrid.h"
#include "grid/extras/tests/extrastest.h"
#include "platform/base/CArchive.h"
#include "platform/base/CArchiveException.h"
#include "platform/base/CMemFile.h"

namespace {

using namespace extrastest;

std::vector<BYTE> Store(CGXBrowseParam& param) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    param.Serialize(ar);
  }
  const UINT size = static_cast<UINT>(file.GetLength());
  std::vector<BYTE> bytes(size);
  file.SeekToBegin();
  file.Read(bytes.data(), size);
  return bytes;
}

// The base parameters' part alone, as a browse parameter object writes it first.
std::vector<BYTE> StoreBase(CGXBrowseParam& param) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    param.CGXGridParam::Serialize(ar);
  }
  return std::vector<BYTE>(static_cast<size_t>(file.GetLength()));
}

void Load(CGXBrowseParam& param, std::vector<BYTE> bytes) {
  CMemFile file;
  file.Attach(bytes.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  param.Serialize(ar);
}

// Storing any grid's parameters or layout installs the document serialisation for the rest of the process, after
// which every parameter object writes its base part first. The test installs it itself, so that it reads the same
// bytes whichever tests ran before it in this program, and finds the browse part after the base part.
TEST(BrowseParam, SchemaTwoRoundTripsAndANewerOneIsRefused) {
  InstallDocSerializeImp();
  CGXBrowseParam written;
  written.m_bArchived = TRUE;
  auto* object = new CDWordArray;
  object->Add(7);
  object->Add(42);
  written.m_pArchivedObject.reset(object);
  std::vector<BYTE> bytes = Store(written);
  CGXBrowseParam read;
  Load(read, bytes);
  EXPECT_TRUE(read.m_bArchived);
  auto* copy = dynamic_cast<CDWordArray*>(read.m_pArchivedObject.get());
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(copy->GetSize(), 2);
  EXPECT_EQ(copy->GetAt(1), 42u);
  // Nothing archived: the flag off and no object.
  CGXBrowseParam empty, emptyRead;
  emptyRead.m_bArchived = TRUE;
  Load(emptyRead, Store(empty));
  EXPECT_FALSE(emptyRead.m_bArchived);
  EXPECT_EQ(emptyRead.m_pArchivedObject, nullptr);
  // The schema word leads the browse part, right after the base parameters: 3 is refused.
  const size_t browsePart = StoreBase(written).size();
  ASSERT_GT(browsePart, 0u);
  ASSERT_GE(bytes.size(), browsePart + 2);
  ASSERT_EQ(bytes[browsePart], 2);
  ASSERT_EQ(bytes[browsePart + 1], 0);
  bytes[browsePart] = 3;
  CGXBrowseParam newer;
  try {
    Load(newer, bytes);
    ADD_FAILURE() << "schema 3 was read";
  } catch (CArchiveException* e) {
    EXPECT_EQ(e->m_cause, CArchiveException::badSchema);
    e->Delete();
  }
}

TEST(BrowseParam, CopyBrowseSettingsTakesTheFourValuesAndTheLimit) {
  CGXBrowseParam from, to;
  from.m_nValue1 = 11, from.m_nValue2 = 12, from.m_nValue3 = 13, from.m_nValue4 = 14, from.m_nValue5 = 15;
  from.m_nLimit = 500;
  from.m_nPosition1 = 3;
  to.CopyBrowseSettings(from);
  EXPECT_EQ(to.m_nValue1, 11);
  EXPECT_EQ(to.m_nValue2, 12);
  EXPECT_EQ(to.m_nValue3, 13);
  EXPECT_EQ(to.m_nValue4, 14);
  EXPECT_EQ(to.m_nLimit, 500);
  EXPECT_EQ(to.m_nValue5, 0);       // not a browsing setting
  EXPECT_EQ(to.m_nPosition1, -1);
}

// A browser grid whose second and third columns were swapped.
class SwappedGrid : public CGXBrowserGrid {
 public:
  ROWCOL GetColIndex(ROWCOL col) override { return col == 2 ? 3 : col == 3 ? 2 : col; }
};

class BrowserGridTest : public ExtrasTest {};

TEST_F(BrowserGridTest, FieldIndexCountsFromTheFirstColumnAfterTheHeaders) {
  auto* g = MakeGrid<SwappedGrid>(3, 5, 300, 100);
  g->SetFrozenCols(1, 1);  // one header column
  EXPECT_EQ(g->ColToFieldIndex(2), 1);  // data index 3, less one header column and the row header
  EXPECT_EQ(g->ColToFieldIndex(3), 0);
  g->SetFrozenCols(2, 2);
  EXPECT_EQ(g->ColToFieldIndex(4), 1);
  EXPECT_EQ(g->ColToFieldIndex(3), -1);  // a header column has no field
}

}  // namespace
