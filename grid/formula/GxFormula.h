// The formula engine in one include. Procedural code addressed by a 1-based sheet number; functions return
// 1 or 0 and throw nothing (out of memory is error 5); error numbers select texts of _gx_error_text.
//
//   GxTypes.h        records: GX_RANGE, GX_EXPR and its nodes, GX_ITEM, GX_VALUE, GX_CELL, GX_SHEET
//   GxMemory         the tracked allocator through which every engine object is allocated
//   GxEngineState    sheet table, error status, unparser settings, the installed function lookup
//   GxScanner        formula text -> tokens (longest match, earlier rule first)
//   GxParser         tokens -> GX_EXPR (200 nodes at most), clone and free
//   GxExprText       GX_EXPR -> text, string escapes, error texts
//   GxReference      column letters, reference text <-> GX_RANGE
//   GxNames          named ranges, undo helpers
//   GxSheet          sheets, cell records in blocks and lists, hash table, extent, iterators, changed ranges
//   GxEvaluator      evaluation of one cell's expression; function calls through descriptors
//   GxRecalc         cell entry, range clearing, recalculation passes and the depth-first precedent walk
//   GxShift          insert, remove, move and copy with references and names kept right
//
// Typical use:
//   int s = _gx_sheet_create();  _gx_set_function_lookup(new MyLookup);
//   _gx_enter_formula(s, 1, 1, "=A1*2", 0, nullptr);  _gx_add_changed_range(s, &changed);  _gx_recalc(s);
#pragma once

#include "grid/formula/GxEngineState.h"
#include "grid/formula/GxEvaluator.h"
#include "grid/formula/GxExprText.h"
#include "grid/formula/GxMemory.h"
#include "grid/formula/GxNames.h"
#include "grid/formula/GxParser.h"
#include "grid/formula/GxRecalc.h"
#include "grid/formula/GxReference.h"
#include "grid/formula/GxScanner.h"
#include "grid/formula/GxSheet.h"
#include "grid/formula/GxShift.h"
#include "grid/formula/GxTypes.h"
