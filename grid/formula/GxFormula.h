// The formula engine in one include: sheets and cells, parsing and expression text, references and names,
// evaluation, cell entry and recalculation, reference shifting.
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
