#!/usr/bin/env node
// The peer a JavaScript user would script with: SheetJS (the "xlsx" package from npm) reading
// the whole workbook and visiting every cell of every worksheet. Prints the number of cells that
// hold a value. bench/run-bench installs the package into a folder of the build, never into the
// project.
//
// usage: NODE_PATH=FOLDER/node_modules bench/peer_sheetjs.js WORKBOOK.xlsx
'use strict';

const XLSX = require('xlsx');

const book = XLSX.readFile(process.argv[2]);
let filled = 0;
for (const name of book.SheetNames) {
  const sheet = book.Sheets[name];
  for (const address of Object.keys(sheet)) {
    if (address[0] === '!') continue;
    const cell = sheet[address];
    if (cell.v !== undefined && cell.v !== null) filled += 1;
  }
}
console.log(filled);
