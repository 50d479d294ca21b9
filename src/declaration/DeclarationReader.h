#pragma once

#include <filesystem>

#include "declaration/DeclarationHeader.h"
#include "rows/RowTable.h"

namespace kvd507::declaration {

// Reads a declaration written earlier: its header values into `header` (only those the file
// holds) and its rows appended to `lRows` and `uRows`, never merged. Values come back as the
// tables held them when the writer wrote them (see decodeXmlText), so that workbook rows merge
// with the rows they were written from. Throws DeclarationError
// naming the file when it cannot be read, is not UTF-8 or is not a whole declaration (see
// checkWholeDeclaration); nothing is changed then.
void ReadExistingDeclaration(const std::filesystem::path& file, rows::RowTable& lRows,
                             rows::RowTable& uRows, DeclarationHeader& header);

}  // namespace kvd507::declaration
