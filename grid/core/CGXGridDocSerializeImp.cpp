#include "grid/core/CGXGridDocSerializeImp.h"

#include <climits>

#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXStyleSerializeImp.h"
#include "grid/core/gxarchive.h"
#include "grid/core/gxstrings.h"
#include "platform/base/CArchive.h"

void InstallDocSerializeImp() {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  InstallStyleSerializeImp();
  if (g.m_pDocSerializeImp) return;
  auto* imp = new CGXGridDocSerializeImp;
  g.m_pDocSerializeImp = imp;
  g.AddToAutoDeleteList(imp);
}

void SerializeDWordToLongMap(CGXCollMapDWordToLong& map, CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD_PTR>(map.GetCount()));
    POSITION pos = map.GetStartPosition();
    while (pos) {
      DWORD key = 0;
      LONG value = 0;
      map.GetNextAssoc(pos, key, value);
      ar << key << value;
    }
    return;
  }
  const DWORD_PTR count = ar.ReadCount();
  if (count > ar.GetBytesLeft() / 8) gx::ThrowBadIndex();
  std::vector<std::pair<DWORD, LONG>> entries(static_cast<std::size_t>(count));
  for (auto& [key, value] : entries) ar >> key >> value;
  // New entries go to the head of their bucket's chain: inserting in reverse gives back the archived order,
  // so that a map read and written again is unchanged.
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) map.SetAt(it->first, it->second);
}

// ---- Styles map (schema 2)

void CGXGridDocSerializeImp::SerializeStylesMap(CGXStylesMap& map, CArchive& ar) {
  if (ar.IsStoring()) {
    ar << kStylesMapSchema << map.GetSection();
    ar.WriteCount(map.GetControlNames().size());
    for (const auto& [id, name] : map.GetControlNames()) ar << static_cast<DWORD>(id) << name;
    ar.WriteCount(map.GetNameTable().size());
    for (const auto& [name, id] : map.GetNameTable()) ar << id << CString(name.c_str());
    ar.WriteCount(map.GetBaseStyles().size());
    for (const auto& [id, e] : map.GetBaseStyles()) {
      ar << id << static_cast<DWORD>(e->resourceId) << e->name << static_cast<BYTE>(e->flags);
      e->style->SerializeWithStylesMap(ar, &map);
    }
    ar << map.GetNextId();
    ar.WriteCount(map.GetUserAttributeMap().size());
    for (const auto& [id, e] : map.GetUserAttributeMap()) {
      ar << static_cast<DWORD>(id);
      e->style->SerializeWithStylesMap(ar, &map);
    }
    return;
  }
  const WORD schema = gx::ReadSchema(ar, kStylesMapSchema);
  map.DeleteContents();
  CString section;
  ar >> section;
  map.SetSection(section);
  DWORD_PTR n = ar.ReadCount();
  for (DWORD_PTR i = 0; i < n; ++i) {
    DWORD id = 0;
    CString name;
    ar >> id >> name;
    map.GetControlNames()[id] = name;
  }
  n = ar.ReadCount();
  for (DWORD_PTR i = 0; i < n; ++i) {  // rebuilt from the entries below
    WORD id = 0;
    CString name;
    ar >> id >> name;
  }
  n = ar.ReadCount();
  for (DWORD_PTR i = 0; i < n; ++i) {
    auto e = std::make_unique<GXBaseStyleEntry>();
    DWORD resourceId = 0;
    BYTE flags = 0;
    ar >> e->id >> resourceId >> e->name >> flags;
    e->resourceId = resourceId;
    e->flags = flags;
    if (resourceId != 0 && !gx::LoadGridString(e->name, resourceId)) e->name.Format("STYLE%u", resourceId);
    e->style = map.CreateStyle();
    e->style->SerializeWithStylesMap(ar, &map);
    map.AddEntry(std::move(e));
  }
  WORD next = 0;
  ar >> next;
  map.SetNextId(next);
  if (schema >= 2) {
    n = ar.ReadCount();
    for (DWORD_PTR i = 0; i < n; ++i) {
      DWORD id = 0;
      ar >> id;
      if (id > 0xFFFF) gx::ThrowBadIndex();
      auto e = std::make_unique<GXUserAttributeEntry>();
      e->id = static_cast<WORD>(id);
      if (!gx::LoadGridString(e->name, id)) e->name.Format("UA%u", id);
      e->style = map.CreateStyle();
      e->style->SerializeWithStylesMap(ar, &map);
      map.AddUserAttributeEntry(std::move(e));
    }
  }
  map.UpdateStandardStyleIds();
}

// ---- Cell data (schema 1)

void CGXGridDocSerializeImp::SerializeData(CGXData& data, CArchive& ar) {
  if (ar.IsStoring()) {
    ar << WORD{1} << data.GetRowCount() << data.GetColCount();
    SerializeStyleRows(data.GetCells(), ar);
    SerializeStyleArray(data.GetRowBaseStyles(), ar);
    SerializeStyleArray(data.GetColBaseStyles(), ar);
    return;
  }
  gx::ReadSchema(ar, 1);
  DWORD rows = 0, cols = 0;
  ar >> rows >> cols;
  data.DeleteContents();
  data.SetCounts(rows, cols);
  SerializeStyleRows(data.GetCells(), ar);
  SerializeStyleArray(data.GetRowBaseStyles(), ar);
  SerializeStyleArray(data.GetColBaseStyles(), ar);
}

namespace {

constexpr DWORD kEndOfList = 0xFFFFFFFF;

// The element count of a sparse array: its slots are created at once, so they count against the read.
DWORD ReadElementCount(CArchive& ar) {
  DWORD count = 0;
  ar >> count;
  if (count > gx::kMaxArchivedIndex + 1) gx::ThrowBadIndex();
  gx::ChargeSlots(count);
  return count;
}

// The next index of a sparse array: ascending, below the count, or the end mark.
bool ReadIndex(CArchive& ar, DWORD count, long long& last, DWORD& index) {
  ar >> index;
  if (index == kEndOfList) return false;
  if (index >= count || static_cast<long long>(index) <= last) gx::ThrowBadIndex();
  last = index;
  return true;
}

}  // namespace

void CGXGridDocSerializeImp::SerializeStyleRows(CGXStylePtrArrayPtrArray& rows, CArchive& ar) {
  if (ar.IsStoring()) {
    ar << WORD{1} << static_cast<DWORD>(rows.GetSize());
    for (INT_PTR i = 0; i < rows.GetSize(); ++i) {
      CGXStylePtrArray* row = rows.GetAt(i);
      if (!row) continue;
      ar << static_cast<DWORD>(i);
      SerializeStyleArray(*row, ar);
    }
    ar << kEndOfList;
    return;
  }
  gx::ReadSchema(ar, 1);
  rows.DeleteAll();
  const DWORD count = ReadElementCount(ar);
  rows.SetSize(count);
  long long last = -1;
  DWORD index = 0;
  while (ReadIndex(ar, count, last, index)) {
    auto row = std::make_unique<CGXStylePtrArray>();
    SerializeStyleArray(*row, ar);
    rows.SetAtGrow(index, row.release());
  }
}

void CGXGridDocSerializeImp::SerializeStyleArray(CGXStylePtrArray& row, CArchive& ar) {
  if (ar.IsStoring()) {
    ar << WORD{1} << static_cast<DWORD>(row.GetSize());
    for (INT_PTR i = 0; i < row.GetSize(); ++i) {
      CGXStyle* s = row.GetAt(i);
      if (!s) continue;
      ar << static_cast<DWORD>(i);
      ar.WriteObject(s);
    }
    ar << kEndOfList;
    return;
  }
  gx::ReadSchema(ar, 1);
  row.DeleteAll();
  const DWORD count = ReadElementCount(ar);
  row.SetSize(count);
  long long last = -1;
  DWORD index = 0;
  while (ReadIndex(ar, count, last, index)) row.SetAtGrow(index, GX_READ_OWNED(CGXStyle, ar).release());
}

// ---- Properties (schema 4)

void CGXGridDocSerializeImp::SerializeProperties(CGXProperties& p, CArchive& ar) {
  if (ar.IsStoring()) {
    ar << kPropertiesSchema;
    gx::WriteDWordArray(ar, std::vector<DWORD>(p.GetColors().begin(), p.GetColors().end()));
    ar.WriteCount(0);  // the colour names are not archived: the program registers them
    gx::WriteFlag(ar, p.m_bVertLines);
    gx::WriteFlag(ar, p.m_bHorzLines);
    gx::WriteFlag(ar, p.m_b3dHeaders);
    gx::WriteFlag(ar, p.m_bMarkRowHeader);
    gx::WriteFlag(ar, p.m_bMarkColHeader);
    ar << p.m_sSection << p.m_nZoom;
    for (const auto& [id, e] : p.GetUserProperties()) {
      ar << static_cast<DWORD>(id) << e->name;
      ar.WriteObject(e->value.get());
    }
    ar << DWORD{0};
    ar << static_cast<DWORD>(p.m_bPrintVertLines) << static_cast<DWORD>(p.m_bPrintHorzLines) << p.m_nPageOrder
       << static_cast<DWORD>(p.m_bBlackWhite) << static_cast<DWORD>(p.m_bPrintRowHeaders)
       << static_cast<DWORD>(p.m_bCenterVertical) << static_cast<DWORD>(p.m_bCenterHorizontal);
    ar << p.m_nMargins[0] << p.m_nMargins[1] << p.m_nMargins[3] << p.m_nMargins[2];
    ar << static_cast<DWORD>(p.m_bPrintFrame) << p.m_nDistances[0] << p.m_nDistances[1] << p.m_nFirstPage;
    ar << p.m_wSetting1 << p.m_wSetting2;
    gx::WriteDWordArray(ar, p.m_dwList1);
    gx::WriteDWordArray(ar, p.m_dwList2);
    SerializeData(p.GetHeaderTable(), ar);
    SerializeData(p.GetFooterTable(), ar);
    ar << static_cast<DWORD>(p.m_bPrintColHeaders);
    return;
  }
  const WORD schema = gx::ReadSchema(ar, kPropertiesSchema);
  std::vector<DWORD> colors;
  gx::ReadDWordArray(ar, colors);
  const DWORD_PTR names = ar.ReadCount();
  for (DWORD_PTR i = 0; i < names; ++i) {
    CString discarded;
    ar >> discarded;
  }
  // The colours follow the names the properties define; missing ones are black, extra ones dropped.
  colors.resize(p.GetColorNames().size(), 0);
  std::copy(colors.begin(), colors.end(), p.GetColors().begin());
  p.m_bVertLines = gx::ReadFlag(ar);
  p.m_bHorzLines = gx::ReadFlag(ar);
  p.m_b3dHeaders = gx::ReadFlag(ar);
  p.m_bMarkRowHeader = gx::ReadFlag(ar);
  p.m_bMarkColHeader = gx::ReadFlag(ar);
  ar >> p.m_sSection >> p.m_nZoom;
  for (;;) {
    DWORD id = 0;
    ar >> id;
    if (id == 0) break;
    if (id > 0xFFFF) gx::ThrowBadIndex();
    CString name;
    ar >> name;
    std::unique_ptr<CGXStyle> value = GX_READ_OWNED(CGXStyle, ar);
    GXUserPropertyEntry& e = p.UserPropertyEntry(static_cast<WORD>(id), name);
    e.value = value ? std::move(value) : std::make_unique<CGXStyle>();
  }
  DWORD d[7] = {};
  for (DWORD& x : d) ar >> x;
  p.m_bPrintVertLines = d[0];
  p.m_bPrintHorzLines = d[1];
  p.m_nPageOrder = d[2];
  p.m_bBlackWhite = d[3];
  p.m_bPrintRowHeaders = d[4];
  p.m_bCenterVertical = d[5];
  p.m_bCenterHorizontal = d[6];
  ar >> p.m_nMargins[0] >> p.m_nMargins[1] >> p.m_nMargins[3] >> p.m_nMargins[2];
  DWORD frame = 0;
  ar >> frame >> p.m_nDistances[0] >> p.m_nDistances[1] >> p.m_nFirstPage;
  p.m_bPrintFrame = frame;
  ar >> p.m_wSetting1 >> p.m_wSetting2;
  if (schema >= 3) {
    gx::ReadDWordArray(ar, p.m_dwList1);
    gx::ReadDWordArray(ar, p.m_dwList2);
    SerializeData(p.GetHeaderTable(), ar);
    SerializeData(p.GetFooterTable(), ar);
  }
  if (schema >= 4) {
    DWORD colHeaders = 0;
    ar >> colHeaders;
    p.m_bPrintColHeaders = colHeaders;
  }
}

// ---- Parameter object (schema 11)

namespace {

// Puts the styles map in the archive's context pointer for the styles read or written inside, and
// restores the previous pointer.
class StylesMapContext {
 public:
  StylesMapContext(CArchive& ar, CGXStylesMap* map) : ar_(ar), saved_(ar.m_pDocument) {
    ar.m_pDocument = reinterpret_cast<CDocument*>(static_cast<CObject*>(map));
  }
  ~StylesMapContext() { ar_.m_pDocument = saved_; }
  StylesMapContext(const StylesMapContext&) = delete;
  StylesMapContext& operator=(const StylesMapContext&) = delete;

 private:
  CArchive& ar_;
  CDocument* saved_;
};

void WriteBytes(CArchive& ar, const std::vector<BYTE>& v) {
  ar.WriteCount(v.size());
  if (!v.empty()) ar.Write(v.data(), static_cast<UINT>(v.size()));
}

void ReadBytes(CArchive& ar, std::vector<BYTE>& v) {
  const DWORD_PTR n = ar.ReadCount();
  if (n > ar.GetBytesLeft()) gx::ThrowBadIndex();
  v.resize(static_cast<std::size_t>(n));
  if (n && ar.Read(v.data(), static_cast<UINT>(n)) != n) gx::ThrowBadIndex();
}

template <class T>
void ReadPool(CArchive& ar, std::unique_ptr<T>& slot, const CRuntimeClass* cls) {
  slot = gx::ReadOwned<T>(ar, cls);
}

// Sizes no grid can use are refused: a default row height or column width of nothing, or one that does not
// fit a signed size (no grid stores either), and a stored height or width below 0. What is left may still
// be huge: the engine cuts a shown size to its largest line size.
void CheckDefaultSize(DWORD units) {
  if (units == 0 || units > static_cast<DWORD>(INT_MAX)) gx::ThrowBadIndex();
}

void CheckStoredSizes(const CGXMapDWordToLong& sizes) {
  POSITION pos = sizes.GetStartPosition();
  while (pos) {
    DWORD line = 0;
    LONG units = 0;
    sizes.GetNextAssoc(pos, line, units);
    if (units < 0) gx::ThrowBadIndex();
  }
}

}  // namespace

void CGXGridDocSerializeImp::SerializeParam(CGXGridParam& p, CArchive& ar) {
  using gx::ReadFlag;
  using gx::WriteFlag;
  if (ar.IsStoring()) {
    ar << kParamSchema;
    for (BOOL f : {p.m_bP1, p.m_bP2, p.m_bReadOnly, p.m_bUndoEnabled, p.m_bNumberRows, p.m_bLetterCols, p.m_bReadOnly,
                   p.m_bP2, p.m_bDragColumns, p.m_bDragRows, p.OwnsData(), p.OwnsPrintDevice(), p.OwnsProperties(),
                   p.OwnsStylesMap(), p.m_bP5, p.m_bP6, p.m_bReadOnlyEnforced, p.m_bP7})
      WriteFlag(ar, f);
    ar << p.m_wSelectionFlags << p.m_wRowResizeFlags << p.m_wColResizeFlags;
    ar << p.m_nFrozenRows << p.m_nFrozenCols << p.m_nDefaultColWidth << p.m_nDefaultRowHeight;
    ar << p.m_sName;
    ar << p.m_wActivateFlags << p.m_wCurrentCellFrameMode << static_cast<WORD>(p.m_nMinRowHeight) << static_cast<WORD>(p.m_nMinColWidth)
       << p.m_wW8;
    ar << p.m_nHeaderRows << p.m_nHeaderCols;
    {
      StylesMapContext context(ar, p.GetStylesMap());
      if (p.OwnsStylesMap()) ar.WriteObject(p.GetStylesMap());
      if (p.OwnsData()) ar.WriteObject(p.GetData());
      if (p.OwnsProperties()) ar.WriteObject(p.GetProperties());
    }
    if (p.OwnsPrintDevice()) ar.WriteObject(p.GetPrintDevice());
    p.GetSelection().Serialize(ar);
    p.GetCoveredCells().Serialize(ar);
    p.GetRowHeights().Serialize(ar);
    p.GetColWidths().Serialize(ar);
    WriteBytes(ar, p.m_rowFlags);
    WriteBytes(ar, p.m_colFlags);
    WriteFlag(ar, p.m_bP8);
    WriteFlag(ar, p.m_bP9);
    WriteFlag(ar, p.m_bP10);
    ar << p.m_dwD1 << p.m_dwD2 << p.m_dwD3;
    ar << p.m_wClickFlags;
    WriteFlag(ar, p.m_bP11);
    ar << p.m_wEnterKeyAction << p.m_dwUndoLimit;
    for (BOOL f : {p.m_bP12, p.m_bP13, p.m_bP14, p.m_bP15, p.m_bP16}) WriteFlag(ar, f);
    ar << p.m_wFloatingMode;
    ar.WriteObject(p.m_pFloatDelayed.get());
    ar.WriteObject(p.m_pFloatSpans.get());
    ar << p.m_wMergingMode;
    ar.WriteObject(p.m_pMergeDelayed.get());
    ar.WriteObject(p.m_pMergeSpansH.get());
    ar.WriteObject(p.m_pMergeSpansV.get());
    ar << p.m_wW11;
    WriteFlag(ar, p.m_bDirectCopyPaste);
    WriteFlag(ar, p.m_bMarkingEnabled);
    WriteFlag(ar, p.m_bDirectCutPaste);
    ar << p.m_wW12;
    WriteFlag(ar, p.m_bP17);
    WriteFlag(ar, p.m_bP18);
    ar << p.m_nLastSortRow << p.m_nLastSortCol;
    return;
  }

  const WORD schema = gx::ReadSchema(ar, kParamSchema);
  // The objects the parameter object owns are replaced by those of the archive.
  p.SetStylesMap(nullptr, FALSE);
  p.SetData(nullptr, FALSE);
  p.SetProperties(nullptr, FALSE);
  p.SetPrintDevice(nullptr, FALSE);
  BOOL f[18] = {};
  for (BOOL& x : f) x = ReadFlag(ar);
  p.m_bP1 = f[0];
  p.m_bUndoEnabled = f[3];
  p.m_bNumberRows = f[4];
  p.m_bLetterCols = f[5];
  p.m_bReadOnly = f[6];  // items 7 and 8 repeat 3 and 2: the second value wins
  p.m_bP2 = f[7];
  p.m_bDragColumns = f[8];
  p.m_bDragRows = f[9];
  const BOOL ownData = f[10], ownPrint = f[11], ownProps = f[12], ownMap = f[13];
  p.m_bP5 = f[14];
  p.m_bP6 = f[15];
  p.m_bReadOnlyEnforced = f[16];
  p.m_bP7 = f[17];
  ar >> p.m_wSelectionFlags >> p.m_wRowResizeFlags >> p.m_wColResizeFlags;
  ar >> p.m_nFrozenRows >> p.m_nFrozenCols >> p.m_nDefaultColWidth >> p.m_nDefaultRowHeight;
  CheckDefaultSize(p.m_nDefaultColWidth);
  CheckDefaultSize(p.m_nDefaultRowHeight);
  ar >> p.m_sName;
  WORD minRow = 0, minCol = 0;
  ar >> p.m_wActivateFlags >> p.m_wCurrentCellFrameMode >> minRow >> minCol >> p.m_wW8;
  p.m_nMinRowHeight = minRow;
  p.m_nMinColWidth = minCol;
  ar >> p.m_nHeaderRows >> p.m_nHeaderCols;
  {
    // The styles map comes first, so that the styles of the data and properties can find it.
    std::unique_ptr<CGXStylesMap> map;
    if (ownMap) map = GX_READ_OWNED(CGXStylesMap, ar);
    CGXStylesMap* mapPtr = map.get();
    p.SetStylesMap(map.release(), TRUE);
    StylesMapContext context(ar, mapPtr);
    if (ownData) p.SetData(GX_READ_OWNED(CGXData, ar).release(), TRUE);
    if (ownProps) p.SetProperties(GX_READ_OWNED(CGXProperties, ar).release(), TRUE);
  }
  if (ownPrint) p.SetPrintDevice(GX_READ_OWNED(CGXPrintDevice, ar).release(), TRUE);
  p.GetSelection().Serialize(ar);
  p.GetCoveredCells().Serialize(ar);
  p.SyncCoveredCellPool();
  p.GetRowHeights().RemoveAll();
  p.GetColWidths().RemoveAll();
  p.GetRowHeights().Serialize(ar);
  p.GetColWidths().Serialize(ar);
  CheckStoredSizes(p.GetRowHeights());
  CheckStoredSizes(p.GetColWidths());
  ReadBytes(ar, p.m_rowFlags);
  ReadBytes(ar, p.m_colFlags);
  if (schema >= 2) p.m_bP8 = ReadFlag(ar);
  if (schema >= 3) {
    p.m_bP9 = ReadFlag(ar);
    p.m_bP10 = ReadFlag(ar);
    ar >> p.m_dwD1 >> p.m_dwD2 >> p.m_dwD3;
  }
  if (schema >= 4) ar >> p.m_wClickFlags;
  if (schema >= 5) {
    p.m_bP11 = ReadFlag(ar);
    ar >> p.m_wEnterKeyAction >> p.m_dwUndoLimit;
  }
  if (schema >= 6) {
    for (BOOL* x : {&p.m_bP12, &p.m_bP13, &p.m_bP14, &p.m_bP15, &p.m_bP16}) *x = ReadFlag(ar);
    ar >> p.m_wFloatingMode;
    ReadPool(ar, p.m_pFloatDelayed, RUNTIME_CLASS(CGXDelayedRangePool));
    ReadPool(ar, p.m_pFloatSpans, RUNTIME_CLASS(CGXSpanCellPool));
    ar >> p.m_wMergingMode;
    ReadPool(ar, p.m_pMergeDelayed, RUNTIME_CLASS(CGXDelayedRangePool));
    ReadPool(ar, p.m_pMergeSpansH, RUNTIME_CLASS(CGXSpanCellPool));
    ReadPool(ar, p.m_pMergeSpansV, RUNTIME_CLASS(CGXSpanCellPool));
    ar >> p.m_wW11;
    if (schema < 7) {
      // Spans of older layouts are evaluated anew.
      for (CGXDelayedRangePool* pool : {p.m_pFloatDelayed.get(), p.m_pMergeDelayed.get()})
        if (pool) pool->ResetToWholeGrid();
      for (CGXSpanCellPool* pool : {p.m_pFloatSpans.get(), p.m_pMergeSpansH.get(), p.m_pMergeSpansV.get()})
        if (pool) pool->DeleteAll();
    }
  }
  if (schema >= 8) {
    p.m_bDirectCopyPaste = ReadFlag(ar);
    p.m_bMarkingEnabled = ReadFlag(ar);
    p.m_bDirectCutPaste = ReadFlag(ar);
  }
  if (schema >= 9) ar >> p.m_wW12;
  if (schema >= 10) p.m_bP17 = ReadFlag(ar);
  if (schema >= 11) {
    p.m_bP18 = ReadFlag(ar);
    ar >> p.m_nLastSortRow >> p.m_nLastSortCol;
  }
}
