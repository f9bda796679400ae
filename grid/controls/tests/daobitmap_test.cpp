// The bitmap field: picture bytes of a variant checked and turned into a DIB, the cell's drawing, and the
// variant attribute with its pool and its in-process archive form.
#include <cstring>

#include "foundation/ButtonBitmap.h"
#include "grid/controls/CGXDaoBitmap.h"
#include "grid/controls/CGXOleVarUserAttribute.h"
#include "grid/controls/tests/recordinggrid.h"
#include "platform/base/CArchive.h"
#include "platform/base/CMemFile.h"
#include "platform/base/GlobalMemory.h"

namespace enginetest {
namespace {

using DaoBitmapTest = CellControlTest;

// A bitmap file (file header + packed DIB) of 3 x 2 red pixels, behind `lead` bytes of a record header.
std::vector<BYTE> PictureBytes(std::size_t lead = 0) {
  static const RGBQUAD red[] = {{0, 0, 255, 0}};
  const std::vector<BYTE> dib = foundation::MakePackedDib4({"rrr", "rrr"}, "r", red);
  std::vector<BYTE> bytes(lead, 0x42);  // 'B's: only a "BM" pair counts
  const BYTE file[14] = {'B', 'M'};
  bytes.insert(bytes.end(), file, file + 14);
  bytes.insert(bytes.end(), dib.begin(), dib.end());
  return bytes;
}

COleVariant Variant(const std::vector<BYTE>& bytes) {
  CByteArray array;
  for (BYTE b : bytes) array.Add(b);
  return COleVariant(array);
}

std::size_t Size(HGLOBAL h) { return h ? GlobalSize(h) : 0; }

TEST_F(DaoBitmapTest, PictureBytesAreCheckedBeforeUse) {
  const std::vector<BYTE> good = PictureBytes(5);
  HGLOBAL dib = ConvertVariantToDIB(Variant(good), FALSE);
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(Size(dib), good.size() - 5 - 14);
  const auto* p = static_cast<const BYTE*>(GlobalLock(dib));
  EXPECT_EQ(std::memcmp(p, good.data() + 19, good.size() - 19), 0);
  GlobalUnlock(dib);
  GlobalFree(dib);
  HGLOBAL withHeader = ConvertVariantToDIB(Variant(good), TRUE);
  ASSERT_NE(withHeader, nullptr);
  EXPECT_EQ(static_cast<const BYTE*>(GlobalLock(withHeader))[0], 'B');
  GlobalUnlock(withHeader);
  GlobalFree(withHeader);
  // Refused: a lone 'B' at the end, "BM" too near the end, another header size, a cut colour table or
  // rows, another type.
  EXPECT_EQ(ConvertVariantToDIB(Variant({1, 2, 'B'}), FALSE), nullptr);
  EXPECT_EQ(ConvertVariantToDIB(Variant({'B', 'M', 0, 0}), FALSE), nullptr);
  std::vector<BYTE> core = good;
  core[19] = 12;
  EXPECT_EQ(ConvertVariantToDIB(Variant(core), FALSE), nullptr);
  for (std::size_t cut : {std::size_t{19 + 40 + 10}, good.size() - 1}) {
    std::vector<BYTE> shortened(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_EQ(ConvertVariantToDIB(Variant(shortened), FALSE), nullptr) << cut;
  }
  EXPECT_EQ(ConvertVariantToDIB(COleVariant("BM text"), FALSE), nullptr);
  COleVariant empty;
  EXPECT_EQ(CGXDaoBitmap::DrawDIB(nullptr, empty, CRect(0, 0, 4, 4), 0, 0), nullptr);
}

TEST_F(DaoBitmapTest, TheCellDrawsItsPictureOrItsText) {
  RecordingGrid* g = MakeRecordingGrid();
  CGXDaoBitmap field(g);
  CGXOleVarUserAttribute* picture = new CGXOleVarUserAttribute;
  picture->SetVariant(Variant(PictureBytes(7)));
  CGXStyle style;
  style.SetInteriorColor(RGB(255, 255, 255)).SetUserAttribute(GX_IDS_UA_DAOBITMAP, picture);
  g->m_bNeedsOwnBackground = TRUE;
  Canvas c(40, 20);
  field.DrawCell(&c.dc, CRect(0, 0, 40, 20), 2, 1, style, nullptr);
  const CRect inner = field.ComputeInnerRect(CRect(0, 0, 40, 20), style);
  EXPECT_EQ(c.At(inner.left, inner.top), RGB(255, 0, 0));
  EXPECT_EQ(c.At(inner.left + 2, inner.top + 1), RGB(255, 0, 0));
  EXPECT_EQ(c.At(inner.left + 3, inner.top), RGB(255, 255, 255));
  // A cell one pixel high shows its background only.
  Canvas thin(40, 3);
  field.DrawCell(&thin.dc, CRect(0, 1, 40, 2), 2, 1, style, nullptr);
  EXPECT_EQ(thin.Count(CRect(0, 1, 40, 2), RGB(255, 255, 255)), 40);
  // Without the attribute: the value as a static cell shows it.
  CGXStyle text;
  text.SetInteriorColor(RGB(255, 255, 255)).SetTextColor(RGB(0, 0, 0)).SetValue("Photo");
  Canvas asText(40, 20), asStatic(40, 20);
  field.DrawCell(&asText.dc, CRect(0, 0, 40, 20), 2, 1, text, nullptr);
  CGXStatic plain(g);
  plain.DrawCell(&asStatic.dc, CRect(0, 0, 40, 20), 2, 1, text, nullptr);
  EXPECT_GT(asText.Count(CRect(0, 0, 40, 20), RGB(0, 0, 0)), 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(asText.At(x, y), asStatic.At(x, y)) << x << "," << y;
}

TEST_F(DaoBitmapTest, VariantAttributesShareAPoolAndArchiveOnlyANumber) {
  auto& pool = CGXCaptiveManager<COleVariant>::Pool();
  CGXOleVarUserAttribute a;
  EXPECT_TRUE(a.IsEmpty());
  a.SetId(GX_IDS_UA_DAOBITMAP);
  a.SetVariant(Variant(PictureBytes()));
  std::unique_ptr<CGXAbstractUserAttribute> clone(a.Clone());
  auto* b = dynamic_cast<CGXOleVarUserAttribute*>(clone.get());
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(*b->GetVariant() == *a.GetVariant());
  EXPECT_FALSE(a.IsSameValue(*b));
  EXPECT_TRUE(a.IsSameValue(a));
  EXPECT_EQ(a.GetValue(), "");
  // The archive carries the number of the held variant; loading copies that variant.
  const auto roundTrip = [](CGXOleVarUserAttribute& from, CGXOleVarUserAttribute& to, DWORD* forced = nullptr) {
    CMemFile file;
    {
      CArchive out(&file, CArchive::store);
      if (forced)
        out << *forced;
      else
        from.Serialize(out);
    }
    file.SeekToBegin();
    CArchive in(&file, CArchive::load);
    to.Serialize(in);
  };
  CGXOleVarUserAttribute loaded;
  roundTrip(a, loaded);
  ASSERT_FALSE(loaded.IsEmpty());
  EXPECT_TRUE(*loaded.GetVariant() == *a.GetVariant());
  EXPECT_FALSE(loaded.IsSameValue(a));
  // A number that names no held variant (never given, or given back to the pool) leaves it empty.
  DWORD unknown = 0x7FFFFFF0;
  CGXOleVarUserAttribute none;
  roundTrip(a, none, &unknown);
  EXPECT_TRUE(none.IsEmpty());
  DWORD released = 0;
  {
    CGXOleVarUserAttribute gone;
    gone.SetVariant(COleVariant(static_cast<LONG>(5)));
    released = pool.NumberOf(gone.GetVariant());
  }
  CGXOleVarUserAttribute late;
  roundTrip(a, late, &released);
  EXPECT_TRUE(late.IsEmpty());
  // A freed variant is reused, cleared of its old value by the next SetVariant.
  const size_t free = pool.FreeCount();
  CGXOleVarUserAttribute reuse;
  reuse.SetVariant(COleVariant(static_cast<LONG>(9)));
  EXPECT_EQ(pool.FreeCount(), free - 1);
  EXPECT_EQ(reuse.GetVariant()->vt, VT_I4);
}

TEST_F(DaoBitmapTest, CellValueOutlivesTheVariantPool) {
  auto pool = std::make_unique<CGXCaptiveManager<COleVariant>>();
  ASSERT_EQ(&CGXCaptiveManager<COleVariant>::Pool(), pool.get());  // the newest pool alive is the one in use
  auto cell = std::make_unique<CGXOleVarUserAttribute>();
  cell->SetId(GX_IDS_UA_DAOBITMAP);
  cell->SetVariant(Variant(PictureBytes()));
  const COleVariant* held = cell->GetVariant();
  {
    CGXOleVarUserAttribute freed;
    freed.SetVariant(COleVariant(static_cast<LONG>(3)));
  }
  EXPECT_EQ(pool->FreeCount(), 1u);
  EXPECT_EQ(pool->HeldCount(), 1u);
  // The pool goes first: it frees its free variant, never the one the cell holds.
  pool.reset();
  EXPECT_NE(&CGXCaptiveManager<COleVariant>::Pool(), nullptr);
  ASSERT_EQ(cell->GetVariant(), held);
  EXPECT_EQ(held->vt, VT_ARRAY | VT_UI1);
  EXPECT_EQ(held->parray->rgsabound[0].cElements, PictureBytes().size());
  std::unique_ptr<CGXAbstractUserAttribute> copy(cell->Clone());
  EXPECT_FALSE(copy->IsEmpty());
  // The cell's end deletes its variant itself (the sanitizer sees a double free or a leak otherwise).
  cell.reset();
}

}  // namespace
}  // namespace enginetest
