// Evaluates formulas with the reference engine, for the formula engine's differential test.
// Input (a file named on the command line): {"grid": [[numbers...], ...], "formulas": ["=...", ...]}.
// Output, one line per formula: "N <number>" or "E <error type>".
'use strict';
const fs = require('fs');
const { HyperFormula } = require('hyperformula');

const input = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
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
// Exact arithmetic and comparisons: no rounding of results, no tolerance in comparisons.
const hf = HyperFormula.buildFromArray(rows, {
  licenseKey: 'gpl-v3',
  smartRounding: false,
  precisionEpsilon: 0,
  precisionRounding: 15,
});
const out = [];
for (let r = 0; r < input.formulas.length; r++) {
  const v = hf.getCellValue({ sheet: 0, row: r, col: formulaCol });
  if (typeof v === 'number') out.push('N ' + v.toPrecision(17));
  else if (typeof v === 'boolean') out.push('N ' + (v ? 1 : 0));
  else if (v && v.type) out.push('E ' + v.type);
  else out.push('E ' + JSON.stringify(v));
}
process.stdout.write(out.join('\n') + '\n');
