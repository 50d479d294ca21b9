#pragma once

#include <filesystem>
#include <string>

#include "rows/RowTable.h"

namespace kvd507::exports {

// Reads `workbook` as a conversion would and compares its rows with the declaration's, cell by
// cell; amounts by their value, since a declaration edited by hand may write "12,5" for the
// "12,50" the readers print. Throws RowNotInTemplate for the first row that would come back
// otherwise, naming its page, slot and field in `declaration`.
void checkReadsBack(const std::filesystem::path& workbook, const rows::RowTable& lRows,
                    const rows::RowTable& uRows, const std::string& declaration);

}  // namespace kvd507::exports
