// Evaluates formulas with the reference engine, for the formula engine's differential test.
// Input (a file named on the command line), either
//   {"grid": [[numbers...], ...], "formulas": ["=...", ...]}: the formulas in the column after the grid,
//   one value per formula; or
//   {"scenarios": [{"rows": R, "cols": C, "cells": [[row, col, number | "=..." | null], ...],
//                   "ops": [{"op": "insertRows" | "removeRows" | "insertCols" | "removeCols", "at", "count"}
//                           | {"op": "copy", "top", "left", "bottom", "right", "row", "col"}, ...],
//                   "read": [[row, col], ...]}, ...]}:
//   each scenario on a sheet of its own, the operations applied in order, then one value per read cell.
//   Rows count from 1 and columns from 0, as the engine counts them.
// Output, one line per value: "N <number>", "E <error type>" or "B" (blank); "X <message>" for each value
// of a scenario on which the reference itself failed.
'use strict';
const fs = require('fs');
const { HyperFormula } = require('hyperformula');

// Exact arithmetic and comparisons: no rounding of results, no tolerance in comparisons.
const config = {
  licenseKey: 'gpl-v3',
  smartRounding: false,
  precisionEpsilon: 0,
  precisionRounding: 15,
};

function show(v) {
  if (typeof v === 'number') return 'N ' + v.toPrecision(17);
  if (typeof v === 'boolean') return 'N ' + (v ? 1 : 0);
  if (v === null || v === undefined || v === '') return 'B';
  if (v.type) return 'E ' + v.type;
  return 'E ' + JSON.stringify(v);
}

function applyOperations(hf, ops) {
  for (const o of ops) {
    if (o.op === 'insertRows') hf.addRows(0, [o.at - 1, o.count]);
    else if (o.op === 'removeRows') hf.removeRows(0, [o.at - 1, o.count]);
    else if (o.op === 'insertCols') hf.addColumns(0, [o.at, o.count]);
    else if (o.op === 'removeCols') hf.removeColumns(0, [o.at, o.count]);
    else if (o.op === 'copy') {
      hf.copy({ start: { sheet: 0, row: o.top - 1, col: o.left }, end: { sheet: 0, row: o.bottom - 1, col: o.right } });
      hf.paste({ sheet: 0, row: o.row - 1, col: o.col });
    } else throw new Error('unknown operation ' + o.op);
  }
}

const input = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
const out = [];
if (input.scenarios) {
  for (const sc of input.scenarios) {
    const rows = [];
    for (let r = 0; r < sc.rows; r++) rows.push(new Array(sc.cols).fill(null));
    for (const [r, c, v] of sc.cells) rows[r - 1][c] = v;
    const hf = HyperFormula.buildFromArray(rows, config);
    try {
      applyOperations(hf, sc.ops);
      for (const [r, c] of sc.read) out.push(show(hf.getCellValue({ sheet: 0, row: r - 1, col: c })));
    } catch (e) {
      // The reference itself failed: the scenario is not compared ("X").
      for (const _ of sc.read) out.push('X ' + JSON.stringify(String(e.message)));
    }
    hf.destroy();
  }
} else {
  const formulaCol = input.grid[0].length + 1;
  const rows = [];
  const count = Math.max(input.grid.length, input.formulas.length);
  for (let r = 0; r < count; r++) {
    const row = [];
    for (let c = 0; c <= formulaCol; c++) row.push(null);
    if (r < input.grid.length) input.grid[r].forEach((v, c) => { row[c] = v; });
    if (r < input.formulas.length) row[formulaCol] = input.formulas[r];
    rows.push(row);
  }
  const hf = HyperFormula.buildFromArray(rows, config);
  for (let r = 0; r < input.formulas.length; r++)
    out.push(show(hf.getCellValue({ sheet: 0, row: r, col: formulaCol })));
}
process.stdout.write(out.join('\n') + '\n');
