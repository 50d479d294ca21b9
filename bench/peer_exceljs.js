#!/usr/bin/env node
// The peer a JavaScript user would script with for large files: ExcelJS's streaming reader (the
// "exceljs" package from npm), visiting every cell of every worksheet as the rows arrive. Prints
// the number of cells that hold a value. bench/run-bench installs the package into a folder of
// the build, never into the project.
//
// usage: NODE_PATH=FOLDER/node_modules bench/peer_exceljs.js WORKBOOK.xlsx
'use strict';

const ExcelJS = require('exceljs');

async function main() {
  const reader = new ExcelJS.stream.xlsx.WorkbookReader(process.argv[2], {
    sharedStrings: 'cache',
    styles: 'cache',
    worksheets: 'emit',
    hyperlinks: 'ignore',
    entries: 'ignore',
  });
  let filled = 0;
  for await (const sheet of reader) {
    for await (const row of sheet) {
      for (const value of row.values) {
        if (value !== undefined && value !== null) filled += 1;
      }
    }
  }
  console.log(filled);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
