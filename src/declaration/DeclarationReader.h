#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>

#include "declaration/DeclarationHeader.h"
#include "rows/Finding.h"
#include "rows/RowTable.h"

namespace kvd507::declaration {

// What a declaration says of itself beside its header and rows.
struct DeclarationFacts {
  std::optional<std::size_t> announcedPages;  // as <Pages Count="N"> gives it
};

// Reads a declaration written earlier: its header values into `header` (only those the file
// holds) and its rows appended to `lRows` and `uRows`, never merged. Values come back as the
// tables held them when the writer wrote them (see decodeXmlText), so that workbook rows merge
// with the rows they were written from. Throws DeclarationError
// naming the file when it cannot be read, is not UTF-8 or is not a whole declaration (see
// checkWholeDeclaration); nothing is changed then.
//
// A row of the file is appended even when an earlier row has its key (workbook rows then merge
// only into the first); such a row, a row slot with values but no name (dropped), and an amount
// that is no number or 10^15 or more (counted as 0) are told to `findings`, once the whole file
// has been read. An appendix of more than 1,048,576 rows, a misspelt field tag and a field met
// twice on one page are refused, naming the line.
DeclarationFacts readExistingDeclaration(const std::filesystem::path& file, rows::RowTable& lRows,
                                         rows::RowTable& uRows, DeclarationHeader& header,
                                         rows::FindingSink& findings = rows::ignoredFindings());

}  // namespace kvd507::declaration
